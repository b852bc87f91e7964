// GIF writing through giflib's frame-by-frame interface, with a palette from
// its median-cut quantizer.
#include "tools/render/picture_files.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>
#include <unordered_map>

namespace nimbrel::render {
namespace {

// The index that marks "as in the previous frame".
constexpr int kTransparentIndex = 255;
constexpr int kPaletteColours = 255;

// Sample pixels taken from one frame at most.
constexpr std::size_t kSamplePixelsPerFrame = std::size_t{1} << 20;

// Rounds of refinement after the median cut.
constexpr int kRefineRounds = 4;

} // namespace

void GifPalette::AddSample(const Surface& frame)
{
    const auto width = static_cast<std::size_t>(frame.Width());
    const std::size_t pixels = width * static_cast<std::size_t>(frame.Height());
    const std::size_t step = std::max<std::size_t>(1, pixels / kSamplePixelsPerFrame);
    for (std::size_t i = 0; i < pixels; i += step) {
        const auto x = static_cast<std::int32_t>(i % width);
        const auto y = static_cast<std::int32_t>(i / width);
        sample_.push_back(frame.ColourAt(x, y));
    }
}

std::vector<Colour> GifPalette::Build() const
{
    if (sample_.empty()) return {kBlack};
    std::vector<GifByteType> red(sample_.size());
    std::vector<GifByteType> green(sample_.size());
    std::vector<GifByteType> blue(sample_.size());
    for (std::size_t i = 0; i < sample_.size(); ++i) {
        red[i] = Red(sample_[i]);
        green[i] = Green(sample_[i]);
        blue[i] = Blue(sample_[i]);
    }
    std::vector<GifByteType> indices(sample_.size());
    std::array<GifColorType, 256> map{};
    int size = kPaletteColours;
    if (GifQuantizeBuffer(static_cast<unsigned>(sample_.size()), 1, &size, red.data(), green.data(),
                          blue.data(), indices.data(), map.data())
        != GIF_OK) {
        throw std::runtime_error("cannot choose the GIF's colours");
    }
    std::vector<Colour> palette;
    for (int i = 0; i < std::clamp(size, 1, kPaletteColours); ++i) {
        const GifColorType& entry = map[static_cast<std::size_t>(i)];
        palette.push_back(MakeColour(entry.Red, entry.Green, entry.Blue));
    }
    Refine(palette);
    return palette;
}

void GifPalette::Refine(std::vector<Colour>& palette) const
{
    // The median cut works on 5-bit components and places each colour at the
    // corner of its box's mean, so smooth gradients come out coarse. A few
    // rounds of moving every colour to the mean of the sample colours nearest
    // to it close most of that gap.
    std::unordered_map<Colour, std::uint32_t> counts;
    for (const Colour colour : sample_) ++counts[colour];
    for (int round = 0; round < kRefineRounds; ++round) {
        struct Sum {
            std::uint64_t Red = 0, Green = 0, Blue = 0, Count = 0;
        };
        std::vector<Sum> sums(palette.size());
        for (const auto& [colour, count] : counts) {
            Sum& sum = sums[NearestIndex(palette, colour)];
            sum.Red += std::uint64_t{Red(colour)} * count;
            sum.Green += std::uint64_t{Green(colour)} * count;
            sum.Blue += std::uint64_t{Blue(colour)} * count;
            sum.Count += count;
        }
        for (std::size_t i = 0; i < palette.size(); ++i) {
            const Sum& sum = sums[i];
            if (sum.Count == 0) continue;
            auto mean = [&](std::uint64_t total) {
                return static_cast<std::uint8_t>((total + sum.Count / 2) / sum.Count);
            };
            palette[i] = MakeColour(mean(sum.Red), mean(sum.Green), mean(sum.Blue));
        }
    }
}

struct GifWriter::State {
    std::filesystem::path Path;
    GifFileType* File = nullptr;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::vector<Colour> Palette;
    std::unordered_map<Colour, GifPixelType> Nearest;
    Surface Previous;  // the last frame; 0 x 0 before the first
    std::vector<GifPixelType> Line;
    std::uint64_t ElapsedMs = 0;

    void Check(int result, const char* what)
    {
        if (result != GIF_OK) {
            throw FileError(Path, std::string(what) + " (" + GifErrorString(File->Error) + ")");
        }
    }

