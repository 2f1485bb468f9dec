// The pictures, sounds and icon compiled into the program: every picture is there in the form
// the game's loader reads, regenerating the artwork reproduces the committed files byte for byte,
// and the pictures keep the game's rule that pure black is transparent.
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
    bool black() const { return r == 0 && g == 0 && b == 0; }
};

// A picture as the game's loader reads it, from the bytes at its 40-byte info header: rows top
// first, each pixel blue, green, red.
struct Picture {
    Picture(const platform::Resource& res, std::size_t header) {
        if (!graphics::loadBitmapBytes(image, res.bytes + header, res.size - header))
            throw std::runtime_error("a picture the game can't load");
    }
    int width() const { return image.info.biWidth; }
    int height() const { return image.info.biHeight; }
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

Picture picture(int id) {
    const auto res = findResource(ResourceType::Bitmap, id);
    if (!res) throw std::runtime_error("missing bitmap " + std::to_string(id));
    return Picture(*res, 0);
}

int countBlack(const Picture& view, int x0, int y0, int x1, int y1) {
    int black = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) black += view.at(x, y).black() ? 1 : 0;
    return black;
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

TEST(Artwork, SurfacesThatMustShowHaveNoTransparentPixel) {
    // The ball and the walls are covered by their pictures: a black texel would be a hole. The
    // frame: the vertical bar everywhere, the horizontal bar in its upper half only, the corner
    // along its two arms only. The name plates and the close key are solid inside their rounded
    // outlines.
    struct Area {
        int id, x0, y0, x1, y1, black;
    };
    const Area areas[] = {
        {2001, 0, 0, 64, 64, 0},  {2020, 0, 0, 128, 128, 0},   {2005, 0, 0, 16, 16, 0},
        {2004, 0, 0, 32, 16, 0},  {2004, 0, 16, 32, 32, 512},  {2003, 0, 0, 32, 16, 0},
        {2003, 0, 16, 16, 32, 0}, {2003, 16, 16, 32, 32, 256}, {2011, 3, 2, 13, 14, 0},
        {2012, 3, 2, 32, 18, 0},  {2013, 0, 2, 32, 18, 0},     {2014, 0, 2, 32, 18, 0},
        {2015, 0, 2, 29, 18, 0},  {2016, 3, 2, 32, 18, 0},     {2017, 0, 2, 29, 18, 0},
    };
    for (const Area& a : areas)
        EXPECT_EQ(countBlack(picture(a.id), a.x0, a.y0, a.x1, a.y1), a.black) << a.id;
    const auto edge = picture(2019).at(0, 0);
    EXPECT_EQ(edge.r, 0);
    EXPECT_EQ(edge.g, 0);
    EXPECT_EQ(edge.b, 8);
}

TEST(Artwork, SpritesStandOnATransparentBackground) {
    for (int id : {2002, 2006, 2007, 2008, 2009, 2010, 2018, 2021, 2025, 2030}) {
        const Picture view = picture(id);
        const int w = view.width();
        const int h = view.height();
        EXPECT_TRUE(view.at(0, 0).black() && view.at(w - 1, 0).black() &&
                    view.at(0, h - 1).black() && view.at(w - 1, h - 1).black())
            << id << " has a visible corner";
        EXPECT_LT(countBlack(view, 0, 0, w, h), w * h) << id << " shows nothing";
    }
}

TEST(Artwork, TheTenDigitsAreTenDifferentPictures) {
    for (int a = 0; a < 10; ++a) {
        for (int b = a + 1; b < 10; ++b) {
            const Picture da = picture(2021 + a);
            const Picture db = picture(2021 + b);
            int differing = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    differing += da.at(x, y).black() != db.at(x, y).black() ? 1 : 0;
            EXPECT_GE(differing, 6) << a << " and " << b << " look alike";
        }
    }
}
