#include "platform/sdl/window_scale.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

int scaleForScreen(float dotsPerInch, int screenWidth, int screenHeight, int windowWidth,
                   int windowHeight) {
    if (!(dotsPerInch > 0.0f)) return smallestScale; // also a resolution that is not a number
    const float wanted = std::floor(dotsPerInch / 96.0f + 0.5f);
    int scale = static_cast<int>(std::clamp(wanted, float(smallestScale), float(largestScale)));
    while (scale > smallestScale &&
           (windowWidth * scale > screenWidth || windowHeight * scale > screenHeight))
        --scale;
    return scale;
}

namespace {

// One row of pixels, each repeated `Scale` times across; a scale known when compiling lets the
// compiler unroll and vectorise the inner loop.
template <int Scale>
void widenRow(const std::uint8_t* in, int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x, in += 4) {
        for (int k = 0; k < Scale; ++k, out += 4) std::memcpy(out, in, 4);
    }
}

void widenRow(const std::uint8_t* in, int width, int scale, std::uint8_t* out) {
    switch (scale) {
    case 2:
        widenRow<2>(in, width, out);
        return;
    case 3:
        widenRow<3>(in, width, out);
        return;
    case 4:
        widenRow<4>(in, width, out);
        return;
    default:
        for (int x = 0; x < width; ++x, in += 4) {
            for (int k = 0; k < scale; ++k, out += 4) std::memcpy(out, in, 4);
        }
    }
}

} // namespace

void enlargePixels(const std::uint8_t* source, int sourcePitch, int width, int height, int scale,
                   std::uint8_t* target, int targetPitch) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * scale * 4;
    for (int y = 0; y < height; ++y) {
        const auto* in = source + static_cast<std::ptrdiff_t>(y) * sourcePitch;
        std::uint8_t* first = target + static_cast<std::ptrdiff_t>(y) * scale * targetPitch;
        // The first row of the block is the source row widened (or copied, at scale 1); the
        // block's other rows copy it.
        if (scale == 1)
            std::memcpy(first, in, rowBytes);
        else
            widenRow(in, width, scale, first);
        for (int k = 1; k < scale; ++k)
            std::memcpy(first + static_cast<std::ptrdiff_t>(k) * targetPitch, first, rowBytes);
    }
}

} // namespace platform
