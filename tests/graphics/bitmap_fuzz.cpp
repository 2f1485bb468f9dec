// Arbitrary bytes as a bitmap resource: loading must never read outside them, and whatever
// loads must convert into its texture without writing outside the level.
#include "graphics/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BitmapImage image;
    if (loadBitmapBytes(image, data, size) != 1) return 0;
    const int mode = size > 0 ? data[size - 1] % 3 : 0;
    const int size0 = size > 1 ? data[size - 2] % 40 - 4 : 0;
    const TextureLayout layout =
        textureLayout(image.info.biWidth, image.info.biHeight, size0 / 3, size0 % 7, size0);
    if (layout.edge > 1024) return 0;
    std::vector<std::uint32_t> level(static_cast<std::size_t>(layout.edge) * layout.edge);
    writeTexels(image, mode, layout, reinterpret_cast<std::uint8_t*>(level.data()),
                std::int64_t{layout.edge} * 4);
    return 0;
}
