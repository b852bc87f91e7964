// Pictures on disk for the renderer: PNG through libpng, animated GIF through
// giflib.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "effects/surface.h"

namespace nimbrel::render {

// The bytes of a colour value as picture files store them.
constexpr std::uint8_t Red(Colour colour) { return static_cast<std::uint8_t>(colour); }
constexpr std::uint8_t Green(Colour colour) { return static_cast<std::uint8_t>(colour >> 8); }
constexpr std::uint8_t Blue(Colour colour) { return static_cast<std::uint8_t>(colour >> 16); }

// The error raised about a picture file: its path, then what went wrong.
std::runtime_error FileError(const std::filesystem::path& path, const std::string& what);

// Reads a PNG file of any colour type as a surface. A transparent picture
// reads as if it lay on black: a screen has no transparency. Throws
// std::runtime_error naming the file when it is missing, unreadable or not a
// PNG, or too large for a surface.
Surface ReadPng(const std::filesystem::path& path);

// Writes the surface as an 8-bit RGB PNG file. Throws std::runtime_error.
void WritePng(const std::filesystem::path& path, const Surface& picture);

// The 255 colours of an animated GIF (the 256th index is kept for "unchanged
// since the previous frame"), chosen from sample frames by giflib's
// median-cut quantizer and then refined.
class GifPalette {
public:
    // Adds a frame's pixels to the sample; large frames contribute every
    // n-th pixel, so that the sample stays small.
    void AddSample(const Surface& frame);
    // The palette of the samples so far (black when there were none).
    std::vector<Colour> Build() const;

private:
    void Refine(std::vector<Colour>& palette) const;

    std::vector<Colour> sample_;
};

// The index of the palette colour nearest to `colour`.
std::size_t NearestIndex(const std::vector<Colour>& palette, Colour colour);

// An animated GIF that loops for ever, written frame by frame as it is
// shown: each frame after the first stores only the rectangle that changed,
// with the unchanged pixels inside it transparent. Delays are kept to the
// GIF's 10 ms steps without drifting: a frame starts at its real start time,
// rounded.
class GifWriter {
public:
    // Opens the file and writes the header. Throws std::runtime_error.
    GifWriter(const std::filesystem::path& path, std::int32_t width, std::int32_t height,
              const std::vector<Colour>& palette);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // Appends a frame of the GIF's size shown for durationMs.
    void AddFrame(const Surface& frame, std::uint32_t durationMs);
    // Writes the trailer and closes the file. Throws std::runtime_error.
    void Finish();

private:
    struct State;
    void WriteHeader();

    std::unique_ptr<State> state_;
};

} // namespace nimbrel::render
