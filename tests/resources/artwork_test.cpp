// The artwork: regenerating it reproduces the committed files byte for byte, and the pictures
// keep the game's rule that pure black is transparent.
#include "platform/resources.h"
#include "tests/resources/bitmap_view.h"

#include <gtest/gtest.h>

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
using hopla_test::BitmapView;
using platform::findResource;
using platform::ResourceType;

namespace {

std::vector<char> readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

BitmapView picture(int id) {
    const auto res = findResource(ResourceType::Bitmap, id);
    if (!res) throw std::runtime_error("missing bitmap " + std::to_string(id));
    return BitmapView{*res};
}

int countBlack(const BitmapView& view, int x0, int y0, int x1, int y1) {
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
        if (entry.path().extension() == ".bmp") {
            EXPECT_TRUE(generated.count(name)) << name << " is committed but no longer drawn";
        }
    }
    EXPECT_EQ(generated.size(), 31u); // thirty pictures and the icon
    fs::remove_all(out);
}

TEST(Artwork, SurfacesThatMustShowHaveNoTransparentPixel) {
    // The ball and the walls are covered by their pictures: a black texel would be a hole.
    const BitmapView ball = picture(2001);
    EXPECT_EQ(countBlack(ball, 0, 0, 64, 64), 0);
    const BitmapView wall = picture(2020);
    EXPECT_EQ(countBlack(wall, 0, 0, 128, 128), 0);
    // The frame: the vertical bar everywhere, the horizontal bar in its upper half only, the
    // corner along its two arms only.
    EXPECT_EQ(countBlack(picture(2005), 0, 0, 16, 16), 0);
    const BitmapView bar = picture(2004);
    EXPECT_EQ(countBlack(bar, 0, 0, 32, 16), 0);
    EXPECT_EQ(countBlack(bar, 0, 16, 32, 32), 32 * 16);
    const BitmapView corner = picture(2003);
    EXPECT_EQ(countBlack(corner, 0, 0, 32, 16), 0);
    EXPECT_EQ(countBlack(corner, 0, 16, 16, 32), 0);
    EXPECT_EQ(countBlack(corner, 16, 16, 32, 32), 16 * 16);
    // The name plates and the close key are solid inside their rounded outlines.
    for (int id = 2011; id <= 2017; ++id) {
        const BitmapView plate = picture(id);
        const int left = (id == 2012 || id == 2016 || id == 2011) ? 3 : 0;
        const int right =
            (id == 2015 || id == 2017 || id == 2011) ? plate.width() - 3 : plate.width();
        EXPECT_EQ(countBlack(plate, left, 2, right, plate.height() - 2), 0) << id;
    }
    const auto edge = picture(2019).at(0, 0);
    EXPECT_EQ(edge.r, 0);
    EXPECT_EQ(edge.g, 0);
    EXPECT_EQ(edge.b, 8);
}

TEST(Artwork, SpritesStandOnATransparentBackground) {
    for (int id : {2002, 2006, 2007, 2008, 2009, 2010, 2018, 2021, 2025, 2030}) {
        const BitmapView view = picture(id);
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
            const BitmapView da = picture(2021 + a);
            const BitmapView db = picture(2021 + b);
            int differing = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    differing += da.at(x, y).black() != db.at(x, y).black() ? 1 : 0;
            EXPECT_GE(differing, 6) << a << " and " << b << " look alike";
        }
    }
}
