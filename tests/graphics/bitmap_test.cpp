// Reading bitmap resources and turning their pixels into texels.
#include "graphics/bitmap.h"
#include "tests/graphics/bitmap_builder.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

using namespace graphics;

using testing_bitmaps::makeBitmap;
using testing_bitmaps::put32;

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
    const auto good = testing_bitmaps::solidBitmap(8, 8, 0x030201);
    struct Damage {
        const char* why;
        std::size_t size;                                          // the bytes kept
        std::vector<std::pair<std::size_t, std::uint32_t>> writes; // where, what: 32 bits each
    };
    const std::size_t all = good.size();
    const Damage damages[] = {
        {"pixels cut short", all - 1, {}},
        {"image size past the end", all, {{20, 0xFFFFFFF0u}}},
        {"width times height past the image size", all, {{4, 9}}},
        {"rows whose byte count wraps 64 bits", all, {{4, 0x7FFFFFFF}, {8, 0x7FFFFFFF}}},
        {"negative height", all, {{8, static_cast<std::uint32_t>(-8)}}},
        {"32 bits per pixel", all, {{14, 32}}},
        {"not a 40-byte header", all, {{0, 12}}},
        {"palette cut short", 40 + 100, {{14, 8}}},
        {"39 bytes", 39, {}},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.why);
        auto bytes = good;
        for (const auto& [at, value] : d.writes) put32(bytes, at, value);
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
    // 8 bits per pixel: the 1024-byte palette, then 48 bytes of pixels, as many as 24-bit rows
    // of that size would take.
    auto bytes = testing_bitmaps::bitmapHeader(4, 4, 8, 48);
    bytes.resize(40 + 1024 + 48, 5);
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
        {32, 20, 3, 3, 0, {32, 0, 6}},    {32, 20, 3, 3, 24, {32, 0, 6}},
        {33, 5, 0, 0, 0, {64, 15, 29}},   {0, 0, 0, 0, 0, {1, 0, 0}},
        {32, 20, -5, -7, 16, {16, 0, 0}}, // negative places count as 0
    };
    for (const Case& c : cases) {
        const TextureLayout layout = textureLayout(c.width, c.height, c.x, c.y, c.size);
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height << " size " << c.size);
        EXPECT_EQ(std::tuple(layout.edge, layout.x, layout.y),
                  std::tuple(c.expected.edge, c.expected.x, c.expected.y));
    }
}

TEST(Bitmap, ColourDropsOnlyPureBlackAndGreyTruncatesEachChannel) {
    const std::uint32_t pixels[] = {0, 0x000001, 0x102030, 0x040109};
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
    // Every pixel tells where it came from: red = column + 1, green = row + 1, blue 7.
    const auto bytes = makeBitmap(32, 32, [](int column, int row) {
        return static_cast<std::uint32_t>((column + 1) << 16 | (row + 1) << 8 | 7);
    });
    const auto cropped = convert(bytes, Colour, 4, 2, 16);
    ASSERT_EQ(cropped.size(), 16u * 16u);
    EXPECT_EQ(cropped[2 * 16 + 3], unwritten);
    EXPECT_EQ(cropped[1 * 16 + 4], unwritten);
    EXPECT_EQ(cropped[2 * 16 + 4], 0xFF010107u) << "the top-left pixel at column 4, row 2";
    EXPECT_EQ(cropped[15 * 16 + 15], 0xFF0C0E07u) << "column 11, row 13 of the picture";
}

} // namespace
