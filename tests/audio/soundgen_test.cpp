#include "audio/wave.h"
#include "tools/soundgen/soundgen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace audio;

namespace {

std::uint32_t readU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// The share of a sound's energy in the frequencies above `hertz`, from its discrete Fourier
// transform at 22050 Hz (the constant part counts as low).
double shareAbove(const std::vector<std::int16_t>& samples, double hertz) {
    const std::size_t n = samples.size();
    double total = 0.0;
    double above = 0.0;
    for (std::size_t k = 0; k <= n / 2; ++k) {
        double re = 0.0;
        double im = 0.0;
        for (std::size_t t = 0; t < n; ++t) {
            const double angle = 2.0 * 3.14159265358979323846 * double(k * t % n) / double(n);
            re += samples[t] * std::cos(angle);
            im += samples[t] * std::sin(angle);
        }
        // Every bin but the constant one and the middle one stands for two.
        const double energy = (re * re + im * im) * (k == 0 || 2 * k == n ? 1.0 : 2.0);
        total += energy;
        if (double(k) * 22050.0 / double(n) > hertz) above += energy;
    }
    return total > 0.0 ? above / total : 0.0;
}

TEST(SoundGenerator, KickIsHeardOnSmallSpeakers) {
    // Laptop speakers give back little below a few hundred hertz: the kick must carry most of
    // its energy above 300 Hz, and a bright attack above 1 kHz.
    const std::vector<std::int16_t> kick = soundgen::synthesiseKick();
    EXPECT_GE(shareAbove(kick, 300.0), 0.5);
    EXPECT_GE(shareAbove(kick, 1000.0), 0.2);
    // The measure itself, on whole cycles of pure tones: 150 Hz has nothing above 300 Hz,
    // 1500 Hz everything above 1 kHz.
    auto tone = [](double hertz) {
        std::vector<std::int16_t> samples(294);
        for (std::size_t t = 0; t < samples.size(); ++t)
            samples[t] = std::int16_t(std::lround(
                8000.0 * std::sin(2.0 * 3.14159265358979 * hertz * double(t) / 22050.0)));
        return samples;
    };
    EXPECT_LT(shareAbove(tone(150.0), 300.0), 0.001);
    EXPECT_GT(shareAbove(tone(1500.0), 1000.0), 0.999);
}

TEST(SoundGenerator, RegeneratesEachCommittedSoundByteForByteInItsLayout) {
    const std::vector<soundgen::Effect> effects = soundgen::allEffects();
    const std::pair<int, std::uint32_t> expected[] = {{2032, 296}, {2033, 148}, {2034, 1002}};
    ASSERT_EQ(effects.size(), std::size(expected));
    for (std::size_t e = 0; e < effects.size(); ++e) {
        const soundgen::Effect& effect = effects[e];
        const auto [id, sampleCount] = expected[e];
        SCOPED_TRACE(effect.fileName);
        EXPECT_EQ(effect.resourceId, id);
        const std::vector<std::uint8_t> file = soundgen::waveFile(effect);
        std::ifstream in(std::string(HOPLA_SOURCE_DIR) + "/resources/" + effect.fileName,
                         std::ios::binary);
        EXPECT_TRUE(file == std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}))
            << "run hopla-soundgen resources/ and commit the result";

        // fmt (18 bytes), fact (the sample count), data, LIST, nothing after.
        const std::uint32_t dataBytes = sampleCount * 2;
        const std::size_t list = 58 + dataBytes;
        ASSERT_GT(file.size(), list + 8);
        EXPECT_EQ(readU32(file, 4), file.size() - 8);
        EXPECT_EQ(std::string(file.begin() + 12, file.begin() + 20),
                  std::string("fmt \x12\0\0\0", 8));
        EXPECT_EQ(std::string(file.begin() + 38, file.begin() + 42), "fact");
        EXPECT_EQ(readU32(file, 46), sampleCount);
        EXPECT_EQ(std::string(file.begin() + 50, file.begin() + 54), "data");
        EXPECT_EQ(std::string(file.begin() + list, file.begin() + list + 4), "LIST");
        EXPECT_EQ(list + 8 + readU32(file, list + 4), file.size());
        platform::WaveFormat format;
        const std::uint8_t* samples = nullptr;
        std::uint32_t count = 0;
        ASSERT_EQ(parseWave(file.data(), file.size(), &format, &samples, &count), 1);
        EXPECT_EQ(count, sampleCount * 2);
        EXPECT_EQ(format.extraSize, 0);

        // Silent at both ends so the sound starts and stops without a click, never clipped,
        // and loud enough to be heard.
        ASSERT_EQ(effect.samples.size(), sampleCount);
        EXPECT_EQ(effect.samples.front(), 0);
        EXPECT_LE(std::abs(effect.samples.back()), 2);
        const auto [low, high] = std::minmax_element(effect.samples.begin(), effect.samples.end());
        EXPECT_GT(*low, -32000);
        EXPECT_LT(*high, 32000);
        EXPECT_GT(*high - *low, 8000);
    }
}

} // namespace
