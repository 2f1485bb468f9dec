// The inside of the box: four dark riveted metal plates, with blue light glowing through the
// gaps between them. The game draws this picture on all five walls, so it tiles: the gaps lie on
// the picture's borders as well as across its middle, and the box's edges glow too.
#include "tools/artgen/noise.h"
#include "tools/artgen/pictures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace artgen {

namespace {

constexpr int wallSize = 128;
constexpr double plateSize = 64.0;

// Position inside its plate, 0 to 64, with the gaps at 0 and 64.
double inPlate(int v) {
    return std::fmod(v + 0.5, plateSize);
}

// Brushed dark steel, each plate a slightly different sheet.
Shade plateMetal(int x, int y, int plate) {
    static const std::array<double, 4> tone{{1.0, 0.92, 0.96, 1.05}};
    const double grain = fractalNoise(x / 10.0, y / 1.4, plate * 3.0, 2020, 3, 0, 0);
    const double cloud = fractalNoise(x / 24.0, y / 24.0, plate * 5.0 + 1.0, 2021, 2);
    Shade c{40, 45, 58};
    c = c * (tone[std::size_t(plate)] * (0.86 + 0.22 * cloud + 0.12 * (grain - 0.5)));
    return c;
}

// Fine scratches catch a little light; a fixed list, the same on every run.
std::vector<std::array<double, 4>> scratches() {
    Random random(0x401A);
    std::vector<std::array<double, 4>> out;
    for (int i = 0; i < 14; ++i) {
        const double x = random.between(12.0, 116.0);
        const double y = random.between(12.0, 116.0);
        const double length = random.between(5.0, 16.0);
        const double turn = random.between(0.0, 0.5);
        out.push_back({x, y, x + length * cosineTurns(turn), y + length * sineTurns(turn)});
    }
    return out;
}

double scratchCoverage(double px, double py, const std::vector<std::array<double, 4>>& lines) {
    double best = 0.0;
    for (const auto& l : lines) {
        const double vx = l[2] - l[0];
        const double vy = l[3] - l[1];
        const double t = clamp01(((px - l[0]) * vx + (py - l[1]) * vy) / (vx * vx + vy * vy));
        const double dx = px - (l[0] + t * vx);
        const double dy = py - (l[1] + t * vy);
        best = std::max(best, clamp01(0.7 - std::sqrt(dx * dx + dy * dy)));
    }
    return best;
}

} // namespace

Image drawWall() {
    Image image(wallSize, wallSize);
    const auto lines = scratches();
    for (int y = 0; y < wallSize; ++y) {
        for (int x = 0; x < wallSize; ++x) {
            const double u = inPlate(x);
            const double v = inPlate(y);
            const int plate = (x >= 64 ? 1 : 0) + (y >= 64 ? 2 : 0);
            const double toSide = std::min(u, plateSize - u);
            const double toEnd = std::min(v, plateSize - v);
            const double toGap = std::min(toSide, toEnd);

            Shade c = plateMetal(x, y, plate);
            c = c + Shade{14, 15, 18} * scratchCoverage(x + 0.5, y + 0.5, lines);

            // The sunken middle of each plate catches the light at its top left.
            if (toGap > 10.0) {
                c = c * (1.12 - 0.24 * (u + v) / 128.0);
                // Two soft diagonal sheens, as polished steel reflects the room.
                const double broad = 1.0 - std::min(std::abs(u + v - 46.0) / 9.0, 1.0);
                const double thin = 1.0 - std::min(std::abs(u + v - 62.0) / 3.0, 1.0);
                c = c + Shade{7, 9, 14} * (broad * broad + 0.7 * thin * thin);
            }
            // An engraved line frames the middle of each plate.
            if (toGap == 9.5) c = c * 0.55;
            if (toGap == 10.5) c = c + Shade{16, 18, 24};
            // The plate's rim: lit on its top and left, shaded on its bottom and right.
            if (toGap < 2.0) {
                const bool lit = (toSide < toEnd) ? u < 32.0 : v < 32.0;
                c = lit ? c + Shade{34, 38, 50} : c * 0.5;
            }
            // Light from the gaps spills across the plate.
            const double spill = 1.0 - smoothstep(0.5, 9.0, toGap);
            c = c + Shade{8, 36, 100} * (spill * spill);
            // The gap itself: a glowing blue seam, hottest where two gaps cross.
            if (toGap < 1.0) {
                const double crossing = 1.0 - smoothstep(0.5, 4.0, std::max(toSide, toEnd));
                c = mix(Shade{36, 92, 200}, Shade{126, 186, 250}, crossing);
            }
            image.set(x, y, c);
        }
    }
    // Rivets along every plate's rim: at its corners and half way along each side.
    for (int plate = 0; plate < 4; ++plate) {
        const double left = (plate % 2) * plateSize;
        const double top = (plate / 2) * plateSize;
        for (double ry : {5.0, 32.0, 59.0}) {
            for (double rx : {5.0, 32.0, 59.0}) {
                if (rx == 32.0 && ry == 32.0) continue;
                drawRivet(image, left + rx, top + ry, 2.6, Shade{22, 25, 34}, Shade{140, 152, 180});
            }
        }
    }
    image.liftBlack();
    return image;
}

} // namespace artgen
