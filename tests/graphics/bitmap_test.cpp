// Reading bitmap resources and turning their pixels into texels.
#include "graphics/bitmap.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <vector>

using testing_bitmaps::makeBitmap;
using testing_bitmaps::Pixel;
using testing_bitmaps::put32;
using testing_bitmaps::solidBitmap;

namespace {

// A picture whose every pixel tells where it came from: red = column + 1, green = row + 1.
std::vector<std::uint8_t> markedBitmap(int width, int height) {
    return makeBitmap(width, height, [](int c, int r) {
        return Pixel{7, static_cast<std::uint8_t>(r + 1), static_cast<std::uint8_t>(c + 1)};
    });
}

struct Level {
    explicit Level(int edge)
        : edge(edge), texels(static_cast<std::size_t>(edge * edge), 0xDEADBEEFu) {}
    std::uint32_t at(int column, int row) const {
        return texels[static_cast<std::size_t>(row * edge + column)];
    }
    std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(texels.data()); }
    int edge;
    std::vector<std::uint32_t> texels;
};

// Loads the bytes and converts them the way a texture of size 0 (worked out) is made.
Level convert(const std::vector<std::uint8_t>& bytes, std::int32_t mode, int x = 0, int y = 0,
              int size = 0) {
    BitmapImage image;
    loadBitmapBytes(image, bytes.data(), bytes.size());
    const TextureLayout layout = textureLayout(image.info.biWidth, image.info.biHeight, x, y, size);
    Level level(layout.edge);
    writeTexels(image, mode, layout, level.bytes(), layout.edge * 4);
    return level;
}

TEST(Bitmap, LoadsRowsTopFirstAndFlipRowsReversesInPlace) {
    const auto bytes = markedBitmap(4, 3);
    BitmapImage image;
    ASSERT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 1);
    EXPECT_EQ(image.info.biWidth, 4);
    EXPECT_EQ(image.info.biHeight, 3);
    EXPECT_EQ(image.info.biBitCount, 24);
    ASSERT_NE(image.pixels, nullptr);
    // Top row first: row 0's green is 1, the last row's is 3.
    EXPECT_EQ(image.pixels[1], 1);
    EXPECT_EQ(image.pixels[2 * 12 + 1], 3);
    EXPECT_EQ(image.pixels[3 * 3 + 2], 4); // red of column 3

    std::uint8_t rows[] = {1, 2, 3, 4, 5, 6};
    EXPECT_EQ(flipRows(rows, 2, 3), 1);
    EXPECT_EQ(rows[0], 5);
    EXPECT_EQ(rows[1], 6);
    EXPECT_EQ(rows[4], 1);
    EXPECT_EQ(flipRows(rows, 2, 0), 1);
    EXPECT_EQ(rows[0], 5);

    EXPECT_EQ(freePixels(image), 1);
    EXPECT_EQ(image.pixels, nullptr);
}

TEST(Bitmap, RejectsHeadersThatRunPastTheRealBytes) {
    const auto good = solidBitmap(8, 8, {1, 2, 3});
    BitmapImage image;

    auto expectRejected = [&image](const std::vector<std::uint8_t>& bytes, const char* why) {
        EXPECT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 0) << why;
        EXPECT_EQ(image.info.biWidth, 0) << why;
        EXPECT_EQ(image.info.biHeight, 0) << why;
        EXPECT_EQ(image.pixels, nullptr) << why;
    };

    auto truncated = good;
    truncated.resize(good.size() - 1);
    expectRejected(truncated, "pixels cut short");

    auto bigImage = good;
    put32(bigImage, 20, 0xFFFFFFF0u);
    expectRejected(bigImage, "image size past the end");

    auto wide = good;
    put32(wide, 4, 9);
    expectRejected(wide, "width times height past the image size");

    auto tall = good;
    put32(tall, 8, 0x7FFFFFFF);
    expectRejected(tall, "huge height");

    auto topDown = good;
    put32(topDown, 8, static_cast<std::uint32_t>(-8));
    expectRejected(topDown, "negative height");

    auto deep = good;
    deep[14] = 32;
    expectRejected(deep, "32 bits per pixel");

    auto noHeader = good;
    noHeader[0] = 12;
    expectRejected(noHeader, "not a 40-byte header");

    std::vector<std::uint8_t> palettedShort(good.begin(), good.begin() + 40);
    palettedShort[14] = 8;
    palettedShort.resize(40 + 100);
    expectRejected(palettedShort, "palette cut short");

    expectRejected(std::vector<std::uint8_t>(good.begin(), good.begin() + 39), "39 bytes");

    // A failed load after a good one leaves no trace of the good one.
    ASSERT_EQ(loadBitmapBytes(image, good.data(), good.size()), 1);
    expectRejected(truncated, "after a good load");
}

