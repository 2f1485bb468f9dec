#include "tools/soundgen/soundgen.h"

#include <algorithm>
#include <cmath>

namespace soundgen {

namespace {

constexpr double sampleRate = 22050.0;
constexpr double pi = 3.14159265358979323846;

// Only additions, multiplications and divisions from here on, no library sine or exponential:
// IEEE arithmetic gives these the same result everywhere, so the files regenerate byte for byte.

// sin(2 pi cycles), by folding onto a quarter wave and a Taylor series (error below 1e-7).
double sineOfCycles(double cycles) {
    double phase = cycles - std::floor(cycles); // [0, 1)
    double x = 2.0 * pi * phase;
    if (x > pi) x -= 2.0 * pi;
    if (x > pi / 2) x = pi - x;
    if (x < -pi / 2) x = -pi - x;
    const double x2 = x * x;
    return x * (1.0 -
                x2 / 6.0 *
                    (1.0 -
                     x2 / 20.0 *
                         (1.0 - x2 / 42.0 *
                                    (1.0 - x2 / 72.0 * (1.0 - x2 / 110.0 * (1.0 - x2 / 156.0))))));
}

// A decay that falls to 1/e after `samples` samples, one step per sample.
struct Decay {
    explicit Decay(double samples) : factor(1.0 - 1.0 / samples) {}
    double next() {
        const double now = value;
        value *= factor;
        return now;
    }
    double factor;
    double value = 1.0;
};

// Smooth 0 -> 1 over [0, 1]; flat at both ends so a fade adds no click of its own.
double smoothStep(double t) {
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// The fade-in over the first `in` samples and the fade-out to silence at the last sample.
double edgeFades(int n, int length, int in, int out) {
    const double fadeIn = smoothStep(static_cast<double>(n) / in);
    const double fadeOut = smoothStep(static_cast<double>(length - 1 - n) / out);
    return fadeIn * fadeOut;
}

// White noise in [-1, 1) from a fixed seed.
struct Noise {
    explicit Noise(std::uint32_t seed) : state(seed) {}
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
    std::uint32_t state;
};

// A one-pole low-pass; `amount` near 1 lets everything through, near 0 only the lows.
struct LowPass {
    explicit LowPass(double amount) : amount(amount) {}
    double next(double x) {
        y += amount * (x - y);
        return y;
    }
    double amount;
    double y = 0.0;
};

std::int16_t toSample(double x) {
    const double scaled = std::floor(std::clamp(x, -1.0, 1.0) * 32767.0 + 0.5);
    return static_cast<std::int16_t>(scaled);
}

} // namespace

// The thump is a sine that drops quickly from 640 Hz towards 190 Hz. Laptop speakers play
// little of it, so the kick also has a knock at its front: two bright partials near 1.4 and
// 2.9 kHz, like a hard toe on a hollow ball, and a short burst of noise; both are gone within a
// few milliseconds, so the kick still sounds round.
std::vector<std::int16_t> synthesiseKick() {
    constexpr int length = 296;
    std::vector<std::int16_t> out(length);
    Decay sweep(40.0);
    Decay body(100.0);
    Decay knock(48.0);
    Decay punch(12.0);
    Noise noise(0x4b1c);
    LowPass dullNoise(0.6);
    LowPass soft(0.8);
    double cycles = 0.0;
    for (int n = 0; n < length; ++n) {
        const double t = n / sampleRate;
        const double frequency = 190.0 + 450.0 * sweep.next();
        const double tone = sineOfCycles(cycles) * body.next();
        cycles += frequency / sampleRate;
        const double bright =
            (sineOfCycles(1410.0 * t) * 0.75 + sineOfCycles(2890.0 * t) * 0.4) * knock.next();
        const double click = dullNoise.next(noise.next()) * punch.next() * 0.5;
        const double x = soft.next(tone * 0.65 + bright + click) * 0.85;
        out[static_cast<std::size_t>(n)] = toSample(x * edgeFades(n, length, 6, 60));
    }
    return out;
}

// A few inharmonic partials, spaced like the modes of a struck metal bar, each dying away
// faster than the one below it, after a tick of bright noise.
std::vector<std::int16_t> synthesiseBounce() {
    constexpr int length = 148;
    struct Partial {
        double frequency;
        double level;
        double decaySamples;
    };
    constexpr Partial partials[] = {
        {1730.0, 0.42, 70.0}, {4768.0, 0.25, 40.0}, {9349.0, 0.12, 22.0}};
    std::vector<std::int16_t> out(length);
    Decay decays[] = {Decay(partials[0].decaySamples), Decay(partials[1].decaySamples),
                      Decay(partials[2].decaySamples)};
    Decay tickDecay(5.0);
    Noise noise(0x7e11);
    for (int n = 0; n < length; ++n) {
        const double t = n / sampleRate;
        double x = 0.0;
        for (std::size_t p = 0; p < std::size(partials); ++p) {
            x += sineOfCycles(partials[p].frequency * t) * partials[p].level * decays[p].next();
        }
        x += noise.next() * tickDecay.next() * 0.14;
        out[static_cast<std::size_t>(n)] = toSample(x * edgeFades(n, length, 5, 28));
    }
    return out;
}

// A round tone that glides up a fifth, 660 to 990 Hz, with a touch of its octave for warmth,
// swelling in gently and dying away.
std::vector<std::int16_t> synthesiseHover() {
    constexpr int length = 1002;
    std::vector<std::int16_t> out(length);
    Decay glide(150.0);
    Decay body(520.0);
    double cycles = 0.0;
    for (int n = 0; n < length; ++n) {
        const double frequency = 990.0 - 330.0 * glide.next();
        const double tone = sineOfCycles(cycles) + 0.18 * sineOfCycles(2.0 * cycles);
        cycles += frequency / sampleRate;
        const double x = tone * body.next() * 0.36;
        out[static_cast<std::size_t>(n)] = toSample(x * edgeFades(n, length, 90, 240));
    }
    return out;
}

std::vector<Effect> allEffects() {
    return {
        {2032, "2032_kick.wav", "Kick", synthesiseKick()},
        {2033, "2033_bounce.wav", "Bounce", synthesiseBounce()},
        {2034, "2034_hover.wav", "Hover", synthesiseHover()},
    };
}

namespace {

void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFFu);
    put16(out, value >> 16);
}

void putId(std::vector<std::uint8_t>& out, const char* id) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(id[i]));
}

