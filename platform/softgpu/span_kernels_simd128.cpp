// The span kernels in WebAssembly SIMD128, four pixels at a time, for the web page. Every step
// is the same integer or float operation as in the plain kernels, so the pictures are identical
// either way; texels are fetched one by one, as WebAssembly has no gather.
#include "platform/softgpu/span_kernels.h"

// A build without SIMD128 (for browsers that lack it) has only the plain kernels.
#ifdef __wasm_simd128__

#include <wasm_simd128.h>

namespace softgpu {

namespace {

constexpr int lanes = 4;

void coordinatesSimd(const CoordinateRun& run, int first, int count, std::int32_t* s,
                     std::int32_t* t) {
    const v128_t laneIndex = wasm_f32x4_make(0, 1, 2, 3);
    const v128_t low = wasm_f32x4_splat(-2.0e9f);
    const v128_t high = wasm_f32x4_splat(2.0e9f);
    const v128_t half = wasm_f32x4_splat(0.5f * (1 << texelFractionBits));
    const v128_t one = wasm_f32x4_splat(1.0f);
    const v128_t s0 = wasm_f32x4_splat(run.s0), sStep = wasm_f32x4_splat(run.sStep);
    const v128_t t0 = wasm_f32x4_splat(run.t0), tStep = wasm_f32x4_splat(run.tStep);
    const v128_t q0 = wasm_f32x4_splat(run.q0), qStep = wasm_f32x4_splat(run.qStep);
    int i = first;
    for (; i + lanes <= count; i += lanes) {
        const v128_t step = wasm_f32x4_add(wasm_f32x4_splat(static_cast<float>(i)), laneIndex);
        v128_t sValue = wasm_f32x4_add(s0, wasm_f32x4_mul(step, sStep));
        v128_t tValue = wasm_f32x4_add(t0, wasm_f32x4_mul(step, tStep));
        if (run.perspective) {
            const v128_t w = wasm_f32x4_div(one, wasm_f32x4_add(q0, wasm_f32x4_mul(step, qStep)));
            sValue = wasm_f32x4_sub(wasm_f32x4_mul(sValue, w), half);
            tValue = wasm_f32x4_sub(wasm_f32x4_mul(tValue, w), half);
        }
        // pmax(low, v) is v > low ? v : low, and pmin(high, v) is v < high ? v : high: the
        // plain clamping, NaN going to the low end.
        sValue = wasm_f32x4_pmin(high, wasm_f32x4_pmax(low, sValue));
        tValue = wasm_f32x4_pmin(high, wasm_f32x4_pmax(low, tValue));
        wasm_v128_store(s + i, wasm_i32x4_trunc_sat_f32x4(wasm_f32x4_nearest(sValue)));
        wasm_v128_store(t + i, wasm_i32x4_trunc_sat_f32x4(wasm_f32x4_nearest(tValue)));
    }
    plain::coordinates(run, i, count, s, t);
}

// lerpTexel on four texels: every 16-bit lane holds one channel, so the red-blue and
// alpha-green pairs of the plain code become lanes of 16-bit multiplies (a channel times a
// weight of at most 256, and the sum of two such, stay below 65536).
inline v128_t lerpTexels(v128_t a, v128_t b, v128_t weight) {
    const v128_t channelMask = wasm_i32x4_splat(0x00FF00FF);
    const v128_t inverse = wasm_i16x8_sub(wasm_i16x8_splat(256), weight);
    const v128_t redBlue =
        wasm_u16x8_shr(wasm_i16x8_add(wasm_i16x8_mul(wasm_v128_and(a, channelMask), inverse),
                                      wasm_i16x8_mul(wasm_v128_and(b, channelMask), weight)),
                       8);
    const v128_t alphaGreen =
        wasm_i16x8_add(wasm_i16x8_mul(wasm_v128_and(wasm_u32x4_shr(a, 8), channelMask), inverse),
                       wasm_i16x8_mul(wasm_v128_and(wasm_u32x4_shr(b, 8), channelMask), weight));
    return wasm_v128_or(redBlue,
                        wasm_v128_and(alphaGreen, wasm_i32x4_splat(static_cast<int>(0xFF00FF00u))));
}

// blendWeight of four coordinates, in both 16-bit halves of each lane.
inline v128_t blendWeights(v128_t coordinates) {
    const v128_t weight = wasm_v128_and(
        wasm_i32x4_add(wasm_v128_and(coordinates, wasm_i32x4_splat(0xFF)), wasm_i32x4_splat(8)),
        wasm_i32x4_splat(~15));
    return wasm_v128_or(weight, wasm_i32x4_shl(weight, 16));
}

inline v128_t fetch(const std::uint32_t* texels, v128_t index) {
    return wasm_u32x4_make(
        texels[wasm_i32x4_extract_lane(index, 0)], texels[wasm_i32x4_extract_lane(index, 1)],
        texels[wasm_i32x4_extract_lane(index, 2)], texels[wasm_i32x4_extract_lane(index, 3)]);
}

void bilinearWrapSimd(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                      int count, std::uint32_t* out) {
    const v128_t maskU = wasm_i32x4_splat(texture.width - 1);
    const v128_t maskV = wasm_i32x4_splat(texture.height - 1);
    const auto shift = static_cast<std::uint32_t>(texture.widthShift);
    const v128_t oneTexel = wasm_i32x4_splat(1);
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const v128_t sValue = wasm_v128_load(s + i);
        const v128_t tValue = wasm_v128_load(t + i);
        const v128_t s0 = wasm_i32x4_shr(sValue, texelFractionBits);
        const v128_t t0 = wasm_i32x4_shr(tValue, texelFractionBits);
        const v128_t column0 = wasm_v128_and(s0, maskU);
        const v128_t column1 = wasm_v128_and(wasm_i32x4_add(s0, oneTexel), maskU);
        const v128_t row0 = wasm_i32x4_shl(wasm_v128_and(t0, maskV), shift);
        const v128_t row1 =
            wasm_i32x4_shl(wasm_v128_and(wasm_i32x4_add(t0, oneTexel), maskV), shift);
        const v128_t fu = blendWeights(sValue);
        const v128_t top = lerpTexels(fetch(texture.texels, wasm_i32x4_add(row0, column0)),
                                      fetch(texture.texels, wasm_i32x4_add(row0, column1)), fu);
        const v128_t bottom = lerpTexels(fetch(texture.texels, wasm_i32x4_add(row1, column0)),
                                         fetch(texture.texels, wasm_i32x4_add(row1, column1)), fu);
        wasm_v128_store(out + i, lerpTexels(top, bottom, blendWeights(tValue)));
    }
    plain::bilinearWrap(texture, s + i, t + i, count - i, out + i);
}

// x * y / 255 rounded, in 16-bit lanes holding bytes.
inline v128_t multiplyBytes(v128_t x, v128_t y) {
    const v128_t product = wasm_i16x8_add(wasm_i16x8_mul(x, y), wasm_i16x8_splat(128));
    return wasm_u16x8_shr(wasm_i16x8_add(product, wasm_u16x8_shr(product, 8)), 8);
}

void modulateFlatSimd(std::uint32_t diffuse, std::uint32_t* colours, int count) {
    const v128_t channelMask = wasm_i32x4_splat(0x00FF00FF);
    const v128_t diffuseRedBlue = wasm_u32x4_splat(diffuse & 0x00FF00FFu);
    const v128_t diffuseGreen = wasm_u32x4_splat((diffuse >> 8) & 0xFF);
    const v128_t alphaMask = wasm_u32x4_splat(0xFF000000u);
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const v128_t c = wasm_v128_load(colours + i);
        const v128_t redBlue = multiplyBytes(wasm_v128_and(c, channelMask), diffuseRedBlue);
        const v128_t green = multiplyBytes(
            wasm_v128_and(wasm_u32x4_shr(c, 8), wasm_i32x4_splat(0xFF)), diffuseGreen);
        wasm_v128_store(colours + i, wasm_v128_or(wasm_v128_and(c, alphaMask),
                                                  wasm_v128_or(redBlue, wasm_i32x4_shl(green, 8))));
    }
    plain::modulateFlat(diffuse, colours + i, count - i);
}

