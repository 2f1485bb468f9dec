// Pictures from bitmap resources, the header checked against the real bytes, and their
// conversion into 32-bit texels (black made transparent, or grey levels) of a square texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace graphics {

// The 40-byte header every bitmap resource begins with, as stored (little-endian).
struct BitmapInfoHeader {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0; // positive: rows stored bottom-up
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};

constexpr std::size_t bitmapInfoHeaderSize = 40;

// One loaded picture. Width and height stay 0 when nothing could be loaded.
struct BitmapImage {
    std::uint8_t fileHeader[14] = {};
    BitmapInfoHeader info;
    std::uint8_t colours[256][4] = {};      // palette of 8-bit pictures, red, green, blue, 4
    std::unique_ptr<std::uint8_t[]> pixels; // rows top row first, no padding; null when empty
    std::size_t pixelBytes = 0;             // how many bytes pixels holds
};

// How picture pixels become texels.
enum TextureMode : std::int32_t {
    Colour = 0, // the picture's colours; pure black becomes transparent
    Grey = 1,   // grey levels; black (after rounding down) becomes transparent
};

// Reads a bitmap resource's bytes into image. True when loaded; false when the bytes do not
// hold a 40-byte-header bitmap of 8, 16 or 24 bits whose palette and pixel rows lie wholly
// inside them, in which case image holds no pixels and a width and height of 0.
bool loadBitmapBytes(BitmapImage& image, const std::uint8_t* bytes, std::size_t size);

// The same for the bitmap resource with that id (only its low 16 bits count).
bool loadBitmap(BitmapImage& image, int resourceId);

// Frees the pixels, if any. Always true.
bool freePixels(BitmapImage& image);

// Reverses the order of rows rows of rowBytes bytes each, in place. False only when the
// working copy cannot be allocated (the rows then stay as they were).
bool flipRows(std::uint8_t* buffer, std::int64_t rowBytes, std::int64_t rows);

// Where a picture goes in its texture: the square edge and the texel column and row of the
// picture's top-left pixel.
struct TextureLayout {
    int edge = 1;
    int x = 0;
    int y = 0;
};

// A size that is a power of two gives that edge and keeps x and y; any other size makes the
// edge the smallest power of two holding both sides and centres the picture. Negative x or y
// become 0.
TextureLayout textureLayout(int width, int height, int x, int y, int size);

// Converts the picture's pixels into the texels of one texture level (rows pitch bytes apart,
// edge by edge texels of A8R8G8B8) at the layout's place, cropping at the right and bottom.
// Texels outside the picture are not touched. Only 24-bit pictures are converted: no
// conversion exists for the other depths, and their rows are too short to read as 24-bit.
void writeTexels(const BitmapImage& image, std::int32_t mode, const TextureLayout& layout,
                 std::uint8_t* level, std::int64_t pitch);

} // namespace graphics
