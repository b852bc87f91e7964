// Argument parsing and the files of one nimbrel-render run.
#include "tools/render/render_command.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>

#include "tools/render/picture_files.h"

namespace nimbrel::render {
namespace {

constexpr std::string_view kUsage =
    "usage: nimbrel-render --input PICTURE.png --out DIR [--ini FILE] [--effects wave,melt,noise]\n"
    "                      [--seed N] [--frames N] [--frame-size WxH] [--start-ms N] [--gif FILE]\n"
    "Plays one saver run on the picture and writes DIR/frame-0000.png (the picture before\n"
    "the first drawing tick), one frame per drawing tick, and DIR/ticks.csv.\n"
    "  --ini FILE        settings file to read (default: every setting at its default)\n"
    "  --effects LIST    the effects the run may choose, instead of the file's Main section\n"
    "  --seed N          the random sequence's starting state (default 0)\n"
    "  --frames N        drawing ticks after the setup tick (default 30)\n"
    "  --frame-size WxH  the window's size, at most the picture's (default: the picture's)\n"
    "  --start-ms N      the system tick count when the run starts (default 0)\n"
    "  --gif FILE        also write the frames as an animated GIF with their real delays\n";

// Frames that the GIF's colours are chosen from.
constexpr std::int32_t kPaletteSamples = 16;

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// Plain decimal digits and nothing else: no sign, no blanks.
std::optional<std::uint64_t> ParseDigits(std::string_view text)
{
    if (text.empty() || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    return value;
}

std::uint64_t ParseCount(std::string_view option, std::string_view text, std::uint64_t largest)
{
    const std::optional<std::uint64_t> value = ParseDigits(text);
    if (!value || *value > largest) {
        throw UsageError(std::string(option) + " needs a whole number from 0 to " + std::to_string(largest)
                         + ", not " + Quoted(text));
    }
    return *value;
}

FrameSize ParseSize(std::string_view text)
{
    auto side = [&](std::string_view digits) {
        const std::optional<std::uint64_t> value = ParseDigits(digits);
        if (!value || *value < 1 || *value > static_cast<std::uint64_t>(kMaxFrameSide)) {
            throw UsageError("--frame-size needs WIDTHxHEIGHT in pixels, such as 320x200, not " + Quoted(text));
        }
        return static_cast<std::int32_t>(*value);
    };
    const std::size_t cross = text.find_first_of("xX");
    if (cross == std::string_view::npos) side({});
    return {side(text.substr(0, cross)), side(text.substr(cross + 1))};
}

EnabledEffects ParseEffects(std::string_view text)
{
    EnabledEffects enabled{false, false, false};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view name =
            text.substr(start, comma == std::string_view::npos ? comma : comma - start);
        const std::optional<EffectKind> kind = EffectFromName(name);
        if (!kind) {
            throw UsageError("unknown effect " + Quoted(name) + " in --effects (choose from wave, melt, noise)");
        }
        enabled[static_cast<std::size_t>(*kind)] = true;
        if (comma == std::string_view::npos) return enabled;
        start = comma + 1;
    }
}

std::string ReadTextFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file || std::filesystem::is_directory(path)) {
        throw std::runtime_error(path.string() + ": cannot read the settings file");
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::filesystem::path FramePath(const std::filesystem::path& dir, std::int32_t index)
{
    char name[32];
    std::snprintf(name, sizeof name, "frame-%04d.png", static_cast<int>(index));
    return dir / name;
}

// Frames of an earlier, longer run would read as part of this one.
void RemoveOldFrames(const std::filesystem::path& dir)
{
    static const std::regex kFrameName(R"(frame-[0-9]{4,}\.png)");
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.is_regular_file() && std::regex_match(entry.path().filename().string(), kFrameName)) {
            std::filesystem::remove(entry.path());
        }
    }
}

void WriteTicks(const std::filesystem::path& path, const RenderResult& result)
{
    std::ostringstream csv;
    csv << "tick,time_ms,interval_ms,effect,restored,rects,changed_pixels\n";
    for (const TickRecord& row : result.Ticks) {
        csv << row.Tick << ',' << row.TimeMs << ',' << row.IntervalMs << ',' << EffectName(row.Effect) << ','
            << (row.Restored ? 1 : 0) << ',' << row.ChangedRects << ',' << row.ChangedPixels << '\n';
    }
    std::ofstream file(path, std::ios::binary);
    file << csv.str();
    if (!file.flush()) throw std::runtime_error(path.string() + ": cannot write the tick list");
}

