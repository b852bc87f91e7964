// PNG and GIF files: what the renderer writes reads back as the pictures it
// was given, decoded by the same libraries.
#include <gtest/gtest.h>

#include <gif_lib.h>
#include <png.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/tools/render_test_support.h"
#include "tools/render/picture_files.h"

namespace nimbrel::render {
namespace {

namespace fs = std::filesystem;
using test::PictureFromRows;
using test::RowList;
using test::Rows;

class PictureFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = fs::path(::testing::TempDir()) / ("nimbrel-pictures-" + std::string(info->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes raw 8-bit pixels of the given libpng format.
    void WriteRawPng(const fs::path& path, std::uint32_t format, std::int32_t width, std::int32_t height,
                     const std::vector<png_byte>& pixels)
    {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(width);
        image.height = static_cast<png_uint_32>(height);
        image.format = format;
        ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr));
    }

    fs::path dir;
};

TEST_F(PictureFilesTest, PngKeepsEveryPixel)
{
    const Surface picture = PictureFromRows({{0x000000, 0xFFFFFF, 0x123456}, {0x0000FF, 0x00FF00, 0xFF0000}});
    WritePng(dir / "p.png", picture);
    EXPECT_EQ(Rows(ReadPng(dir / "p.png")), Rows(picture));
}

TEST_F(PictureFilesTest, PngOfOtherKindsReadsAsColours)
{
    // Grey 0x40 and 0xC0.
    WriteRawPng(dir / "grey.png", PNG_FORMAT_GRAY, 2, 1, {0x40, 0xC0});
    EXPECT_EQ(Rows(ReadPng(dir / "grey.png")), (RowList{{0x404040, 0xC0C0C0}}));
    // Opaque red, then fully transparent white: a screen has no
    // transparency, so the second reads as black.
    WriteRawPng(dir / "alpha.png", PNG_FORMAT_RGBA, 2, 1, {0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0});
    EXPECT_EQ(Rows(ReadPng(dir / "alpha.png")), (RowList{{0x0000FF, 0x000000}}));
}

// A decoded GIF, frame by frame as a viewer composes it.
struct DecodedGif {
    std::vector<Surface> Frames;
    std::vector<int> Delays;           // hundredths of a second
    std::vector<std::int32_t> Widths;  // of each stored image
    bool Loops = false;
};

DecodedGif Decode(const fs::path& path)
{
    int error = 0;
    auto close = [](GifFileType* file) { DGifCloseFile(file, nullptr); };
    std::unique_ptr<GifFileType, decltype(close)> gif(DGifOpenFileName(path.c_str(), &error), close);
    if (!gif || DGifSlurp(gif.get()) != GIF_OK) throw std::runtime_error("cannot decode " + path.string());
    DecodedGif decoded;
    Surface canvas(gif->SWidth, gif->SHeight);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif.get(), i, &control);
        const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
        for (int y = 0; y < image.ImageDesc.Height; ++y) {
            for (int x = 0; x < image.ImageDesc.Width; ++x) {
                const int index = image.RasterBits[y * image.ImageDesc.Width + x];
                if (index == control.TransparentColor) continue;
                const GifColorType& c = map->Colors[index];
                canvas.SetColourAt(image.ImageDesc.Left + x, image.ImageDesc.Top + y,
                                   MakeColour(c.Red, c.Green, c.Blue));
            }
        }
        for (int e = 0; e < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& block = image.ExtensionBlocks[e];
            if (block.Function == APPLICATION_EXT_FUNC_CODE && block.ByteCount == 11
                && std::string(reinterpret_cast<const char*>(block.Bytes), 11) == "NETSCAPE2.0") {
                decoded.Loops = true;
            }
        }
        decoded.Frames.push_back(canvas);
        decoded.Delays.push_back(control.DelayTime);
        decoded.Widths.push_back(image.ImageDesc.Width);
    }
    return decoded;
}

// Each component within `tolerance` of the expected picture's.
::testing::AssertionResult Near(const Surface& actual, const Surface& expected, int tolerance)
{
    for (std::int32_t y = 0; y < expected.Height(); ++y) {
        for (std::int32_t x = 0; x < expected.Width(); ++x) {
            const Colour a = actual.ColourAt(x, y);
            const Colour e = expected.ColourAt(x, y);
            for (int shift = 0; shift < 24; shift += 8) {
                const int difference = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((e >> shift) & 0xFF);
                if (std::abs(difference) > tolerance) {
                    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << std::hex
                                                         << a << ", expected about " << e;
                }
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(PictureFilesTest, GifShowsTheFramesWithTheirDelays)
{
    const Colour red = 0x0000F0, green = 0x00F000, blue = 0xF00000, grey = 0x808080;
    const std::vector<Surface> frames = {
        PictureFromRows({{red, red, green, green}, {blue, blue, grey, grey}}),
        // Only the top-right pixel changes.
        PictureFromRows({{red, red, green, blue}, {blue, blue, grey, grey}}),
        // Nothing changes.
        PictureFromRows({{red, red, green, blue}, {blue, blue, grey, grey}}),
        PictureFromRows({{grey, grey, grey, grey}, {red, red, red, red}}),
    };
    GifPalette palette;
    for (const Surface& frame : frames) palette.AddSample(frame);
    GifWriter writer(dir / "a.gif", 4, 2, palette.Build());
    // 50 ms steps would round to 5 cs; 35 ms steps start at 0, 35, 70 and
    // 105 ms, so the delays alternate between 3 and 4 cs without drifting.
    const std::uint32_t durations[] = {35, 35, 35, 35};
    for (std::size_t i = 0; i < frames.size(); ++i) writer.AddFrame(frames[i], durations[i]);
    writer.Finish();

    const DecodedGif gif = Decode(dir / "a.gif");
    ASSERT_EQ(gif.Frames.size(), 4u);
    EXPECT_TRUE(gif.Loops);
    EXPECT_EQ(gif.Delays, (std::vector<int>{4, 3, 4, 3}));
    EXPECT_EQ(gif.Widths, (std::vector<std::int32_t>{4, 1, 1, 4}));
    for (std::size_t i = 0; i < frames.size(); ++i) {
        EXPECT_TRUE(Near(gif.Frames[i], frames[i], 8)) << "frame " << i;
    }
}

TEST_F(PictureFilesTest, GifOfAManyColouredPictureStaysClose)
{
    // A smooth gradient of 4096 colours in 255: a 16 x 16 grid of them would
    // be 16 apart in red and green.
    Surface picture(64, 64);
    for (std::int32_t y = 0; y < 64; ++y) {
        for (std::int32_t x = 0; x < 64; ++x) {
            const auto red = static_cast<std::uint8_t>(x * 4);
            const auto green = static_cast<std::uint8_t>(y * 4);
            picture.SetColourAt(x, y, MakeColour(red, green, 96));
        }
    }
    GifPalette palette;
    palette.AddSample(picture);
    GifWriter writer(dir / "c.gif", 64, 64, palette.Build());
    writer.AddFrame(picture, 100);
    writer.Finish();
    const DecodedGif gif = Decode(dir / "c.gif");
    ASSERT_EQ(gif.Frames.size(), 1u);
    EXPECT_EQ(gif.Delays, (std::vector<int>{10}));
    EXPECT_TRUE(Near(gif.Frames[0], picture, 16));
}

} // namespace
} // namespace nimbrel::render
