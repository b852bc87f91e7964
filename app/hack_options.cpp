// Parsing the hack's options into the settings the effects read.
#include "app/hack_options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>

#include "settings/settings_file.h"

namespace nimbrel {
namespace {

constexpr std::string_view kUsage =
    "usage: nimbrel [--root | --window-id ID | --window] [--effect wave|melt|noise|random]\n"
    "               [--wave | --no-wave] [--melt | --no-melt] [--noise | --no-noise]\n"
    "               [--wave-pitch N] [--wave-speed N] [--melt-speed N]\n"
    "               [--melt-recover | --no-melt-recover] [--melt-recover-time N]\n"
    "               [--noise-deal N] [--seed N] [--picture FILE.png]\n"
    "Distorts the desktop picture in a window, as an XScreenSaver hack.\n"
    "  --window-id ID         draw in this window (hexadecimal 0x... or decimal)\n"
    "  --root                 draw in the window $XSCREENSAVER_WINDOW names, else the root window\n"
    "  --window               draw in a window of its own, 1280x720 (the default);\n"
    "                         q, Escape or the close box end it\n"
    "  --effect NAME          run this effect, or choose among the enabled ones (random, the default)\n"
    "  --wave, --no-wave      Wave may be chosen (default on)\n"
    "  --melt, --no-melt      Melt may be chosen (default off)\n"
    "  --noise, --no-noise    Noise may be chosen (default off)\n"
    "  --wave-pitch N         band height in rows, 1 to 7 (default 4)\n"
    "  --wave-speed N         0 to 6 (default 3): a tick every 650 - 100 x N ms\n"
    "  --melt-speed N         0 to 6 (default 3): 10 x N + 1 columns a tick\n"
    "  --melt-recover, --no-melt-recover\n"
    "                         bring the desktop back every --melt-recover-time seconds (default on)\n"
    "  --melt-recover-time N  0 to 999 seconds (default 180)\n"
    "  --noise-deal N         0 to 6 (default 3): 20 x N + 20 lines a frame\n"
    "  --seed N               start the random sequence at N (0 to 4294967295) instead of the clock\n"
    "  --picture FILE.png     distort this picture, placed at the window's top-left corner, when the\n"
    "                         desktop may not be grabbed (grabDesktopImages) or cannot be had;\n"
    "                         without it a picture of colour bars is used\n"
    "  --help                 show this text\n"
    "Every option may be written with one dash or two.\n";

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// Digits of the given base and nothing else, at most 2^32 - 1.
std::optional<std::uint32_t> ParseUnsigned(std::string_view text, int base)
{
    if (text.empty()) return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::int32_t ParseRange(std::string_view option, std::string_view text, std::uint32_t lowest,
                        std::uint32_t highest)
{
    const std::optional<std::uint32_t> value = ParseUnsigned(text, 10);
    if (!value || *value < lowest || *value > highest) {
        throw HackUsageError("--" + std::string(option) + " needs a whole number from " + std::to_string(lowest)
                             + " to " + std::to_string(highest) + ", not " + Quoted(text));
    }
    return static_cast<std::int32_t>(*value);
}

std::uint32_t WindowIdOption(std::string_view text)
{
    const std::optional<std::uint32_t> value = ParseWindowId(text);
    if (!value) {
        throw HackUsageError("--window-id needs a window id, hexadecimal 0x... or decimal, not " + Quoted(text));
    }
    return *value;
}

EffectChoice ParseEffect(std::string_view text)
{
    constexpr std::array<std::pair<std::string_view, EffectChoice>, 4> kNames = {{
        {"wave", EffectChoice::Wave},
        {"melt", EffectChoice::Melt},
        {"noise", EffectChoice::Noise},
        {"random", EffectChoice::Random},
    }};
    for (const auto& [name, choice] : kNames) {
        if (name == text) return choice;
    }
    throw HackUsageError("--effect needs wave, melt, noise or random, not " + Quoted(text));
}

// What one option does with the options so far, and its value when it
// takes one.
struct OptionRule {
    std::string_view Name;
    bool TakesValue;
    std::function<void(HackOptions&, std::string_view value)> Apply;
};

// Which of the window options appeared; their precedence does not depend on
// their order.
struct TargetSeen {
    bool Root = false;
    bool WindowId = false;
};

std::vector<OptionRule> Rules(TargetSeen& seen)
{
    auto flag = [](std::string_view name, auto apply) {
        return OptionRule{name, false, [apply](HackOptions& o, std::string_view) { apply(o); }};
    };
    return {
        OptionRule{"window-id", true,
                   [&seen](HackOptions& o, std::string_view v) {
                       o.WindowId = WindowIdOption(v);
                       seen.WindowId = true;
                   }},
        flag("root", [&seen](HackOptions&) { seen.Root = true; }),
        flag("window", [](HackOptions&) {}),
        OptionRule{"effect", true, [](HackOptions& o, std::string_view v) { o.Effect = ParseEffect(v); }},
        flag("wave", [](HackOptions& o) { o.Settings.Main.Wave = true; }),
        flag("no-wave", [](HackOptions& o) { o.Settings.Main.Wave = false; }),
        flag("melt", [](HackOptions& o) { o.Settings.Main.Melt = true; }),
        flag("no-melt", [](HackOptions& o) { o.Settings.Main.Melt = false; }),
        flag("noise", [](HackOptions& o) { o.Settings.Main.Noise = true; }),
        flag("no-noise", [](HackOptions& o) { o.Settings.Main.Noise = false; }),
        OptionRule{"wave-pitch", true,
                   [](HackOptions& o, std::string_view v) { o.Settings.Wave.Pitch = ParseRange("wave-pitch", v, 1, 7); }},
        OptionRule{"wave-speed", true,
                   [](HackOptions& o, std::string_view v) { o.Settings.Wave.Speed = ParseRange("wave-speed", v, 0, 6); }},
        OptionRule{"melt-speed", true,
                   [](HackOptions& o, std::string_view v) { o.Settings.Melt.Speed = ParseRange("melt-speed", v, 0, 6); }},
        flag("melt-recover", [](HackOptions& o) { o.Settings.Melt.Recover = true; }),
        flag("no-melt-recover", [](HackOptions& o) { o.Settings.Melt.Recover = false; }),
        OptionRule{"melt-recover-time", true,
                   [](HackOptions& o, std::string_view v) {
                       o.Settings.Melt.RecoverTime = ParseRange("melt-recover-time", v, 0, 999);
                   }},
        OptionRule{"noise-deal", true,
                   [](HackOptions& o, std::string_view v) { o.Settings.Noise.Deal = ParseRange("noise-deal", v, 0, 6); }},
        OptionRule{"seed", true,
                   [](HackOptions& o, std::string_view v) {
                       const std::optional<std::uint32_t> seed = ParseUnsigned(v, 10);
                       if (!seed) {
                           throw HackUsageError("--seed needs a whole number from 0 to 4294967295, not " + Quoted(v));
                       }
                       o.Seed = seed;
                   }},
        OptionRule{"picture", true,
                   [](HackOptions& o, std::string_view v) {
                       if (v.empty()) throw HackUsageError("--picture needs a file name");
                       o.Picture = std::string(v);
                   }},
        flag("help", [](HackOptions& o) { o.Help = true; }),
    };
}

} // namespace

std::optional<std::uint32_t> ParseWindowId(std::string_view text)
{
    const bool hex = text.starts_with("0x") || text.starts_with("0X");
    const std::optional<std::uint32_t> value = hex ? ParseUnsigned(text.substr(2), 16) : ParseUnsigned(text, 10);
    if (!value || *value == 0) return std::nullopt;
    return value;
}

HackOptions ParseHackOptions(std::span<const std::string_view> args)
{
    HackOptions options;
    TargetSeen seen;
    const std::vector<OptionRule> rules = Rules(seen);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        std::string_view name = arg;
        if (name.starts_with("--")) {
            name.remove_prefix(2);
        } else if (name.starts_with("-")) {
            name.remove_prefix(1);
        } else {
            throw HackUsageError("unexpected argument " + Quoted(arg) + " (see --help)");
        }
        const auto rule = std::ranges::find(rules, name, &OptionRule::Name);
        if (rule == rules.end()) throw HackUsageError("unknown option " + Quoted(arg) + " (see --help)");
        std::string_view value;
        if (rule->TakesValue) {
            if (i + 1 >= args.size()) throw HackUsageError(std::string(arg) + " needs a value (see --help)");
            value = args[++i];
        }
        rule->Apply(options, value);
    }
    options.Target = seen.WindowId ? HackTarget::WindowId : seen.Root ? HackTarget::Root : HackTarget::OwnWindow;
    return options;
}

void StoreHackSettings(const HackOptions& options, ProfileStore& store)
{
    const SaverSettings& s = options.Settings;
    SettingsFile file(kSettingsFileName, store);
    const bool random = options.Effect == EffectChoice::Random;
    file.StoreFlag("Main", "Wave", random ? s.Main.Wave : options.Effect == EffectChoice::Wave);
    file.StoreFlag("Main", "Melt", random ? s.Main.Melt : options.Effect == EffectChoice::Melt);
    file.StoreFlag("Main", "Noise", random ? s.Main.Noise : options.Effect == EffectChoice::Noise);
    file.StoreInt("Wave", "Pitch", s.Wave.Pitch);
    file.StoreInt("Wave", "Speed", s.Wave.Speed);
    file.StoreInt("Melt", "Speed", s.Melt.Speed);
    file.StoreFlag("Melt", "Recover", s.Melt.Recover);
    file.StoreInt("Melt", "RecoverTime", s.Melt.RecoverTime);
    file.StoreInt("Noise", "Deal", s.Noise.Deal);
}

std::string_view HackUsage()
{
    return kUsage;
}

} // namespace nimbrel
