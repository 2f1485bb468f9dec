// The artwork: regenerating it reproduces the committed files byte for byte, so what the golden
// frames show is what the generator draws; and the menu icons, which no frame shows, are the
// window's icon at every size.
#include "graphics/bitmap.h"
#include "platform/resources.h"
#include "platform/softgpu/png_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using platform::findResource;
using platform::ResourceType;

namespace {

struct Rgb {
    int r, g, b;
};

// A picture as the game's loader reads it, from the bytes at its 40-byte info header: rows top
// first, each pixel blue, green, red.
struct Picture {
    Picture(const platform::Resource& res, std::size_t header) {
        if (!graphics::loadBitmapBytes(image, res.bytes + header, res.size - header))
            throw std::runtime_error("a picture the game can't load");
    }
    int width() const { return image.info.biWidth; }
    Rgb at(int x, int y) const {
        const std::uint8_t* p = image.pixels.get() + (std::size_t(y) * width() + x) * 3;
        return {p[2], p[1], p[0]};
    }
    graphics::BitmapImage image;
};

std::vector<char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(Artwork, GeneratorReproducesTheCommittedFiles) {
    const fs::path out = fs::temp_directory_path() / ("hopla-artgen-" + std::to_string(::getpid()));
    fs::remove_all(out);
    const std::string command = std::string("\"") + HOPLA_ARTGEN + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::set<std::string> generated;
    for (const auto& entry : fs::directory_iterator(out)) {
        const std::string name = entry.path().filename().string();
        generated.insert(name);
        const fs::path committed = fs::path(HOPLA_RESOURCE_DIR) / name;
        ASSERT_TRUE(fs::exists(committed)) << name << " is drawn but not committed";
        EXPECT_TRUE(readAll(entry.path()) == readAll(committed))
            << name << " differs from what the generator draws; run hopla-artgen resources";
    }
    for (const auto& entry : fs::directory_iterator(HOPLA_RESOURCE_DIR)) {
        const std::string name = entry.path().filename().string();
        if (entry.path().extension() == ".bmp" || entry.path().extension() == ".png") {
            EXPECT_TRUE(generated.count(name)) << name << " is committed but no longer drawn";
        }
    }
    fs::remove_all(out);
}

TEST(Artwork, MenuIconsComeInEverySizeAndShowTheWindowIcon) {
    const auto icon = findResource(ResourceType::Icon, platform::hoplaIconId);
    ASSERT_TRUE(icon.has_value());
    const Picture window(*icon, 14); // past the file header
    for (int size : {16, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(size);
        std::vector<std::uint32_t> pixels;
        int width = 0, height = 0;
        std::string error;
        const fs::path png =
            fs::path(HOPLA_RESOURCE_DIR) / ("hopla_icon_" + std::to_string(size) + ".png");
        ASSERT_TRUE(softgpu::readPng(png.string(), pixels, width, height, &error)) << error;
        ASSERT_EQ(width, size);
        ASSERT_EQ(height, size);
        // The same picture at every size: the middle of the ball, and a corner of the frame.
        const auto at = [&](int x32, int y32) {
            const std::uint32_t p = pixels[std::size_t(y32 * size / 32) * size + x32 * size / 32];
            return Rgb{int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
        };
        for (const auto& [x, y] : {std::pair(16, 15), std::pair(1, 1), std::pair(30, 30)}) {
            const Rgb big = at(x, y);
            const Rgb small = window.at(x, y);
            const int close =
                std::abs(big.r - small.r) + std::abs(big.g - small.g) + std::abs(big.b - small.b);
            EXPECT_LT(close, size == 32 ? 1 : 120) << x << ", " << y;
        }
    }
}
