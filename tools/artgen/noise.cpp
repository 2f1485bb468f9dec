#include "tools/artgen/noise.h"

#include <cmath>

namespace artgen {

std::uint64_t Random::next() {
    // splitmix64: small, fast and fully defined by its 64-bit state.
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double Random::unit() {
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

double latticeValue(int x, int y, int z, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B1u;
    h ^= std::uint32_t(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= std::uint32_t(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= std::uint32_t(z) * 0x27D4EB2Fu;
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return double(h >> 8) * (1.0 / 16777216.0);
}

namespace {
int wrap(int v, int period) {
    if (period <= 0) return v;
    const int m = v % period;
    return m < 0 ? m + period : m;
}
double fade(double t) {
    return t * t * (3.0 - 2.0 * t);
}
double lerp(double a, double b, double t) {
    return a + (b - a) * t;
}
} // namespace

double valueNoise(double x, double y, double z, std::uint32_t seed, int periodX, int periodY) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const double fz = std::floor(z);
    const int x0 = int(fx);
    const int y0 = int(fy);
    const int z0 = int(fz);
    const double tx = fade(x - fx);
    const double ty = fade(y - fy);
    const double tz = fade(z - fz);
    auto v = [&](int dx, int dy, int dz) {
        return latticeValue(wrap(x0 + dx, periodX), wrap(y0 + dy, periodY), z0 + dz, seed);
    };
    const double a = lerp(lerp(v(0, 0, 0), v(1, 0, 0), tx), lerp(v(0, 1, 0), v(1, 1, 0), tx), ty);
    const double b = lerp(lerp(v(0, 0, 1), v(1, 0, 1), tx), lerp(v(0, 1, 1), v(1, 1, 1), tx), ty);
    return lerp(a, b, tz);
}

double fractalNoise(double x, double y, double z, std::uint32_t seed, int octaves, int periodX,
                    int periodY) {
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    double scale = 1.0;
    for (int i = 0; i < octaves; ++i) {
        sum += weight * valueNoise(x * scale, y * scale, z * scale, seed + std::uint32_t(i),
                                   periodX * int(scale), periodY * int(scale));
        total += weight;
        weight *= 0.5;
        scale *= 2.0;
    }
    return sum / total;
}

double sineTurns(double turns) {
    // Fold into a quarter turn either side of zero, where a short Taylor series is exact to
    // well below one part in 255.
    double t = turns - std::floor(turns + 0.5);
    if (t > 0.25) t = 0.5 - t;
    if (t < -0.25) t = -0.5 - t;
    const double x = t * 6.283185307179586;
    const double x2 = x * x;
    return x * (1.0 -
                x2 / 6.0 *
                    (1.0 - x2 / 20.0 * (1.0 - x2 / 42.0 * (1.0 - x2 / 72.0 * (1.0 - x2 / 110.0)))));
}

double cosineTurns(double turns) {
    return sineTurns(turns + 0.25);
}

double clamp01(double x) {
    return x < 0.0 ? 0.0 : (x > 1.0 ? 1.0 : x);
}

double smoothstep(double edge0, double edge1, double x) {
    const double t = clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0 - 2.0 * t);
}

} // namespace artgen