TEST(Bitmap, LoadsPalettePicturesButConvertsOnly24Bit) {
    std::vector<std::uint8_t> bytes(40 + 1024 + 16);
    put32(bytes, 0, 40);
    put32(bytes, 4, 4);
    put32(bytes, 8, 4);
    bytes[14] = 8;
    put32(bytes, 20, 16);
    bytes[40] = 10; // blue of entry 0
    bytes[42] = 30; // red of entry 0
    BitmapImage image;
    ASSERT_EQ(loadBitmapBytes(image, bytes.data(), bytes.size()), 1);
    EXPECT_EQ(image.colours[0][0], 30);
    EXPECT_EQ(image.colours[0][2], 10);
    EXPECT_EQ(image.colours[0][3], 4);

    Level level(4);
    writeTexels(image, Grey, {4, 0, 0}, level.bytes(), 16);
    EXPECT_EQ(level.at(0, 0), 0xDEADBEEFu);
}

TEST(Bitmap, LayoutCentresOddSizesAndHonoursPowersOfTwo) {
    const TextureLayout label = textureLayout(32, 24, 0, 0, 0);
    EXPECT_EQ(label.edge, 32);
    EXPECT_EQ(label.y, 4);
    const TextureLayout word = textureLayout(32, 20, 0, 0, 0);
    EXPECT_EQ(word.y, 6);
    EXPECT_EQ(word.x, 0);
    EXPECT_EQ(textureLayout(1, 1, 0, 0, 0).edge, 1);
    EXPECT_EQ(textureLayout(0, 0, 0, 0, 0).edge, 1);
    EXPECT_EQ(textureLayout(33, 5, 0, 0, 0).edge, 64);
    for (const int size : {0, -16, 24}) {
        const TextureLayout worked = textureLayout(32, 20, 3, 3, size);
        EXPECT_EQ(worked.edge, 32) << size;
        EXPECT_EQ(worked.x, 0) << size;
        EXPECT_EQ(worked.y, 6) << size;
    }
    const TextureLayout given = textureLayout(32, 20, -5, 7, 16);
    EXPECT_EQ(given.edge, 16);
    EXPECT_EQ(given.x, 0);
    EXPECT_EQ(given.y, 7);
}

TEST(Bitmap, ColourTexelsKeepColoursAndDropPureBlack) {
    const auto bytes = makeBitmap(32, 20, [](int c, int r) {
        if (c == 0 && r == 0) return Pixel{0, 0, 0};
        if (c == 1 && r == 0) return Pixel{1, 0, 0};
        return Pixel{0x30, 0x20, 0x10};
    });
    const Level level = convert(bytes, Colour);
    ASSERT_EQ(level.edge, 32);
    EXPECT_EQ(level.at(0, 5), 0xDEADBEEFu) << "rows above the picture are not written";
    EXPECT_EQ(level.at(0, 6), 0x00000000u);
    EXPECT_EQ(level.at(1, 6), 0xFF000001u);
    EXPECT_EQ(level.at(31, 25), 0xFF102030u);
    EXPECT_EQ(level.at(0, 26), 0xDEADBEEFu) << "rows below the picture are not written";

    const Level tall = convert(solidBitmap(32, 24, {1, 1, 1}), Colour);
    EXPECT_EQ(tall.at(5, 3), 0xDEADBEEFu);
    EXPECT_EQ(tall.at(5, 4), 0xFF010101u);
    EXPECT_EQ(tall.at(5, 27), 0xFF010101u);
    EXPECT_EQ(tall.at(5, 28), 0xDEADBEEFu);

    const Level dot = convert(solidBitmap(1, 1, {8, 0, 0}), Colour);
    ASSERT_EQ(dot.edge, 1);
    EXPECT_EQ(dot.at(0, 0), 0xFF000008u);
}

TEST(Bitmap, GreyTexelsTruncateEachChannel) {
    const auto bytes = makeBitmap(2, 2, [](int c, int r) {
        if (r == 0 && c == 0) return Pixel{9, 1, 3}; // every product truncates to 0
        if (r == 0 && c == 1) return Pixel{9, 1, 4}; // red 4 gives 1
        if (r == 1 && c == 0) return Pixel{255, 255, 255};
        return Pixel{0, 0, 0};
    });
    const Level level = convert(bytes, Grey);
    EXPECT_EQ(level.at(0, 0), 0x00000000u);
    EXPECT_EQ(level.at(1, 0), 0xFF010101u);
    EXPECT_EQ(level.at(0, 1), 0xFFFEFEFEu) << "76 + 150 + 28 = 254";
    EXPECT_EQ(level.at(1, 1), 0x00000000u);

    const Level untouched = convert(bytes, 2);
    EXPECT_EQ(untouched.at(0, 1), 0xDEADBEEFu) << "an unknown mode converts nothing";
}

TEST(Bitmap, SmallPowerOfTwoSizeCropsRightAndBottom) {
    const auto bytes = markedBitmap(32, 32);
    const Level cropped = convert(bytes, Colour, 4, 2, 16);
    ASSERT_EQ(cropped.edge, 16);
    EXPECT_EQ(cropped.at(3, 2), 0xDEADBEEFu);
    EXPECT_EQ(cropped.at(4, 2), 0xFF010107u) << "the top-left pixel at column 4, row 2";
    EXPECT_EQ(cropped.at(15, 15), 0xFF0C0E07u) << "column 11, row 13 of the picture";

    const Level shifted = convert(bytes, Colour, -3, -1, 32);
    EXPECT_EQ(shifted.at(0, 0), 0xFF010107u) << "negative places count as 0";
}

} // namespace
