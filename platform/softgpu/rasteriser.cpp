// Edge-function rasterisation. Pixel centres sit at whole screen coordinates, so pixel (x, y)
// belongs to a triangle when the point (x, y) is inside it. Vertices are snapped to 1/256
// pixel and every edge test is done in 64-bit integers, so the answer for a pixel on a shared
// edge is exact and the same for both triangles.
#include "platform/softgpu/rasteriser.h"

#include "platform/softgpu/fixed_point.h"

#include <algorithm>

namespace softgpu {

namespace {

// One edge from a to b of a clockwise triangle. Its edge function
//   E(p) = dx * (p.y - a.y) - dy * (p.x - a.x)
// is positive inside the triangle, zero on the edge and negative outside.
struct Edge {
    std::int64_t dx, dy, ax, ay;
    // The top-left rule: a pixel centre exactly on an edge belongs to the triangle only if
    // that edge is a left edge (the inside lies to its right, so it runs upwards: dy < 0) or
    // a top edge (horizontal with the inside below it: dy == 0, dx > 0). Of two triangles
    // sharing an edge exactly one sees it as top or left, so the pixel is drawn exactly once.
    // The rule is applied by asking E >= 1 instead of E >= 0 on the other edges.
    std::int64_t bias;

    Edge(const ScreenVertex& a, const ScreenVertex& b)
        : dx(std::int64_t{b.x} - a.x), dy(std::int64_t{b.y} - a.y), ax(a.x), ay(a.y),
          bias((dy < 0 || (dy == 0 && dx > 0)) ? 0 : 1) {}

    // Narrows [first, last] to the pixels of row y (in whole pixels) inside this edge.
    // Along a row E(x) = rowValue - dy * 256 * x, so each edge bounds x from one side.
    void clampSpan(std::int64_t rowY, std::int64_t& first, std::int64_t& last) const {
        const std::int64_t rowValue = dx * (rowY * subpixelScale - ay) + dy * ax - bias;
        const std::int64_t slope = dy * subpixelScale;
        if (dy < 0) {
            first = std::max(first, ceilDiv(-rowValue, -slope));
        } else if (dy > 0) {
            last = std::min(last, floorDiv(rowValue, slope));
        } else if (rowValue < 0) {
            last = first - 1;
        }
    }
};

} // namespace

std::int64_t doubledArea(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    return (std::int64_t{b.x} - a.x) * (std::int64_t{c.y} - a.y) -
           (std::int64_t{c.x} - a.x) * (std::int64_t{b.y} - a.y);
}

std::uint64_t rasteriseTriangle(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                                const PixelState& pixels) {
    const std::int64_t area = doubledArea(a, b, c);
    if (area == 0) return 0;
    // Work on the clockwise order, so that inside is where all edge functions are positive.
    const ScreenVertex& second = area > 0 ? b : c;
    const ScreenVertex& third = area > 0 ? c : b;
    const Edge edges[3] = {Edge(a, second), Edge(second, third), Edge(third, a)};

    // Rows whose centres lie within the triangle's height, cut to the shown part; columns
    // cut to the screen, since a span's pixels are worked out from its start on the screen.
    const std::int32_t top = std::min({a.y, b.y, c.y});
    const std::int32_t bottom = std::max({a.y, b.y, c.y});
    const std::int32_t left = std::min({a.x, b.x, c.x});
    const std::int32_t right = std::max({a.x, b.x, c.x});
    const std::int64_t firstRow =
        std::max<std::int64_t>(pixels.shownTop, ceilDiv(top, subpixelScale));
    const std::int64_t lastRow =
        std::min<std::int64_t>(pixels.shownBottom - 1, floorDiv(bottom, subpixelScale));
    const std::int64_t firstColumn = std::max<std::int64_t>(0, ceilDiv(left, subpixelScale));
    const std::int64_t lastColumn =
        std::min<std::int64_t>(pixels.width - 1, floorDiv(right, subpixelScale));
    if (firstRow > lastRow || firstColumn > lastColumn) return 0;
    if (lastColumn < pixels.shownLeft || firstColumn >= pixels.shownRight) return 0;

    const TriangleShading shading = prepareTriangle(pixels, a, second, third);
    std::uint64_t covered = 0;
    for (std::int64_t y = firstRow; y <= lastRow; ++y) {
        std::int64_t first = firstColumn;
        std::int64_t last = lastColumn;
        for (const Edge& edge : edges) edge.clampSpan(y, first, last);
        const std::int64_t shownFirst = std::max<std::int64_t>(first, pixels.shownLeft);
        const std::int64_t shownEnd = std::min<std::int64_t>(last + 1, pixels.shownRight);
        if (shownFirst >= shownEnd) continue;
        shadeSpan(pixels, shading, static_cast<int>(y), static_cast<int>(first),
                  static_cast<int>(shownFirst), static_cast<int>(shownEnd));
        covered += static_cast<std::uint64_t>(shownEnd - shownFirst);
    }
    return covered;
}

} // namespace softgpu
