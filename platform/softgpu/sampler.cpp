// Point and bilinear sampling. Coordinates always wrap, and wrapping a power-of-two texture is
// a mask; bilinear filtering, the game's, has its own kernels (span_kernels).
#include "platform/softgpu/sampler.h"

#include "platform/softgpu/span_kernels.h"

namespace softgpu {

namespace {

void samplePoint(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                 int count, std::uint32_t* out) {
    // The nearest texel is the one whose centre is closest: round, not truncate.
    constexpr std::int32_t half = 1 << (texelFractionBits - 1);
    const std::int32_t maskU = texture.width - 1;
    const std::int32_t maskV = texture.height - 1;
    for (int i = 0; i < count; ++i) {
        const std::int32_t column = ((s[i] + half) >> texelFractionBits) & maskU;
        const std::int32_t row = ((t[i] + half) >> texelFractionBits) & maskV;
        out[i] = texture.texels[(row << texture.widthShift) + column];
    }
}

} // namespace

void sampleSpan(const SpanKernels& kernels, const TextureView& texture, bool bilinear,
                const std::int32_t* s, const std::int32_t* t, int count, std::uint32_t* out) {
    if (bilinear) {
        kernels.bilinearWrap(texture, s, t, count, out);
    } else {
        samplePoint(texture, s, t, count, out);
    }
    if (texture.opaque) {
        for (int i = 0; i < count; ++i) out[i] |= 0xFF000000u;
    }
}

} // namespace softgpu
