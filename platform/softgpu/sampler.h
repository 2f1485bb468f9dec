// Texture sampling: turns texel coordinates of a span into texels, with point or bilinear
// filtering and wrap addressing.
#pragma once

#include "platform/softgpu/softgpu.h"

#include <cstdint>

namespace softgpu {

// Texel coordinates carry 8 bits of fraction and put texel centres at whole numbers: texel
// coordinate s = u * width - 0.5, stored as round(s * 256). So a u that lands on a texel's
// centre gives a fraction of 0 and bilinear filtering returns that texel unblended.
constexpr int texelFractionBits = 8;

struct TextureView {
    const std::uint32_t* texels = nullptr;
    int width = 1;
    int height = 1;
    int widthShift = 0; // width == 1 << widthShift
    // The texels with each row's first ones repeated after it, rows width + repeated apart;
    // null while the texture is locked and may be changing.
    const std::uint32_t* repeatedTexels = nullptr;
    int repeated = 0;
    bool opaque = false; // X8R8G8B8: the top byte reads as 255
};

// Bilinear weights are kept to sixteenths of a texel (0, 16, ..., 256), as the hardware of the
// game's time kept them: a picture drawn 1:1 then stays unblurred anywhere on the screen,
// although the camera's 0.99991 pixels per unit leave texel centres up to 0.03 texel off the
// pixel centres near the edges.
inline std::uint32_t blendWeight(std::int32_t coordinate) {
    return ((static_cast<std::uint32_t>(coordinate) & 0xFFu) + 8u) & ~15u;
}

// Blends two texels channel by channel: a + (b - a) * f / 256 for f in 0..256, red with blue
// and alpha with green, two channels to a multiply.
inline std::uint32_t lerpTexel(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    const std::uint32_t inverse = 256 - f;
    const std::uint32_t redBlue = ((a & 0x00FF00FFu) * inverse + (b & 0x00FF00FFu) * f) >> 8;
    const std::uint32_t alphaGreen =
        ((a >> 8) & 0x00FF00FFu) * inverse + ((b >> 8) & 0x00FF00FFu) * f;
    return (redBlue & 0x00FF00FFu) | (alphaGreen & 0xFF00FF00u);
}

struct SpanKernels;

// Fills out[0..count) with the filtered texels at (s[i], t[i]).
void sampleSpan(const SpanKernels& kernels, const TextureView& texture, bool bilinear,
                const std::int32_t* s, const std::int32_t* t, int count, std::uint32_t* out);

} // namespace softgpu
