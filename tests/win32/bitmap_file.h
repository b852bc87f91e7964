// Writes a small picture as a 24-bit Windows bitmap file, for the tests that
// give Windows a wallpaper to load.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

#include "effects/surface.h"

namespace nimbrel::test {

// Rows go bottom-up, as the format has them, each padded to four bytes.
inline void WriteBitmapFile(const std::string& path, const Surface& picture)
{
    const std::uint32_t rowBytes = (3 * static_cast<std::uint32_t>(picture.Width()) + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(picture.Height());
    std::string file = "BM";
    const auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) file += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    put(14 + 40 + pixelBytes, 4), put(0, 4), put(14 + 40, 4);  // file header
    put(40, 4), put(static_cast<std::uint32_t>(picture.Width()), 4), put(static_cast<std::uint32_t>(picture.Height()), 4);
    put(1, 2), put(24, 2), put(0, 4), put(pixelBytes, 4), put(2835, 4), put(2835, 4), put(0, 4), put(0, 4);
    for (std::int32_t y = picture.Height() - 1; y >= 0; --y) {
        for (std::int32_t x = 0; x < picture.Width(); ++x) put(picture.Row(y)[static_cast<std::size_t>(x)], 3);
        put(0, static_cast<int>(rowBytes - 3 * static_cast<std::uint32_t>(picture.Width())));
    }
    std::ofstream(path, std::ios::binary) << file;
}

} // namespace nimbrel::test
