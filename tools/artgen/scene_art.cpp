// The ball and the lights round it: the marbled surface, its halo, the floor spot, the
// pointer's cross-hair and the window icon.
#include "tools/artgen/noise.h"
#include "tools/artgen/pictures.h"

#include <algorithm>
#include <cmath>

namespace artgen {

namespace {

// The marble at a point of the unit sphere. Worked out in three dimensions, so the picture wraps
// round the ball without a seam and is not pinched at the poles.
Shade marbleAt(double x, double y, double z) {
    const double s = 1.3;
    const double turbulence = fractalNoise(x * s + 11.3, y * s + 7.1, z * s + 3.7, 2001, 3);
    const double bands = sineTurns(0.7 * x + 0.45 * y - 0.3 * z + 1.9 * turbulence);
    const double region = fractalNoise(x * 0.9 + 5.0, y * 0.9 + 1.0, z * 0.9 + 9.0, 2101, 2);

    const Shade deepBlue{18, 26, 110};
    const Shade blue{46, 78, 220};
    const Shade violet{132, 58, 214};
    const Shade lavender{206, 184, 255};

    Shade c = mix(deepBlue, blue, 0.5 + 0.5 * bands);
    c = mix(c, mix(Shade{58, 22, 118}, violet, 0.5 + 0.5 * bands), smoothstep(0.36, 0.64, region));
    // Bright veins where the bands change over, soft at their edges.
    const double vein = smoothstep(0.70, 0.96, 1.0 - std::abs(bands));
    c = mix(c, lavender, vein * vein * 0.9);
    // Clouds in the stone, broad enough not to flicker as the ball spins.
    const double cloud = fractalNoise(x * 2.2 + 1.0, y * 2.2 + 2.0, z * 2.2 + 3.0, 2201, 2);
    return c * (0.84 + 0.32 * cloud);
}

double distanceFrom(int x, int y, double cx, double cy) {
    const double dx = x + 0.5 - cx;
    const double dy = y + 0.5 - cy;
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Image drawBall() {
    // Columns go once round the ball, rows from the top pole to the bottom one. Each texel
    // averages nine samples, so the thin veins stay smooth lines rather than broken dots.
    Image image(64, 64);
    for (int row = 0; row < 64; ++row) {
        for (int col = 0; col < 64; ++col) {
            Shade sum;
            for (int sy = 0; sy < 3; ++sy) {
                const double polar = (row + (sy + 0.5) / 3.0) / 128.0; // turns from the top pole
                const double ring = sineTurns(polar);
                const double height = cosineTurns(polar);
                for (int sx = 0; sx < 3; ++sx) {
                    const double around = (col + (sx + 0.5) / 3.0) / 64.0;
                    const Shade c =
                        marbleAt(ring * cosineTurns(around), height, ring * sineTurns(around));
                    // Darker towards the poles, which stay at the top and bottom as the ball
                    // spins: this keeps the ball looking round.
                    sum = sum + c * ((0.62 + 0.38 * ring) / 9.0);
                }
            }
            image.set(col, row, sum);
        }
    }
    image.liftBlack();
    return image;
}

Image drawShine() {
    // Drawn round the ball so that the ball's edge falls on the brightest part of the ring;
    // stronger towards the top left, where the light comes from.
    Image image(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double r = distanceFrom(x, y, 16.0, 16.0);
            if (r >= 15.5) continue;
            const double dx = x + 0.5 - 16.0;
            const double dy = y + 0.5 - 16.0;
            const double toLight = r > 0.0 ? -(dx + dy) / (r * 1.41421356) : 0.0;
            const double band = clamp01(1.0 - ((r - 11.3) / 2.8) * ((r - 11.3) / 2.8));
            const double halo = (1.0 - smoothstep(11.0, 15.5, r)) * smoothstep(8.0, 11.0, r);
            const double strength = (band * band * 0.8 + halo * 0.3) * (0.55 + 0.45 * toLight);
            image.set(x, y, Shade{46, 78, 170} * strength);
        }
    }
    return image;
}

Image drawGlow() {
    // A soft ring of light round a dimmer middle. Over the close key the middle falls on the
    // cross, which stays dark against the lit key instead of washing out; under the ball it
    // reads as a pool of light with a brighter rim.
    Image image(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double r = distanceFrom(x, y, 16.0, 16.0) / 15.5;
            if (r >= 1.0) continue;
            const double middle = 0.26 * (1.0 - r * r);
            const double band = clamp01(1.0 - ((r - 0.74) / 0.3) * ((r - 0.74) / 0.3));
            const double edge = 1.0 - r * r * r * r;
            image.set(x, y,
                      Shade{255, 255, 255} * std::min(1.0, middle + 0.6 * band * band * edge));
        }
    }
    return image;
}

Image drawPointer() {
    // Centred on texel (15, 14), the one the game puts on the pointer's hot spot.
    Image image(32, 32);
    const double cx = 15.5;
    const double cy = 14.5;
    const Shade white{255, 255, 255};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double r = distanceFrom(x, y, cx, cy);
            image.blend(x, y, white, clamp01(1.15 - std::abs(r - 8.5)));
        }
    }
    for (int d = 3; d <= 13; ++d) {
        image.set(15 + d, 14, white);
        image.set(15 - d, 14, white);
        image.set(15, 14 + d, white);
        image.set(15, 14 - d, white);
    }
    image.set(15, 14, white);
    return image;
}

