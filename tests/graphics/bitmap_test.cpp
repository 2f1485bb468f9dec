// Reading bitmap resources and turning their pixels into texels.
#include "graphics/bitmap.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <vector>

using testing_bitmaps::makeBitmap;
using testing_bitmaps::markedBitmap;
using testing_bitmaps::Pixel;
using testing_bitmaps::put32;
using testing_bitmaps::solidBitmap;

namespace {

constexpr std::uint32_t unwritten = 0xDEADBEEFu;

// A texture level of edge x edge texels, all unwritten to begin with.
struct Level {
    explicit Level(int edge)
        : edge(edge), texels(static_cast<std::size_t>(edge * edge), unwritten) {}
    std::uint32_t at(int column, int row) const {
        return texels[static_cast<std::size_t>(row * edge + column)];
    }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(texels.data()); }
    int edge;
    std::vector<std::uint32_t> texels;
};

// Loads the bytes and converts them as a texture of that size and place is made.
Level convert(const std::vector<std::uint8_t>& bytes, std::int32_t mode, int x = 0, int y = 0,
              int size = 0) {
    BitmapImage image;
    loadBitmapBytes(image, bytes.data(), bytes.size());
    const TextureLayout layout = textureLayout(image.info.biWidth, image.info.biHeight, x, y, size);
    Level level(layout.edge);
    writeTexels(image, mode, layout, level.bytes(), layout.edge * 4);
    return level;
}

TEST(Bitmap, RejectsHeadersThatRunPastTheRealBytes) {
    const auto good = solidBitmap(8, 8, {1, 2, 3});
    struct Damage {
        const char* why;
        int at; // where value is written as 32 bits; -1: nowhere
        std::uint32_t value;
        std::size_t size; // the bytes kept
    };
    const Damage damages[] = {
        {"pixels cut short", -1, 0, good.size() - 1},
        {"image size past the end", 20, 0xFFFFFFF0u, good.size()},
        {"width times height past the image size", 4, 9, good.size()},
        {"huge height", 8, 0x7FFFFFFF, good.size()},
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
        bytes.resize(d.size);
        // A failed load after a good one leaves no trace of the good one.
        BitmapImage image;
        ASSERT_EQ(loadBitmapBytes(image, good.data(), good.size()), 1);
        EXPECT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 0);
        EXPECT_EQ(image.info.biWidth, 0);
        EXPECT_EQ(image.info.biHeight, 0);
        EXPECT_EQ(image.pixels, nullptr);
    }
}

TEST(Bitmap, LoadsPalettePicturesButConvertsOnly24Bit) {
    // 8 bits per pixel: the 1024-byte palette, then 16 bytes of pixels.
    auto bytes = solidBitmap(4, 4, {1, 2, 3});
    bytes.resize(40 + 1024 + 16, 5);
    bytes[14] = 8;
    put32(bytes, 20, 16);
    BitmapImage image;
    ASSERT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 1);
    Level level(4);
    writeTexels(image, Colour, {4, 0, 0}, level.bytes(), 16);
    EXPECT_EQ(level.texels, Level(4).texels);
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
        const Level level = convert(bytes, c.mode);
        ASSERT_EQ(level.edge, 2);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(level.texels[i], c.texels[i]) << i;
    }
    EXPECT_EQ(convert(solidBitmap(1, 1, {255, 255, 255}), Grey).at(0, 0), 0xFFFEFEFEu)
        << "76 + 150 + 28 = 254";
}

TEST(Bitmap, SmallPowerOfTwoSizeCropsRightAndBottom) {
    const auto bytes = markedBitmap(32, 32);
    const Level cropped = convert(bytes, Colour, 4, 2, 16);
    ASSERT_EQ(cropped.edge, 16);
    EXPECT_EQ(cropped.at(3, 2), unwritten);
    EXPECT_EQ(cropped.at(4, 1), unwritten);
    EXPECT_EQ(cropped.at(4, 2), 0xFF010107u) << "the top-left pixel at column 4, row 2";
    EXPECT_EQ(cropped.at(15, 15), 0xFF0C0E07u) << "column 11, row 13 of the picture";

    const Level shifted = convert(bytes, Colour, -3, -1, 32);
    EXPECT_EQ(shifted.at(0, 0), 0xFF010107u) << "negative places count as 0";
}

} // namespace
