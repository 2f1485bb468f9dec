// Builds bitmap resources in memory for the tests: the 40-byte header followed by the pixel
// rows stored bottom-up, as the game's resources are.
#pragma once

#include <cstdint>
#include <vector>

namespace testing_bitmaps {

struct Pixel {
    std::uint8_t blue, green, red;
};

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

// A 24-bit picture; pixelAt(column, row) gives each pixel, row 0 being the top row.
template <class PixelAt>
std::vector<std::uint8_t> makeBitmap(int width, int height, PixelAt pixelAt) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const std::size_t imageSize = rowBytes * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> bytes =
        bitmapHeader(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 24,
                     static_cast<std::uint32_t>(imageSize));
    bytes.resize(40 + imageSize);
    for (int row = 0; row < height; ++row) {
        // Stored bottom-up: the picture's top row is the last one in the resource.
        std::uint8_t* stored =
            bytes.data() + 40 + rowBytes * static_cast<std::size_t>(height - 1 - row);
        for (int column = 0; column < width; ++column) {
            const Pixel p = pixelAt(column, row);
            stored[3 * column] = p.blue;
            stored[3 * column + 1] = p.green;
            stored[3 * column + 2] = p.red;
        }
    }
    return bytes;
}

inline std::vector<std::uint8_t> solidBitmap(int width, int height, Pixel pixel) {
    return makeBitmap(width, height, [pixel](int, int) { return pixel; });
}

// A picture whose every pixel tells where it came from: red = column + 1, green = row + 1,
// blue 7.
inline std::vector<std::uint8_t> markedBitmap(int width, int height) {
    return makeBitmap(width, height, [](int column, int row) {
        return Pixel{7, static_cast<std::uint8_t>(row + 1), static_cast<std::uint8_t>(column + 1)};
    });
}

} // namespace testing_bitmaps
