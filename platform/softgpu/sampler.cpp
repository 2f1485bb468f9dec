// Point and bilinear sampling with any addressing. The common case, bilinear with wrap
// addressing, has its own kernels (span_kernels): wrapping a power-of-two texture is a mask.
#include "platform/softgpu/sampler.h"

#include "platform/softgpu/span_kernels.h"

namespace softgpu {

namespace {

inline int addressTexel(int index, int size, DWORD mode) {
    switch (mode) {
    case D3DTADDRESS_CLAMP:
        return index < 0 ? 0 : (index >= size ? size - 1 : index);
    case D3DTADDRESS_MIRROR: {
        const int period = index & (2 * size - 1);
        return period < size ? period : 2 * size - 1 - period;
    }
    default:
        return index & (size - 1);
    }
}

void sampleGeneral(const TextureView& texture, bool bilinear, const std::int32_t* s,
                   const std::int32_t* t, int count, std::uint32_t* out) {
    const std::uint32_t* texels = texture.texels;
    const int width = texture.width;
    const int height = texture.height;
    for (int i = 0; i < count; ++i) {
        if (bilinear) {
            const std::int32_t s0 = s[i] >> texelFractionBits;
            const std::int32_t t0 = t[i] >> texelFractionBits;
            const int column0 = addressTexel(s0, width, texture.addressU);
            const int column1 = addressTexel(s0 + 1, width, texture.addressU);
            const std::uint32_t* row0 = texels + addressTexel(t0, height, texture.addressV) * width;
            const std::uint32_t* row1 =
                texels + addressTexel(t0 + 1, height, texture.addressV) * width;
            const std::uint32_t fu = blendWeight(s[i]);
            const std::uint32_t fv = blendWeight(t[i]);
            out[i] = lerpTexel(lerpTexel(row0[column0], row0[column1], fu),
                               lerpTexel(row1[column0], row1[column1], fu), fv);
        } else {
            // The nearest texel is the one whose centre is closest: round, not truncate.
            constexpr std::int32_t half = 1 << (texelFractionBits - 1);
            const int column =
                addressTexel((s[i] + half) >> texelFractionBits, width, texture.addressU);
            const int row =
                addressTexel((t[i] + half) >> texelFractionBits, height, texture.addressV);
            out[i] = texels[row * width + column];
        }
    }
}

} // namespace

void sampleSpan(const SpanKernels& kernels, const TextureView& texture, bool bilinear,
                const std::int32_t* s, const std::int32_t* t, int count, std::uint32_t* out) {
    if (bilinear && texture.addressU == D3DTADDRESS_WRAP && texture.addressV == D3DTADDRESS_WRAP) {
        kernels.bilinearWrap(texture, s, t, count, out);
    } else {
        sampleGeneral(texture, bilinear, s, t, count, out);
    }
    if (texture.opaque) {
        for (int i = 0; i < count; ++i) out[i] |= 0xFF000000u;
    }
}

} // namespace softgpu
