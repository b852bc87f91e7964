// The command line of `nimbrel`, the native screen-saver hack: which window it
// draws in, the effect settings that XScreenSaver passes as options, and the
// settings file sections they stand for during the run.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "settings/profile_store.h"
#include "settings/saver_settings.h"

namespace nimbrel {

// A command line that cannot be carried out; the message is one line that
// names the offending argument.
class HackUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Where the run draws, by precedence: a window named by its id, then "the
// root" (the window $XSCREENSAVER_WINDOW names, else the real root), then a
// window of its own.
enum class HackTarget { OwnWindow, Root, WindowId };

// --effect: one named effect, or a random choice among the enabled ones.
enum class EffectChoice { Random, Wave, Melt, Noise };

struct HackOptions {
    HackTarget Target = HackTarget::OwnWindow;
    std::uint32_t WindowId = 0;  // with HackTarget::WindowId; never 0
    EffectChoice Effect = EffectChoice::Random;
    // The effects' settings; Main's flags are those of --wave, --melt and
    // --noise. The defaults are the settings file's, which the XML
    // description of the options repeats.
    SaverSettings Settings;
    // The random sequence's starting state in place of the clock.
    std::optional<std::uint32_t> Seed;
    // The picture to distort when the desktop may not or cannot be had.
    std::optional<std::string> Picture;
    bool Help = false;
};

// Parses the arguments after the program's name. Every option is accepted
// with one dash or two; a later option replaces an earlier one of the same
// name. Throws HackUsageError for an unknown option, a missing value, or a
// number that is malformed or out of range.
HackOptions ParseHackOptions(std::span<const std::string_view> args);

// A window id as the options and $XSCREENSAVER_WINDOW write it: 0x and
// hexadecimal digits, or decimal digits; nothing for another text or 0.
std::optional<std::uint32_t> ParseWindowId(std::string_view text);

// Writes the Main, Wave, Melt and Noise keys of the settings file into the
// store, as the settings dialogs would: a named effect is the only one
// enabled. Throws Error when the store refuses a write.
void StoreHackSettings(const HackOptions& options, ProfileStore& store);

// What --help prints: every option with its range and default.
std::string_view HackUsage();

} // namespace nimbrel
