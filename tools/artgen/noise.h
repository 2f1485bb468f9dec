// Deterministic randomness for the artwork: a fixed-seed generator, lattice noise and a sine
// built from plain arithmetic, so the pictures come out byte for byte the same on every machine
// (no platform random numbers, no library functions whose last bit may differ).
#pragma once

#include <cstdint>

namespace artgen {

class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in [0, 1).
    double unit();
    // Uniform in [lo, hi).
    double between(double lo, double hi) { return lo + (hi - lo) * unit(); }

private:
    std::uint64_t state_;
};

// A value in [0, 1) fixed by the lattice point and the seed.
double latticeValue(int x, int y, int z, std::uint32_t seed);

// Smooth value noise in [0, 1). With a period above 0 the noise repeats every `period` units
// along x, which lets a picture wrap round the ball or tile across a wall without a seam.
double valueNoise(double x, double y, double z, std::uint32_t seed, int periodX = 0,
                  int periodY = 0);

// Several octaves of value noise, each twice as fine and half as strong, scaled to [0, 1).
double fractalNoise(double x, double y, double z, std::uint32_t seed, int octaves, int periodX = 0,
                    int periodY = 0);

// sin(2 pi turns) and cos(2 pi turns).
double sineTurns(double turns);
double cosineTurns(double turns);

double smoothstep(double edge0, double edge1, double x);
double clamp01(double x);

} // namespace artgen
