// Builds bitmap resources in memory for the tests: the 40-byte header followed by the pixel
// rows stored bottom-up, as the game's resources are.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_bitmaps {

inline void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// The 40-byte header: one plane, no compression, imageSize bytes of pixels to follow.
inline std::vector<std::uint8_t> bitmapHeader(std::uint32_t width, std::uint32_t height,
                                              std::uint8_t depth, std::uint32_t imageSize) {
    std::vector<std::uint8_t> bytes(40);
    put32(bytes, 0, 40);
    put32(bytes, 4, width);
    put32(bytes, 8, height);
    bytes[12] = 1;
    bytes[14] = depth;
    put32(bytes, 20, imageSize);
    return bytes;
}

// A 24-bit picture; colourAt(column, row) gives each pixel as 0xRRGGBB, row 0 being the top row.
template <class ColourAt>
std::vector<std::uint8_t> makeBitmap(std::uint32_t width, std::uint32_t height, ColourAt colourAt) {
    std::vector<std::uint8_t> bytes = bitmapHeader(width, height, 24, 3 * width * height);
    for (int row = static_cast<int>(height) - 1; row >= 0; --row) {
        for (int column = 0; column < static_cast<int>(width); ++column) {
            const std::uint32_t colour = colourAt(column, row);
            for (const int shift : {0, 8, 16}) {
                bytes.push_back(static_cast<std::uint8_t>(colour >> shift)); // blue, green, red
            }
        }
    }
    return bytes;
}

inline std::vector<std::uint8_t> solidBitmap(std::uint32_t width, std::uint32_t height,
                                             std::uint32_t colour) {
    return makeBitmap(width, height, [colour](int, int) { return colour; });
}

} // namespace testing_bitmaps
