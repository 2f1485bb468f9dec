// The plain span kernels, and the choice between them and the vector ones.
#include "platform/softgpu/span_kernels.h"

#include <cstdlib>
#include <cstring>

namespace softgpu {

namespace plain {

void coordinates(const CoordinateRun& run, int first, int count, std::int32_t* s, std::int32_t* t) {
    // Texel centres sit at whole numbers: half a texel comes off after the division (the
    // affine planes have it taken off already).
    constexpr float half = 0.5f * (1 << texelFractionBits);
    for (int i = first; i < count; ++i) {
        const auto step = static_cast<float>(i);
        float sValue = run.s0 + step * run.sStep;
        float tValue = run.t0 + step * run.tStep;
        if (run.perspective) {
            const float w = 1.0f / (run.q0 + step * run.qStep);
            sValue = sValue * w - half;
            tValue = tValue * w - half;
        }
        s[i] = clampedRound(sValue);
        t[i] = clampedRound(tValue);
    }
}

void bilinearWrap(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                  int count, std::uint32_t* out) {
    const std::uint32_t* texels = texture.texels;
    const std::int32_t maskU = texture.width - 1;
    const std::int32_t maskV = texture.height - 1;
    const int shift = texture.widthShift;
    for (int i = 0; i < count; ++i) {
        const std::int32_t s0 = s[i] >> texelFractionBits;
        const std::int32_t t0 = t[i] >> texelFractionBits;
        const std::uint32_t fu = blendWeight(s[i]);
        const std::uint32_t fv = blendWeight(t[i]);
        const std::int32_t column0 = s0 & maskU;
        const std::int32_t column1 = (s0 + 1) & maskU;
        const std::uint32_t* row0 = texels + ((t0 & maskV) << shift);
        const std::uint32_t* row1 = texels + (((t0 + 1) & maskV) << shift);
        const std::uint32_t top = lerpTexel(row0[column0], row0[column1], fu);
        const std::uint32_t bottom = lerpTexel(row1[column0], row1[column1], fu);
        out[i] = lerpTexel(top, bottom, fv);
    }
}

namespace {

// x * y / 255 rounded to nearest, for bytes x and y.
inline std::uint32_t multiplyByte(std::uint32_t x, std::uint32_t y) {
    const std::uint32_t product = x * y + 128;
    return (product + (product >> 8)) >> 8;
}

// Adds two colours byte by byte, each byte held at 255: the low seven bits of every byte are
// added without crossing into the next, then the top bits and the carry out are worked out.
inline std::uint32_t addSaturated(std::uint32_t a, std::uint32_t b) {
    constexpr std::uint32_t high = 0x80808080u;
    const std::uint32_t low = (a & ~high) + (b & ~high);
    const std::uint32_t carry = ((a & b) | ((a | b) & low)) & high;
    const std::uint32_t sum = low ^ ((a ^ b) & high);
    return sum | ((carry >> 7) * 0xFF);
}

} // namespace

void modulateFlat(std::uint32_t diffuse, std::uint32_t* colours, int count) {
    const std::uint32_t r = (diffuse >> 16) & 0xFF, g = (diffuse >> 8) & 0xFF, b = diffuse & 0xFF;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t c = colours[i];
        colours[i] = (c & 0xFF000000u) | multiplyByte((c >> 16) & 0xFF, r) << 16 |
                     multiplyByte((c >> 8) & 0xFF, g) << 8 | multiplyByte(c & 0xFF, b);
    }
}

void writeReplace(int minAlpha, const std::uint32_t* colours, int count,
                  std::uint32_t* destination) {
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(colours[i] >> 24) >= minAlpha) {
            destination[i] = colours[i] | 0xFF000000u;
        }
    }
}

void writeAdd(int minAlpha, const std::uint32_t* colours, int count, std::uint32_t* destination) {
    for (int i = 0; i < count; ++i) {
        if (static_cast<int>(colours[i] >> 24) >= minAlpha) {
            destination[i] = addSaturated(destination[i], colours[i] & 0x00FFFFFFu) | 0xFF000000u;
        }
    }
}

} // namespace plain

namespace {

const SpanKernels plainSet{plain::coordinates, plain::bilinearWrap, plain::modulateFlat,
                           plain::writeReplace, plain::writeAdd};

bool& vectorWanted() {
    static bool wanted = [] {
        const char* portable = std::getenv("HOPLA_PORTABLE_KERNELS");
        return portable == nullptr || std::strcmp(portable, "1") != 0;
    }();
    return wanted;
}

} // namespace

const SpanKernels& activeKernels() {
    static const SpanKernels* const vector = vectorKernels();
    return (vector != nullptr && vectorWanted()) ? *vector : plainSet;
}

void useVectorKernels(bool enabled) {
    vectorWanted() = enabled;
}

#if !defined(SOFTGPU_HAVE_AVX2) && !defined(__wasm_simd128__)
const SpanKernels* vectorKernels() {
    return nullptr;
}
#endif

} // namespace softgpu
