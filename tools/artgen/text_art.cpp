// Words and numbers: the score labels and digits (white, added onto the back wall by the game)
// and the name plates in the frame (dark letters engraved in grey metal).
#include "tools/artgen/font.h"
#include "tools/artgen/noise.h"
#include "tools/artgen/pictures.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace artgen {

namespace {

// White that cools a little towards the foot of the letters, as if lit from above.
Shade glowInk(int row, int top, int bottom) {
    const double t = double(row - top) / double(std::max(bottom - top, 1));
    return mix(Shade{255, 255, 255}, Shade{198, 212, 255}, t);
}

void writeGlowing(Image& image, const Font& font, std::string_view text, int left, int baseline,
                  int top) {
    drawText(font, text, left, baseline,
             [&](int x, int y) { image.set(x, y, glowInk(y, top, baseline)); });
}

std::vector<Image> cut(const Image& strip, int pieces) {
    std::vector<Image> out;
    for (int i = 0; i < pieces; ++i) out.push_back(strip.crop(i * 32, 0, 32, strip.height()));
    return out;
}

// A grey metal name plate with rounded corners and the text engraved in it.
Image namePlate(int width, std::string_view text, bool screws) {
    Image image(width, 20);
    const double radius = 3.0;
    const double halfW = width / 2.0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < width; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double qx = std::max(std::abs(px - halfW) - (halfW - radius), 0.0);
            const double qy = std::max(std::abs(py - 10.0) - (10.0 - radius), 0.0);
            const double outside = std::sqrt(qx * qx + qy * qy) - radius;
            const double coverage = clamp01(0.5 - outside);
            if (coverage <= 0.0) continue;
            const double inset = -outside;
            // Brushed along its length, lighter at the top.
            const double grain = fractalNoise(px / 9.0, py * 1.3, 0.0, 71, 3) - 0.5;
            Shade face = mix(Shade{192, 195, 206}, Shade{148, 151, 163}, py / 20.0);
            face = face + Shade{1, 1, 1} * (grain * 14.0);
            if (inset < 1.0) {
                face = Shade{30, 32, 42};
            } else if (inset < 2.0) {
                // Raised rim: lit along the top and left, shaded along the bottom and right.
                const double toLitSide = std::min(py, px);
                const double toDarkSide = std::min(20.0 - py, width - px);
                face = toLitSide <= toDarkSide ? Shade{228, 231, 240} : Shade{96, 99, 112};
            }
            image.blend(x, y, face, coverage);
        }
    }
    const int left = (width - textWidth(plateFont(), text)) / 2;
    // Engraved: the lower lip of each groove catches the light.
    drawText(plateFont(), text, left, 15, [&](int x, int y) {
        image.set(x, y + 1, Colour{222, 225, 235});
    });
    drawText(plateFont(), text, left, 15, [&](int x, int y) {
        image.set(x, y, Colour{30, 32, 46});
    });
    if (screws) {
        drawRivet(image, 7.0, 10.0, 2.2, Shade{64, 67, 80}, Shade{236, 238, 246});
        drawRivet(image, width - 7.0, 10.0, 2.2, Shade{64, 67, 80}, Shade{236, 238, 246});
    }
    return image;
}

} // namespace

Image drawBestLabel() {
    // Set so that its letters stand on the same line as the best score's digits beside it.
    Image image(32, 24);
    writeGlowing(image, labelFont(), "hs", 12, 20, 7);
    return image;
}

std::vector<Image> drawScoreLabel() {
    // Right-aligned: the score's first digit follows the word, a few pixels to its right.
    Image strip(96, 20);
    const int right = 84;
    writeGlowing(strip, labelFont(), "score", right - textWidth(labelFont(), "score"), 16, 7);
    return cut(strip, 3);
}

Image drawDigit(int digit) {
    Image image(16, 16);
    const char letter[2] = {char('0' + digit), '\0'};
    writeGlowing(image, digitFont(), letter, 3, 14, 1);
    return image;
}

std::vector<Image> drawBanner() {
    return cut(namePlate(128, "KEEP IT UP!", true), 4);
}

std::vector<Image> drawTitle() {
    return cut(namePlate(64, "HOPLA", false), 2);
}

} // namespace artgen
