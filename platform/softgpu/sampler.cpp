// Point and bilinear sampling. The common case, bilinear with wrap addressing on a
// power-of-two texture, has its own loop: wrapping is a mask, and the four texels are blended
// two channels at a time in 32-bit registers.
#include "platform/softgpu/sampler.h"

namespace softgpu {

namespace {

constexpr std::int32_t fractionMask = (1 << texelFractionBits) - 1;

// Blends two texels channel by channel: a + (b - a) * f / 256, f in 0..255. Red and blue,
// then alpha and green, each pair in one multiply.
inline std::uint32_t lerpTexel(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    const std::uint32_t inverse = 256 - f;
    const std::uint32_t redBlue = ((a & 0x00FF00FFu) * inverse + (b & 0x00FF00FFu) * f) >> 8;
    const std::uint32_t alphaGreen =
        ((a >> 8) & 0x00FF00FFu) * inverse + ((b >> 8) & 0x00FF00FFu) * f;
    return (redBlue & 0x00FF00FFu) | (alphaGreen & 0xFF00FF00u);
}

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

void sampleBilinearWrap(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                        int count, std::uint32_t* out) {
    const std::uint32_t* texels = texture.texels;
    const std::int32_t maskU = texture.width - 1;
    const std::int32_t maskV = texture.height - 1;
    const int shift = texture.widthShift;
    for (int i = 0; i < count; ++i) {
        const std::int32_t s0 = s[i] >> texelFractionBits;
        const std::int32_t t0 = t[i] >> texelFractionBits;
        const auto fu = static_cast<std::uint32_t>(s[i] & fractionMask);
        const auto fv = static_cast<std::uint32_t>(t[i] & fractionMask);
        const std::int32_t column0 = s0 & maskU;
        const std::int32_t column1 = (s0 + 1) & maskU;
        const std::uint32_t* row0 = texels + ((t0 & maskV) << shift);
        const std::uint32_t* row1 = texels + (((t0 + 1) & maskV) << shift);
        const std::uint32_t top = lerpTexel(row0[column0], row0[column1], fu);
        const std::uint32_t bottom = lerpTexel(row1[column0], row1[column1], fu);
        out[i] = lerpTexel(top, bottom, fv);
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
            const auto fu = static_cast<std::uint32_t>(s[i] & fractionMask);
            const auto fv = static_cast<std::uint32_t>(t[i] & fractionMask);
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

void sampleSpan(const TextureView& texture, bool bilinear, const std::int32_t* s,
                const std::int32_t* t, int count, std::uint32_t* out) {
    if (bilinear && texture.addressU == D3DTADDRESS_WRAP && texture.addressV == D3DTADDRESS_WRAP) {
        sampleBilinearWrap(texture, s, t, count, out);
    } else {
        sampleGeneral(texture, bilinear, s, t, count, out);
    }
    if (texture.opaque) {
        for (int i = 0; i < count; ++i) out[i] |= 0xFF000000u;
    }
}

} // namespace softgpu