namespace {

// The icon's picture on a square `span` units wide whose middle 32 units are the icon's grid:
// the picture fills the square when span is 32, and sits in its middle with the box's inside
// round it when span is larger. Only the framed picture has the metal frame at its edge.
Image drawIconPicture(int size, double span, bool framed) {
    // The game in a nutshell: the marbled ball glowing in the dark metal box. Drawn on a 32-unit
    // grid whatever the size, so every size shows the same picture; at 32 pixels a unit is a
    // pixel.
    Image image(size, size);
    const double unit = span / size;
    const double inset = (span - 32.0) / 2.0;
    const double cx = 16.0;
    const double cy = 14.5;
    const double radius = 10.5;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) * unit - inset;
            const double v = (y + 0.5) * unit - inset;
            // How many units in from the nearest side, whole at 32 pixels.
            const double edge = std::min(std::min(u, v), std::min(32.0 - u, 32.0 - v)) - 0.5;
            Shade c = mix(Shade{18, 22, 34}, Shade{30, 36, 56}, clamp01(v / 32.0));
            if (framed && edge < 3.0) c = frameMetal(int(std::floor(edge * 3.0)) + 1) * 0.85;
            // The ball's light on the floor and the walls.
            const double fx = (u - cx) / 11.0;
            const double fy = (v - 27.0) / 3.0;
            c = c + Shade{40, 70, 170} * (clamp01(1.0 - (fx * fx + fy * fy)) * 0.8);
            const double r = std::sqrt((u - cx) * (u - cx) + (v - cy) * (v - cy));
            c = c + Shade{30, 50, 130} * (clamp01(1.0 - std::abs(r - radius - 1.2) / 2.2) * 0.6);
            image.set(x, y, c);
        }
    }
    // The ball, nine samples to a pixel so its edge and veins stay smooth at every size.
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Shade sum;
            double covered = 0.0;
            for (int sy = 0; sy < 3; ++sy) {
                for (int sx = 0; sx < 3; ++sx) {
                    const double nx = ((x + (sx + 0.5) / 3.0) * unit - inset - cx) / radius;
                    const double ny = ((y + (sy + 0.5) / 3.0) * unit - inset - cy) / radius;
                    const double rr = nx * nx + ny * ny;
                    if (rr >= 1.0) continue;
                    const double nz = std::sqrt(1.0 - rr);
                    // Lit from the top left and the front, with a white glint.
                    const double lambert = clamp01(-0.45 * nx - 0.55 * ny + 0.7 * nz);
                    const double hx = nx + 0.38;
                    const double hy = ny + 0.42;
                    const double glint = clamp01(1.0 - (hx * hx + hy * hy) / 0.06);
                    Shade c = marbleAt(nx, -ny, nz) * (0.25 + 1.0 * lambert);
                    sum = sum + mix(c, Shade{255, 255, 255}, glint * 0.9);
                    covered += 1.0;
                }
            }
            if (covered > 0.0) image.blend(x, y, sum * (1.0 / covered), covered / 9.0);
        }
    }
    image.liftBlack();
    return image;
}

} // namespace

Image drawIcon(int size) {
    return drawIconPicture(size, 32.0, true);
}

Image drawMaskableIcon(int size) {
    // A phone crops it to a circle or a rounded square of its own choosing and only the middle
    // 80 per cent is sure to show: so the box's inside fills the whole square, without a frame
    // the crop would cut into, and the picture sits in that middle part.
    return drawIconPicture(size, 40.0, false);
}

} // namespace artgen