inline v128_t passingAlpha(v128_t colours, int minAlpha) {
    return wasm_i32x4_gt(wasm_u32x4_shr(colours, 24), wasm_i32x4_splat(minAlpha - 1));
}

void writeReplaceSimd(int minAlpha, const std::uint32_t* colours, int count,
                      std::uint32_t* destination) {
    const v128_t opaque = wasm_u32x4_splat(0xFF000000u);
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const v128_t c = wasm_v128_load(colours + i);
        const v128_t passes = passingAlpha(c, minAlpha);
        // Where all four pass, as in every opaque picture, the old pixels need not be read.
        if (wasm_i32x4_all_true(passes)) {
            wasm_v128_store(destination + i, wasm_v128_or(c, opaque));
        } else {
            wasm_v128_store(destination + i,
                            wasm_v128_bitselect(wasm_v128_or(c, opaque),
                                                wasm_v128_load(destination + i), passes));
        }
    }
    // The last few pixels of the span: nothing beyond it is read or written.
    plain::writeReplace(minAlpha, colours + i, count - i, destination + i);
}

void writeAddSimd(int minAlpha, const std::uint32_t* colours, int count,
                  std::uint32_t* destination) {
    const v128_t opaque = wasm_u32x4_splat(0xFF000000u);
    const v128_t colourMask = wasm_i32x4_splat(0x00FFFFFF);
    int i = 0;
    for (; i + lanes <= count; i += lanes) {
        const v128_t c = wasm_v128_load(colours + i);
        const v128_t old = wasm_v128_load(destination + i);
        const v128_t sum =
            wasm_v128_or(wasm_u8x16_add_sat(old, wasm_v128_and(c, colourMask)), opaque);
        wasm_v128_store(destination + i, wasm_v128_bitselect(sum, old, passingAlpha(c, minAlpha)));
    }
    plain::writeAdd(minAlpha, colours + i, count - i, destination + i);
}

const SpanKernels simdSet{coordinatesSimd, bilinearWrapSimd, modulateFlatSimd, writeReplaceSimd,
                          writeAddSimd};

} // namespace

const SpanKernels* vectorKernels() {
    return &simdSet;
}

} // namespace softgpu

#endif // __wasm_simd128__
