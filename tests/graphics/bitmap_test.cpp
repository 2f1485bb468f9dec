// Reading bitmap resources and turning their pixels into texels.
#include "graphics/bitmap.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace graphics;

using testing_bitmaps::makeBitmap;
using testing_bitmaps::markedBitmap;
using testing_bitmaps::Pixel;
using testing_bitmaps::put32;
using testing_bitmaps::solidBitmap;

namespace {

constexpr std::uint32_t unwritten = 0xDEADBEEFu;

// Loads the bytes and converts them into a level laid out as a texture of that size and place
// is: edge x edge texels, row after row, all unwritten to begin with.
std::vector<std::uint32_t> convert(const std::vector<std::uint8_t>& bytes, std::int32_t mode,
                                   int x = 0, int y = 0, int size = 0) {
    BitmapImage image;
    loadBitmapBytes(image, bytes.data(), bytes.size());
    const TextureLayout layout = textureLayout(image.info.biWidth, image.info.biHeight, x, y, size);
    std::vector<std::uint32_t> level(static_cast<std::size_t>(layout.edge * layout.edge),
                                     unwritten);
    writeTexels(image, mode, layout, reinterpret_cast<std::uint8_t*>(level.data()),
                layout.edge * 4);
    return level;
}

TEST(Bitmap, RejectsHeadersThatRunPastTheRealBytes) {
    const auto good = solidBitmap(8, 8, {1, 2, 3});
    struct Damage {
        const char* why;
        int at; // where value is written as 32 bits; -1: nowhere
        std::uint32_t value;
        std::size_t size; // the bytes kept
        int at2 = -1;     // a second value written, as the first
        std::uint32_t value2 = 0;
    };
    const Damage damages[] = {
        {"pixels cut short", -1, 0, good.size() - 1},
        {"image size past the end", 20, 0xFFFFFFF0u, good.size()},
        {"width times height past the image size", 4, 9, good.size()},
        {"huge height", 8, 0x7FFFFFFF, good.size()},
        {"rows whose byte count wraps 64 bits", 4, 0x7FFFFFFF, good.size(), 8, 0x7FFFFFFF},
        {"negative height", 8, static_cast<std::uint32_t>(-8), good.size()},
        {"32 bits per pixel", 14, 32, good.size()},
        {"not a 40-byte header", 0, 12, good.size()},
        {"palette cut short", 14, 8, 40 + 100},
        {"39 bytes", -1, 0, 39},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.why);
        auto bytes = good;
        if (d.at >= 0) put32(bytes, static_cast<std::size_t>(d.at), d.value);
        if (d.at2 >= 0) put32(bytes, static_cast<std::size_t>(d.at2), d.value2);
        bytes.resize(d.size);
        // A failed load after a good one leaves no trace of the good one.
        BitmapImage image;
        ASSERT_EQ(loadBitmapBytes(image, good.data(), good.size()), 1);
        EXPECT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 0);
        EXPECT_EQ(image.info.biWidth, 0);
        EXPECT_EQ(image.info.biHeight, 0);
        EXPECT_EQ(image.pixels, nullptr);
    }

    // A picture whose sides claim more rows than its pixels hold converts nothing, even when
    // the rows' byte count wraps.
    BitmapImage claimed;
    ASSERT_EQ(loadBitmapBytes(claimed, good.data(), good.size()), 1);
    claimed.info.biWidth = 0x7FFFFFFF;
    claimed.info.biHeight = 0x7FFFFFFF;
    std::vector<std::uint32_t> level(4 * 4, unwritten);
    writeTexels(claimed, Colour, {4, 0, 0}, reinterpret_cast<std::uint8_t*>(level.data()), 16);
    EXPECT_EQ(level, std::vector<std::uint32_t>(4 * 4, unwritten));
}

TEST(Bitmap, LoadsPalettePicturesButConvertsOnly24Bit) {
    // 8 bits per pixel: the 1024-byte palette, then 16 bytes of pixels.
    auto bytes = testing_bitmaps::bitmapHeader(4, 4, 8, 16);
    bytes.resize(40 + 1024 + 16, 5);
    BitmapImage image;
    ASSERT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 1);
    EXPECT_EQ(convert(bytes, Colour), std::vector<std::uint32_t>(16, unwritten));
}

TEST(Bitmap, LayoutCentresInTheSmallestPowerOfTwoUnlessGivenOne) {
    struct Case {
        int width, height, x, y, size;
        TextureLayout expected;
    };
    const Case cases[] = {
        {32, 24, 0, 0, 0, {32, 0, 4}},   {32, 20, 3, 3, 0, {32, 0, 6}},
        {32, 20, 3, 3, -16, {32, 0, 6}}, {32, 20, 3, 3, 24, {32, 0, 6}},
        {33, 5, 0, 0, 0, {64, 15, 29}},  {1, 1, 0, 0, 0, {1, 0, 0}},
        {0, 0, 0, 0, 0, {1, 0, 0}},      {32, 20, -5, 7, 16, {16, 0, 7}}, // negative x counts as 0
    };
    for (const Case& c : cases) {
        const TextureLayout layout = textureLayout(c.width, c.height, c.x, c.y, c.size);
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " size " << c.size);
        EXPECT_EQ(layout.edge, c.expected.edge);
        EXPECT_EQ(layout.x, c.expected.x);
        EXPECT_EQ(layout.y, c.expected.y);
    }
}

TEST(Bitmap, ColourDropsOnlyPureBlackAndGreyTruncatesEachChannel) {
    const Pixel pixels[] = {{0, 0, 0}, {1, 0, 0}, {0x30, 0x20, 0x10}, {9, 1, 4}};
    const auto bytes = makeBitmap(2, 2, [&pixels](int c, int r) { return pixels[2 * r + c]; });
    struct Case {
        std::int32_t mode;
        std::uint32_t texels[4];
    };
    const Case cases[] = {
        {Colour, {0, 0xFF000001u, 0xFF102030u, 0xFF040109u}},
        // Blue 1 gives 0.11, black; 16 x 0.3 + 32 x 0.59 + 48 x 0.11 gives 4 + 18 + 5.
        {Grey, {0, 0, 0xFF1B1B1Bu, 0xFF010101u}},
        {2, {unwritten, unwritten, unwritten, unwritten}}, // an unknown mode converts nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(convert(bytes, c.mode), std::vector<std::uint32_t>(c.texels, c.texels + 4));
    }
}

TEST(Bitmap, SmallPowerOfTwoSizeCropsRightAndBottom) {
    const auto bytes = markedBitmap(32, 32);
    const auto cropped = convert(bytes, Colour, 4, 2, 16);
    ASSERT_EQ(cropped.size(), 16u * 16u);
    EXPECT_EQ(cropped[2 * 16 + 3], unwritten);
    EXPECT_EQ(cropped[1 * 16 + 4], unwritten);
    EXPECT_EQ(cropped[2 * 16 + 4], 0xFF010107u) << "the top-left pixel at column 4, row 2";
    EXPECT_EQ(cropped[15 * 16 + 15], 0xFF0C0E07u) << "column 11, row 13 of the picture";
    EXPECT_EQ(convert(bytes, Colour, -3, -1, 32)[0], 0xFF010107u) << "negative places count as 0";
}

} // namespace
