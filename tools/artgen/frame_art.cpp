// The metal frame round the window: bars, corners, the close key and the dark edge line.
#include "tools/artgen/noise.h"
#include "tools/artgen/pictures.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace artgen {

Shade frameMetal(int depth) {
    // A rolled bar: dark outer lip, bright bevel, a brushed face that darkens inwards, a groove
    // and a shadowed inner lip where the frame meets the box.
    static const std::array<Shade, 16> profile{{
        {22, 24, 32},
        {52, 56, 68},
        {172, 178, 192},
        {208, 212, 224},
        {184, 189, 202},
        {166, 171, 185},
        {155, 160, 174},
        {147, 152, 166},
        {139, 144, 158},
        {131, 136, 150},
        {121, 126, 140},
        {60, 64, 76},
        {156, 161, 176},
        {112, 116, 130},
        {80, 84, 98},
        {34, 37, 48},
    }};
    return profile[std::size_t(std::clamp(depth, 0, 15))];
}

void drawRivet(Image& image, double cx, double cy, double radius, Shade dark, Shade light) {
    const int x0 = int(std::floor(cx - radius - 2.0));
    const int y0 = int(std::floor(cy - radius - 2.0));
    const int x1 = int(std::ceil(cx + radius + 2.0));
    const int y1 = int(std::ceil(cy + radius + 2.0));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx;
            const double dy = y + 0.5 - cy;
            const double r = std::sqrt(dx * dx + dy * dy);
            // A soft shadow falls to the bottom right of the head.
            const double sx = dx - 0.8;
            const double sy = dy - 0.8;
            const double shadowR = std::sqrt(sx * sx + sy * sy);
            image.blend(x, y, Shade{8, 9, 14}, 0.55 * clamp01(radius + 0.6 - shadowR));
            // The dome: bright towards the light, dark away from it, a hot spot near the top left.
            const double facing = clamp01(0.5 - (dx + dy) / (2.4 * radius));
            const double hx = dx + radius * 0.35;
            const double hy = dy + radius * 0.35;
            const double spot = clamp01(1.0 - std::sqrt(hx * hx + hy * hy) / (radius * 0.55));
            Shade head = mix(dark, light, facing * facing);
            head = mix(head, Shade{250, 252, 255}, spot * 0.8);
            image.blend(x, y, head, clamp01(radius + 0.5 - r));
        }
    }
}

namespace {

// The metal face of the frame at the given distance from the window's outer edge, or nothing
// (black, transparent) inside the box.
void paintProfile(Image& image, int x, int y, int depth) {
    if (depth >= 0 && depth < 16) image.set(x, y, frameMetal(depth));
}

} // namespace

Image drawCorner() {
    Image image(32, 32);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            // Mitred like a picture frame: each point takes the profile of the nearer edge.
            const int depth = std::min(x, y);
            if (depth >= 16) continue;
            paintProfile(image, x, y, depth);
            // The mitre joint itself, a fine dark seam along the diagonal.
            if (x == y && depth >= 2 && depth < 15)
                image.set(x, y, toColour(frameMetal(depth) * 0.62));
        }
    }
    // The corner piece is fastened to both bars.
    const Shade dark{54, 58, 70};
    const Shade light{226, 230, 240};
    drawRivet(image, 26.5, 7.0, 2.6, dark, light);
    drawRivet(image, 7.0, 26.5, 2.6, dark, light);
    return image;
}

Image drawHorizontalBar() {
    // The game stretches this bar twelve times along its length, so every column is the same.
    Image image(32, 32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) paintProfile(image, x, y, y);
    return image;
}

Image drawVerticalBar() {
    // Stretched twentyfold along its length: every row is the same.
    Image image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) paintProfile(image, x, y, x);
    return image;
}

namespace {

// Distance from the point to the segment from a to b.
double segmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    const double vx = bx - ax;
    const double vy = by - ay;
    const double t = clamp01(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy));
    const double dx = px - (ax + t * vx);
    const double dy = py - (ay + t * vy);
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

Image drawCloseButton() {
    Image image(16, 16);
    const double radius = 3.0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            // Rounded square key: distance inside its outline.
            const double qx = std::max(std::abs(px - 8.0) - (8.0 - radius), 0.0);
            const double qy = std::max(std::abs(py - 8.0) - (8.0 - radius), 0.0);
            const double outside = std::sqrt(qx * qx + qy * qy) - radius;
            const double coverage = clamp01(0.5 - outside);
            if (coverage <= 0.0) continue;
            const double inset = -outside;
            Shade key = mix(Shade{196, 198, 208}, Shade{138, 141, 152}, py / 16.0);
            if (inset < 1.0) {
                key = Shade{30, 32, 42}; // outline
            } else if (inset < 2.0) {
                // Raised bevel: lit top and left, shaded bottom and right.
                key = (px + py < 16.0) ? Shade{232, 234, 242} : Shade{92, 95, 108};
            }
            image.blend(x, y, key, coverage);
        }
    }
    // The cross, drawn as two anti-aliased strokes through the centre.
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double d = std::min(segmentDistance(px, py, 4.6, 4.6, 11.4, 11.4),
                                      segmentDistance(px, py, 11.4, 4.6, 4.6, 11.4));
            image.blend(x, y, Shade{26, 28, 40}, clamp01(1.55 - d));
        }
    }
    return image;
}

Image drawEdgePixel() {
    Image image(1, 1);
    image.set(0, 0, Colour{0, 0, 8});
    return image;
}

} // namespace artgen
