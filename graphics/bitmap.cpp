#include "graphics/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace graphics {

namespace {

std::uint16_t read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t read32(const std::uint8_t* p) {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

BitmapInfoHeader readInfoHeader(const std::uint8_t* p) {
    BitmapInfoHeader h;
    h.biSize = read32(p);
    h.biWidth = static_cast<std::int32_t>(read32(p + 4));
    h.biHeight = static_cast<std::int32_t>(read32(p + 8));
    h.biPlanes = read16(p + 12);
    h.biBitCount = read16(p + 14);
    h.biCompression = read32(p + 16);
    h.biSizeImage = read32(p + 20);
    h.biXPelsPerMeter = static_cast<std::int32_t>(read32(p + 24));
    h.biYPelsPerMeter = static_cast<std::int32_t>(read32(p + 28));
    h.biClrUsed = read32(p + 32);
    h.biClrImportant = read32(p + 36);
    return h;
}

bool failLoad(BitmapImage& image) {
    // A picture that did not load must read as 0 by 0, whatever its header claimed, so the
    // texture made from it stays 1 by 1 and nothing reads pixels that are not there.
    image.info = BitmapInfoHeader{};
    freePixels(image);
    return false;
}

} // namespace

bool loadBitmapBytes(BitmapImage& image, const std::uint8_t* bytes, std::size_t size) {
    if (!bytes || size < bitmapInfoHeaderSize) return failLoad(image);
    std::memcpy(image.fileHeader, bytes, sizeof image.fileHeader);
    if (read16(image.fileHeader) != bitmapInfoHeaderSize) return failLoad(image);

    const BitmapInfoHeader header = readInfoHeader(bytes);
    const std::size_t paletteBytes = sizeof image.colours;
    if (header.biBitCount == 8) {
        if (size - bitmapInfoHeaderSize < paletteBytes) return failLoad(image);
        const std::uint8_t* entry = bytes + bitmapInfoHeaderSize;
        for (auto& colour : image.colours) {
            colour[0] = entry[2];
            colour[1] = entry[1];
            colour[2] = entry[0];
            colour[3] = 4;
            entry += 4;
        }
    }
    if (header.biBitCount != 8 && header.biBitCount != 16 && header.biBitCount != 24) {
        return failLoad(image);
    }

    // The header is trusted only as far as the resource's real bytes reach: the image size
    // must lie inside them and the rows the width, height and depth describe inside that.
    // The rows are compared by division, since the sides of a damaged header can make their
    // byte count too large for any integer.
    const std::int64_t rowBytes = std::int64_t{header.biBitCount / 8} * header.biWidth;
    const std::int64_t available = static_cast<std::int64_t>(size - bitmapInfoHeaderSize);
    if (header.biWidth < 1 || header.biHeight < 1 || header.biSizeImage > available ||
        rowBytes > std::int64_t{header.biSizeImage} / header.biHeight) {
        return failLoad(image);
    }

    freePixels(image);
    image.pixels.reset(new (std::nothrow)
                           std::uint8_t[std::max<std::size_t>(1, header.biSizeImage)]);
    if (!image.pixels) return failLoad(image);
    image.pixelBytes = header.biSizeImage;
    std::memcpy(image.pixels.get(), bytes + bitmapInfoHeaderSize, header.biSizeImage);
    image.info = header;
    // A failed flip leaves the picture upside down, which is still a picture.
    flipRows(image.pixels.get(), rowBytes, header.biHeight);
    return true;
}

bool freePixels(BitmapImage& image) {
    image.pixels.reset();
    image.pixelBytes = 0;
    return true;
}

bool flipRows(std::uint8_t* buffer, std::int64_t rowBytes, std::int64_t rows) {
    if (rows < 1 || rowBytes < 1) return true;
    const std::size_t total = static_cast<std::size_t>(rowBytes * rows);
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[total]);
    if (!copy) return false;
    std::memcpy(copy.get(), buffer, total);
    for (std::int64_t i = 0; i < rows; ++i) {
        std::memcpy(buffer + (rows - 1 - i) * rowBytes, copy.get() + i * rowBytes,
                    static_cast<std::size_t>(rowBytes));
    }
    return true;
}

TextureLayout textureLayout(int width, int height, int x, int y, int size) {
    TextureLayout layout;
    if (size >= 1 && (size & (size - 1)) == 0) {
        layout = {size, x, y};
    } else {
        const int larger = std::max(width, height);
        int edge = 1;
        // No picture that fits in a resource comes near the limit; it only keeps the
        // doubling from overflowing.
        while (edge < larger && edge < (1 << 30)) edge *= 2;
        layout = {edge, (edge - width) / 2, (edge - height) / 2};
    }
    layout.x = std::max(layout.x, 0);
    layout.y = std::max(layout.y, 0);
    return layout;
}

void writeTexels(const BitmapImage& image, std::int32_t mode, const TextureLayout& layout,
                 std::uint8_t* level, std::int64_t pitch) {
    const BitmapInfoHeader& info = image.info;
    if (!image.pixels || info.biBitCount != 24 || (mode != Colour && mode != Grey)) return;
    const std::int64_t width = info.biWidth;
    const std::int64_t height = info.biHeight;
    const std::int64_t rowBytes = 3 * width;
    if (width < 1 || height < 1 ||
        rowBytes > static_cast<std::int64_t>(image.pixelBytes) / height) {
        return;
    }

    const std::int64_t rows = std::min(height, std::int64_t{layout.edge} - layout.y);
    const std::int64_t columns = std::min(width, std::int64_t{layout.edge} - layout.x);
    for (std::int64_t r = 0; r < rows; ++r) {
        const std::uint8_t* source = image.pixels.get() + r * rowBytes;
        std::uint8_t* target = level + (layout.y + r) * pitch + std::int64_t{layout.x} * 4;
        for (std::int64_t c = 0; c < columns; ++c) {
            const std::uint8_t blue = source[3 * c];
            const std::uint8_t green = source[3 * c + 1];
            const std::uint8_t red = source[3 * c + 2];
            std::uint32_t texel;
            if (mode == Colour) {
                const std::uint32_t alpha = (red | green | blue) ? 0xFFu : 0u;
                texel =
                    (alpha << 24) | (std::uint32_t{red} << 16) | (std::uint32_t{green} << 8) | blue;
            } else {
                const auto redPart = static_cast<std::uint32_t>(red * 0.3);
                const auto greenPart = static_cast<std::uint32_t>(green * 0.59);
                const auto bluePart = static_cast<std::uint32_t>(blue * 0.11);
                const std::uint32_t grey = redPart + greenPart + bluePart;
                const std::uint32_t alpha = (redPart | greenPart | bluePart) ? 0xFFu : 0u;
                texel = (alpha << 24) | (grey << 16) | (grey << 8) | grey;
            }
            std::memcpy(target + 4 * c, &texel, sizeof texel);
        }
    }
}

} // namespace graphics