// The GIF's colours, from a silent play of the same run: the run is
// deterministic, so it shows exactly the frames that the real play writes.
std::vector<Colour> ChooseGifColours(const Surface& picture, const RenderOptions& options)
{
    const std::int32_t frames = options.Frames + 1;
    const std::int32_t samples = std::min(frames, kPaletteSamples);
    GifPalette palette;
    std::int32_t taken = 0;
    RenderRun(picture, options, [&](const ShownFrame& frame) {
        // Evenly spread samples, always the first and the last frame.
        const std::int64_t due = samples == 1 ? 0 : std::int64_t{taken} * (frames - 1) / (samples - 1);
        if (taken < samples && frame.Index == due) {
            palette.AddSample(frame.Picture);
            ++taken;
        }
    });
    return palette.Build();
}

void Render(const CommandOptions& command, std::ostream& out)
{
    const Surface picture = ReadPng(command.Input);
    RenderOptions options = command.Run;
    if (command.Ini) options.SettingsText = ReadTextFile(*command.Ini);
    if (options.WindowSize
        && (options.WindowSize->Width > picture.Width() || options.WindowSize->Height > picture.Height())) {
        throw UsageError("--frame-size " + std::to_string(options.WindowSize->Width) + "x"
                         + std::to_string(options.WindowSize->Height) + " is larger than the picture ("
                         + std::to_string(picture.Width()) + "x" + std::to_string(picture.Height()) + ")");
    }
    const FrameSize window = options.WindowSize.value_or(FrameSize{picture.Width(), picture.Height()});

    std::filesystem::create_directories(command.OutDir);
    RemoveOldFrames(command.OutDir);

    std::optional<GifWriter> gif;
    if (command.Gif) {
        gif.emplace(*command.Gif, window.Width, window.Height, ChooseGifColours(picture, options));
    }

    const RenderResult result = RenderRun(picture, options, [&](const ShownFrame& frame) {
        WritePng(FramePath(command.OutDir, frame.Index), frame.Picture);
        if (gif) gif->AddFrame(frame.Picture, frame.DurationMs);
    });
    if (gif) gif->Finish();
    WriteTicks(command.OutDir / "ticks.csv", result);
    out << EffectName(result.Effect) << '\n';
}

} // namespace

CommandOptions ParseCommandLine(std::span<const std::string_view> args)
{
    CommandOptions command;
    bool haveInput = false;
    bool haveOut = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view option = args[i];
        if (option == "--help" || option == "-h") {
            command.Help = true;
            return command;
        }
        if (!option.starts_with("--")) throw UsageError("unexpected argument " + Quoted(option));
        if (i + 1 >= args.size()) throw UsageError(std::string(option) + " needs a value");
        const std::string_view value = args[++i];

        if (option == "--input") {
            command.Input = value;
            haveInput = true;
        } else if (option == "--out") {
            command.OutDir = value;
            haveOut = true;
        } else if (option == "--ini") {
            command.Ini = value;
        } else if (option == "--gif") {
            command.Gif = value;
        } else if (option == "--effects") {
            command.Run.Effects = ParseEffects(value);
        } else if (option == "--seed") {
            command.Run.Seed = static_cast<std::uint32_t>(ParseCount(option, value, 0xFFFFFFFFu));
        } else if (option == "--frames") {
            command.Run.Frames = static_cast<std::int32_t>(ParseCount(option, value, kMaxFrames));
        } else if (option == "--frame-size") {
            command.Run.WindowSize = ParseSize(value);
        } else if (option == "--start-ms") {
            command.Run.StartMs = static_cast<std::uint32_t>(ParseCount(option, value, 0xFFFFFFFFu));
        } else {
            throw UsageError("unknown option " + Quoted(option) + " (see --help)");
        }
    }
    if (!haveInput) throw UsageError("--input PICTURE.png is required");
    if (!haveOut) throw UsageError("--out DIR is required");
    return command;
}

int RunRenderCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err)
{
    try {
        const CommandOptions command = ParseCommandLine(args);
        if (command.Help) {
            out << kUsage;
            return 0;
        }
        Render(command, out);
        return 0;
    } catch (const UsageError& error) {
        err << "nimbrel-render: " << error.what() << '\n';
        return 2;
    } catch (const std::exception& error) {
        err << "nimbrel-render: " << error.what() << '\n';
        return 1;
    }
}

} // namespace nimbrel::render