// A chunk with its size, and the pad byte after an odd-sized body.
void putChunk(std::vector<std::uint8_t>& out, const char* id,
              const std::vector<std::uint8_t>& body) {
    putId(out, id);
    put32(out, static_cast<std::uint32_t>(body.size()));
    for (std::uint8_t byte : body) out.push_back(byte);
    if (body.size() % 2 != 0) out.push_back(0);
}

std::vector<std::uint8_t> infoText(const std::string& text) {
    std::vector<std::uint8_t> body(text.begin(), text.end());
    body.push_back(0);
    return body;
}

} // namespace

std::vector<std::uint8_t> waveFile(const Effect& effect) {
    std::vector<std::uint8_t> format;
    put16(format, 1);     // PCM
    put16(format, 1);     // mono
    put32(format, 22050); // samples per second
    put32(format, 44100); // bytes per second
    put16(format, 2);     // bytes per sample frame
    put16(format, 16);    // bits per sample
    put16(format, 0);     // no extra format bytes

    std::vector<std::uint8_t> fact;
    put32(fact, static_cast<std::uint32_t>(effect.samples.size()));

    std::vector<std::uint8_t> data;
    for (std::int16_t sample : effect.samples) put16(data, static_cast<std::uint16_t>(sample));

    std::vector<std::uint8_t> info;
    putId(info, "INFO");
    putChunk(info, "INAM", infoText(effect.title));
    putChunk(info, "ISFT", infoText("hopla-soundgen"));

    std::vector<std::uint8_t> chunks;
    putId(chunks, "WAVE");
    putChunk(chunks, "fmt ", format);
    putChunk(chunks, "fact", fact);
    putChunk(chunks, "data", data);
    putChunk(chunks, "LIST", info);

    std::vector<std::uint8_t> file;
    putId(file, "RIFF");
    put32(file, static_cast<std::uint32_t>(chunks.size()));
    for (std::uint8_t byte : chunks) file.push_back(byte);
    return file;
}

} // namespace soundgen