    GifPixelType IndexOf(Colour colour)
    {
        auto found = Nearest.find(colour);
        if (found != Nearest.end()) return found->second;
        return Nearest[colour] = static_cast<GifPixelType>(NearestIndex(Palette, colour));
    }
};

GifWriter::GifWriter(const std::filesystem::path& path, std::int32_t width, std::int32_t height,
                     const std::vector<Colour>& palette)
    : state_(std::make_unique<State>())
{
    State& s = *state_;
    s.Path = path;
    s.Width = width;
    s.Height = height;
    s.Palette = palette;
    if (s.Palette.size() > kPaletteColours) s.Palette.resize(kPaletteColours);
    if (s.Palette.empty()) s.Palette.push_back(kBlack);
    s.Line.resize(static_cast<std::size_t>(width));

    // Opened here rather than by giflib, which would make the file readable
    // by its owner only.
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (descriptor < 0) {
        throw FileError(path, std::string("cannot create the GIF (") + std::strerror(errno) + ")");
    }
    int error = 0;
    s.File = EGifOpenFileHandle(descriptor, &error);
    if (s.File == nullptr) {
        ::close(descriptor);
        throw FileError(path, std::string("cannot create the GIF (") + GifErrorString(error) + ")");
    }
    try {
        WriteHeader();
    } catch (...) {
        EGifCloseFile(s.File, nullptr);
        s.File = nullptr;
        throw;
    }
}

void GifWriter::WriteHeader()
{
    State& s = *state_;
    EGifSetGifVersion(s.File, true);

    std::array<GifColorType, 256> colours{};
    for (std::size_t i = 0; i < s.Palette.size(); ++i) {
        colours[i] = {Red(s.Palette[i]), Green(s.Palette[i]), Blue(s.Palette[i])};
    }
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    if (map == nullptr) throw std::bad_alloc();
    const int result = EGifPutScreenDesc(s.File, s.Width, s.Height, 8, 0, map);
    GifFreeMapObject(map);
    s.Check(result, "cannot write the GIF header");

    // The application extension that makes viewers loop the animation.
    static constexpr char kLoopName[] = "NETSCAPE2.0";
    static constexpr GifByteType kLoopForever[] = {1, 0, 0};
    s.Check(EGifPutExtensionLeader(s.File, APPLICATION_EXT_FUNC_CODE), "cannot write the GIF header");
    s.Check(EGifPutExtensionBlock(s.File, 11, kLoopName), "cannot write the GIF header");
    s.Check(EGifPutExtensionBlock(s.File, 3, kLoopForever), "cannot write the GIF header");
    s.Check(EGifPutExtensionTrailer(s.File), "cannot write the GIF header");
}

GifWriter::~GifWriter()
{
    if (state_ && state_->File != nullptr) EGifCloseFile(state_->File, nullptr);
}

void GifWriter::AddFrame(const Surface& frame, std::uint32_t durationMs)
{
    State& s = *state_;
    if (frame.Width() != s.Width || frame.Height() != s.Height) {
        throw std::invalid_argument("a GIF frame must have the GIF's size");
    }

    // The rectangle that differs from the previous frame; all of the first.
    const bool first = s.Previous.Width() == 0;
    std::int32_t left = 0, top = 0, right = s.Width, bottom = s.Height;
    if (!first) {
        left = s.Width, top = s.Height, right = 0, bottom = 0;
        for (std::int32_t y = 0; y < s.Height; ++y) {
            for (std::int32_t x = 0; x < s.Width; ++x) {
                if (frame.ColourAt(x, y) == s.Previous.ColourAt(x, y)) continue;
                left = std::min(left, x);
                right = std::max(right, x + 1);
                top = std::min(top, y);
                bottom = std::max(bottom, y + 1);
            }
        }
        // An unchanged frame still needs an image to carry its delay.
        if (left >= right) left = 0, top = 0, right = 1, bottom = 1;
    }

    // Delays in 10 ms steps from rounded start times, so that rounding errors
    // do not add up over the animation.
    const std::uint64_t start = (s.ElapsedMs + 5) / 10;
    s.ElapsedMs += durationMs;
    const std::uint64_t end = (s.ElapsedMs + 5) / 10;
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = static_cast<int>(std::min<std::uint64_t>(end - start, 65535));
    control.TransparentColor = first ? NO_TRANSPARENT_COLOR : kTransparentIndex;
    GifByteType extension[4];
    const std::size_t length = EGifGCBToExtension(&control, extension);
    s.Check(EGifPutExtension(s.File, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(length), extension),
            "cannot write a GIF frame");

    s.Check(EGifPutImageDesc(s.File, left, top, right - left, bottom - top, false, nullptr),
            "cannot write a GIF frame");
    for (std::int32_t y = top; y < bottom; ++y) {
        for (std::int32_t x = left; x < right; ++x) {
            const Colour colour = frame.ColourAt(x, y);
            const bool same = !first && colour == s.Previous.ColourAt(x, y);
            s.Line[static_cast<std::size_t>(x - left)] =
                same ? GifPixelType{kTransparentIndex} : s.IndexOf(colour);
        }
        s.Check(EGifPutLine(s.File, s.Line.data(), right - left), "cannot write a GIF frame");
    }
    s.Previous = frame;
}

void GifWriter::Finish()
{
    State& s = *state_;
    int error = 0;
    const int result = EGifCloseFile(s.File, &error);
    s.File = nullptr;
    if (result != GIF_OK) {
        throw FileError(s.Path, std::string("cannot finish the GIF (") + GifErrorString(error) + ")");
    }
}

} // namespace nimbrel::render
