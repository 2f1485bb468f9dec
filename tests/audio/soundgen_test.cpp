#include "audio/sound_setup.h"
#include "audio/wave.h"
#include "tests/audio/wave_builder.h"
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
}

TEST(SoundGenerator, RegeneratesEachCommittedSoundByteForByteAsAWaveTheGamePlaysAsItIs) {
    const std::vector<soundgen::Effect> effects = soundgen::allEffects();
    const int ids[] = {kickSoundResource, bounceSoundResource, hoverSoundResource};
    ASSERT_EQ(effects.size(), std::size(ids));
    for (std::size_t e = 0; e < effects.size(); ++e) {
        const soundgen::Effect& effect = effects[e];
        SCOPED_TRACE(effect.fileName);
        EXPECT_EQ(effect.resourceId, ids[e]);
        const std::vector<std::uint8_t> file = soundgen::waveFile(effect);
        std::ifstream in(std::string(HOPLA_SOURCE_DIR) + "/resources/" + effect.fileName,
                         std::ios::binary);
        EXPECT_TRUE(file == std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {}))
            << "run hopla-soundgen resources/ and commit the result";

        // The RIFF size covers the whole file, and the samples come out in the output's format.
        ASSERT_GE(file.size(), 8u);
        EXPECT_EQ(file[4] | file[5] << 8 | file[6] << 16 | file[7] << 24, int(file.size() - 8));
        platform::WaveFormat format;
        const std::uint8_t* samples = nullptr;
        std::uint32_t count = 0;
        ASSERT_EQ(parseWave(file.data(), file.size(), &format, &samples, &count), 1);
        EXPECT_EQ(count, effect.samples.size() * 2);
        EXPECT_EQ(testwave::formatBody(format), testwave::formatBody(platform::gameSoundFormat));

        // Silent at both ends so the sound starts and stops without a click, never clipped,
        // and loud enough to be heard.
        ASSERT_FALSE(effect.samples.empty());
        EXPECT_EQ(effect.samples.front(), 0);
        EXPECT_LE(std::abs(effect.samples.back()), 2);
        const auto [low, high] = std::minmax_element(effect.samples.begin(), effect.samples.end());
        EXPECT_GT(*low, -32000);
        EXPECT_LT(*high, 32000);
        EXPECT_GT(*high - *low, 8000);
    }
}

} // namespace
