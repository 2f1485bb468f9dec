// Small exact-arithmetic helpers shared by the rasteriser and the pixel stages: rounding of
// floats to fixed point without overflow, and integer divisions that round down or up.
#pragma once

#include <cmath>
#include <cstdint>

namespace softgpu {

// Screen positions are snapped to 1/256 of a pixel before any edge test.
constexpr int subpixelBits = 8;
constexpr int subpixelScale = 1 << subpixelBits;

inline std::int64_t floorDiv(std::int64_t numerator, std::int64_t denominator) {
    std::int64_t quotient = numerator / denominator;
    if ((numerator % denominator != 0) && ((numerator < 0) != (denominator < 0))) --quotient;
    return quotient;
}

inline std::int64_t ceilDiv(std::int64_t numerator, std::int64_t denominator) {
    return -floorDiv(-numerator, denominator);
}

// Nearest integer, ties to even, with values beyond the range held at its ends (and NaN
// giving 0), so no conversion can overflow.
inline std::int64_t roundToInt64(double value) {
    if (!(value > -4.0e18)) return value != value ? 0 : -4000000000000000000LL;
    if (value > 4.0e18) return 4000000000000000000LL;
    return static_cast<std::int64_t>(std::llrint(value));
}

} // namespace softgpu
