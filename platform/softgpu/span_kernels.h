// The inner loops of span shading, each in a plain version and, where the processor has AVX2
// (or the web build WebAssembly SIMD128), a vector version that gives bit for bit the same
// results several pixels at a time.
#pragma once

#include "platform/softgpu/sampler.h"

#include <cstdint>

namespace softgpu {

// The texel coordinates along a run of pixels: s = s0 + i * sStep (and t alike), divided by
// q = q0 + i * qStep when perspective, in 1/256 texel.
struct CoordinateRun {
    float q0, s0, t0;
    float qStep, sStep, tStep;
    bool perspective;
};

// Runs are at most this long. The coordinate, sampling and colour kernels may be given a
// count rounded up to a whole group of eight (their buffers have room); only the writers
// must stop exactly at the span's end.
constexpr int maxRunLength = 64;
constexpr int groupLength = 8;
inline int wholeGroups(int count) {
    return (count + groupLength - 1) & ~(groupLength - 1);
}

struct SpanKernels {
    // Pixels first..count-1 of the run (first a whole number of groups).
    void (*coordinates)(const CoordinateRun& run, int first, int count, std::int32_t* s,
                        std::int32_t* t);
    // Bilinear filtering with wrap addressing on both axes.
    void (*bilinearWrap)(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                         int count, std::uint32_t* out);
    // Colour times the diffuse colour's red, green and blue; alpha stays.
    void (*modulateFlat)(std::uint32_t diffuse, std::uint32_t* colours, int count);
    // Writes the colours whose alpha is at least minAlpha (0..256): replacing, or adding
    // with saturation.
    void (*writeReplace)(int minAlpha, const std::uint32_t* colours, int count,
                         std::uint32_t* destination);
    void (*writeAdd)(int minAlpha, const std::uint32_t* colours, int count,
                     std::uint32_t* destination);
};

// The AVX2 or SIMD128 kernels, or null when this processor or build has none.
const SpanKernels* vectorKernels();
// The kernels shading uses: the vector ones where there are any, unless switched off, by the
// tests that compare both or by HOPLA_PORTABLE_KERNELS=1 in the environment, which draws
// everything with the plain kernels a build without AVX2 or SIMD128 has.
const SpanKernels& activeKernels();
void useVectorKernels(bool enabled);

// The shared plain pieces, so the vector loops can finish a run's last pixels identically.
namespace plain {

inline std::int32_t clampedRound(float value) {
    // Same clamping as the vector code (NaN goes to the low end), then round to nearest even.
    value = value > -2.0e9f ? value : -2.0e9f;
    value = value < 2.0e9f ? value : 2.0e9f;
#ifdef __wasm__
    // WebAssembly rounds to nearest even in one instruction, where lrintf is a library call.
    return static_cast<std::int32_t>(__builtin_rintf(value));
#else
    return static_cast<std::int32_t>(__builtin_lrintf(value));
#endif
}

void coordinates(const CoordinateRun& run, int first, int count, std::int32_t* s, std::int32_t* t);
void bilinearWrap(const TextureView& texture, const std::int32_t* s, const std::int32_t* t,
                  int count, std::uint32_t* out);
void modulateFlat(std::uint32_t diffuse, std::uint32_t* colours, int count);
void writeReplace(int minAlpha, const std::uint32_t* colours, int count,
                  std::uint32_t* destination);
void writeAdd(int minAlpha, const std::uint32_t* colours, int count, std::uint32_t* destination);

} // namespace plain

} // namespace softgpu
