// Arbitrary bytes as a bitmap resource: loading must never read outside them, and whatever
// loads must convert into its texture without writing outside the level. Each input is tried
// as it is and once more behind a plausible header built from its first bytes, so that short
// runs without a guided fuzzer still reach the pixel paths.
#include "graphics/bitmap.h"
#include "tests/graphics/bitmap_builder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace graphics;

namespace {

void loadAndConvert(const std::uint8_t* data, std::size_t size, int mode, int x, int y, int edge) {
    BitmapImage image;
    if (loadBitmapBytes(image, data, size) != 1) return;
    const TextureLayout layout = textureLayout(image.info.biWidth, image.info.biHeight, x, y, edge);
    if (layout.edge > 1024) return;
    std::vector<std::uint32_t> level(static_cast<std::size_t>(layout.edge) * layout.edge);
    writeTexels(image, mode, layout, reinterpret_cast<std::uint8_t*>(level.data()),
                std::int64_t{layout.edge} * 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int mode = size > 0 ? data[0] % 3 : 0;
    const int edge = size > 1 ? data[1] % 40 - 4 : 0;
    const int x = size > 2 ? data[2] % 20 - 4 : 0;
    const int y = size > 3 ? data[3] % 20 - 4 : 0;
    loadAndConvert(data, size, mode, x, y, edge);

    if (size < 8) return 0;
    // Small sides, a depth of 8, 16, 24 or 32 bits, and an image size that is either exactly
    // the rows' size or anything up to about 1 KiB, which may or may not fit.
    static const std::uint8_t depths[] = {8, 16, 24, 32};
    const std::uint32_t width = 1u + data[4] % 12u;
    const std::uint32_t height = 1u + data[5] % 12u;
    const std::uint8_t depth = depths[data[6] % 4];
    const std::uint32_t rows = width * (depth / 8u) * height;
    std::vector<std::uint8_t> framed =
        testing_bitmaps::bitmapHeader(width, height, depth, (data[7] & 1) ? rows : data[7] * 4u);
    framed.insert(framed.end(), data + 8, data + size);
    loadAndConvert(framed.data(), framed.size(), mode, x, y, edge);
    return 0;
}
