// hopla-artgen: draws every picture of the game and the window icon, and writes them as BMP files
// into the folder given (the committed ones live in resources/); and the icon that desktop menus
// and the web page's manifest show, as PNG files of the sizes they look for.
#include "platform/softgpu/png_writer.h"
#include "tools/artgen/pictures.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

using artgen::Image;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argc > 0 ? argv[0] : "hopla-artgen");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "cannot make %s: %s\n", folder.c_str(), error.message().c_str());
        return 1;
    }

    std::vector<std::pair<std::string, Image>> pictures;
    // A picture in pieces, or a series such as the digits, is numbered on from its first id.
    auto addSeries = [&](int firstId, const std::string& stem, const std::vector<Image>& images) {
        for (std::size_t i = 0; i < images.size(); ++i)
            pictures.emplace_back(std::to_string(firstId + int(i)) + "_" + stem + std::to_string(i),
                                  images[i]);
    };
    pictures.emplace_back("2001_ball", artgen::drawBall());
    pictures.emplace_back("2002_shine", artgen::drawShine());
    pictures.emplace_back("2003_corner", artgen::drawCorner());
    pictures.emplace_back("2004_bar_horizontal", artgen::drawHorizontalBar());
    pictures.emplace_back("2005_bar_vertical", artgen::drawVerticalBar());
    pictures.emplace_back("2006_label_best", artgen::drawBestLabel());
    addSeries(2007, "label_score", artgen::drawScoreLabel());
    pictures.emplace_back("2010_glow", artgen::drawGlow());
    pictures.emplace_back("2011_close", artgen::drawCloseButton());
    addSeries(2012, "banner", artgen::drawBanner());
    addSeries(2016, "title", artgen::drawTitle());
    pictures.emplace_back("2018_pointer", artgen::drawPointer());
    pictures.emplace_back("2019_edge", artgen::drawEdgePixel());
    pictures.emplace_back("2020_wall", artgen::drawWall());
    std::vector<Image> digits;
    for (int d = 0; d < 10; ++d) digits.push_back(artgen::drawDigit(d));
    addSeries(2021, "digit", digits);
    pictures.emplace_back("hopla_icon", artgen::drawIcon(32));

    int failures = 0;
    for (const auto& [name, image] : pictures) {
        const std::filesystem::path path = folder / (name + ".bmp");
        if (!image.writeBmp(path.string())) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            ++failures;
        }
    }
    auto writeIcon = [&](const std::string& name, const Image& icon) {
        std::vector<std::uint32_t> pixels;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                const artgen::Colour c = icon.at(x, y);
                pixels.push_back(std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b);
            }
        }
        const std::filesystem::path path = folder / (name + ".png");
        std::string why;
        if (!softgpu::writePng(path.string(),
                               {pixels.data(), icon.width(), icon.height(), icon.width() * 4},
                               &why)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), why.c_str());
            ++failures;
        }
    };
    // The desktops' menus take 16 to 256; the web page's manifest 192 and 512, and the
    // cropped icon of a phone's home screen.
    for (int size : {16, 32, 48, 64, 128, 256, 192, 512})
        writeIcon("hopla_icon_" + std::to_string(size), artgen::drawIcon(size));
    writeIcon("hopla_icon_maskable_512", artgen::drawMaskableIcon(512));
    return failures == 0 ? 0 : 1;
}
