// Writes the game's window icon, compiled into the program as a .bmp, as the PNG that desktops
// show in their menus: hopla-icon-png OUTPUT.png. Runs at build time for the install.
#include "graphics/bitmap.h"
#include "platform/resources.h"
#include "platform/softgpu/png_writer.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: hopla-icon-png OUTPUT.png\n");
        return 2;
    }
    // The icon is a whole .bmp file: its 14-byte file header comes before the bitmap itself.
    constexpr std::size_t fileHeaderSize = 14;
    const std::optional<platform::Resource> icon =
        platform::findResource(platform::ResourceType::Icon, platform::hoplaIconId);
    graphics::BitmapImage image;
    if (!icon || icon->size <= fileHeaderSize ||
        !graphics::loadBitmapBytes(image, icon->bytes + fileHeaderSize,
                                   icon->size - fileHeaderSize) ||
        image.info.biBitCount != 24) {
        std::fprintf(stderr, "hopla-icon-png: the program holds no 24-bit icon\n");
        return 1;
    }
    const int width = image.info.biWidth;
    const int height = image.info.biHeight < 0 ? -image.info.biHeight : image.info.biHeight;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint8_t* bgr = image.pixels.get() + i * 3;
        pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(bgr[2]) << 16 |
                    static_cast<std::uint32_t>(bgr[1]) << 8 | bgr[0];
    }
    std::string error;
    if (!softgpu::writePng(argv[1], {pixels.data(), width, height, width * 4}, &error)) {
        std::fprintf(stderr, "hopla-icon-png: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
