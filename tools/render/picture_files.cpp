// PNG reading and writing through libpng's simplified interface. The GIF
// writer lives apart (gif_files.cpp), so that a program that only reads
// pictures, the native hack, does not link giflib.
#include "tools/render/picture_files.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>
#include <string>

namespace nimbrel::render {

std::runtime_error FileError(const std::filesystem::path& path, const std::string& what)
{
    return std::runtime_error(path.string() + ": " + what);
}

std::size_t NearestIndex(const std::vector<Colour>& palette, Colour colour)
{
    std::size_t best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = Red(colour) - Red(palette[i]);
        const int dg = Green(colour) - Green(palette[i]);
        const int db = Blue(colour) - Blue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

Surface ReadPng(const std::filesystem::path& path)
{
    if (!std::filesystem::is_regular_file(path)) throw FileError(path, "no such picture file");

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        throw FileError(path, std::string("not a readable PNG picture (") + image.message + ")");
    }
    if (static_cast<std::int64_t>(image.width) * image.height > kMaxSurfacePixels) {
        png_image_free(&image);
        throw FileError(path, "the picture is too large (at most " + std::to_string(kMaxSurfacePixels)
                                  + " pixels)");
    }
    image.format = PNG_FORMAT_RGB;
    // Without a background colour libpng composes transparent pixels onto the
    // buffer itself, which starts black.
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        throw FileError(path, std::string("not a readable PNG picture (") + image.message + ")");
    }

    const auto width = static_cast<std::int32_t>(image.width);
    const auto height = static_cast<std::int32_t>(image.height);
    Surface picture(width, height);
    const png_byte* in = rgb.data();
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x, in += 3) {
            picture.SetColourAt(x, y, MakeColour(in[0], in[1], in[2]));
        }
    }
    return picture;
}

void WritePng(const std::filesystem::path& path, const Surface& picture)
{
    std::vector<png_byte> rgb;
    rgb.reserve(static_cast<std::size_t>(picture.Width()) * static_cast<std::size_t>(picture.Height()) * 3);
    for (std::int32_t y = 0; y < picture.Height(); ++y) {
        for (std::int32_t x = 0; x < picture.Width(); ++x) {
            const Colour colour = picture.ColourAt(x, y);
            rgb.insert(rgb.end(), {Red(colour), Green(colour), Blue(colour)});
        }
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.Width());
    image.height = static_cast<png_uint_32>(picture.Height());
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) {
        throw FileError(path, std::string("cannot write the PNG picture (") + image.message + ")");
    }
}

} // namespace nimbrel::render
