// The sound device on SDL2_mixer, run with SDL's dummy audio driver (set for every test).
#include "audio/sound_setup.h"
#include "platform/sdl/sdl_sound.h"
#include "tests/audio/wave_builder.h"

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace audio;

namespace {

using testwave::Bytes;
using testwave::wave;

// Every test here sets the sound up on SDL, as the program does.
class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override { setSoundDeviceOpener(platform::openSdlSoundDevice); }
};

TEST_F(SdlSoundTest, LoadsTheThreeEmbeddedSoundsAndPlaysOneFromTheStartTwice) {
    {
        SoundBank bank;
        ASSERT_EQ(initSound(bank), 1) << SDL_GetError();
        EXPECT_EQ(Mix_AllocateChannels(-1), SoundBank::maxSounds); // a channel for every entry

        const int ids[] = {kickSoundResource, bounceSoundResource, hoverSoundResource};
        for (SoundId entry = 0; entry < 3; ++entry) {
            SCOPED_TRACE(ids[entry]);
            platform::WaveFormat format;
            const std::uint8_t* samples = nullptr;
            std::uint32_t count = 0;
            ASSERT_EQ(findWaveResource(ownModule, ids[entry], &format, &samples, &count), 1);
            ASSERT_EQ(loadSound(bank, ids[entry]), entry);
            // The sounds are made in the output's own format, 22050 Hz mono 16-bit, and play
            // as they are: any other rate, width or channel count would change their size.
            EXPECT_EQ(platform::sdlPlayedBytes(*bank.buffers[entry]), count);
        }

        // The hover lasts two mixes of the output, so it is still playing when looked at; the
        // shorter sounds are looked for by the chunk their channel was given.
        EXPECT_EQ(Mix_Playing(-1), 0);
        playFromStart(bank, 2);
        EXPECT_EQ(Mix_Playing(2), 1);
        playFromStart(bank, 2); // cut off and started again, on its own channel
        EXPECT_EQ(Mix_Playing(2), 1);
        playFromStart(bank, 0); // another sound plays alongside
        EXPECT_NE(Mix_GetChunk(0), nullptr);
        EXPECT_EQ(Mix_Playing(2), 1);
    }
    // The shutdown closed the output and the audio system.
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SdlSoundTest, ConvertsOtherPcmFormatsAndRefusesAnythingElse) {
    const platform::WaveFormat stereo8{platform::waveFormatPcm, 2, 11025, 22050, 2, 8, 0};
    const platform::WaveFormat mono24{platform::waveFormatPcm, 1, 22050, 66150, 3, 24, 0};
    const platform::WaveFormat floats{3, 1, 22050, 88200, 4, 32, 0};
    const platform::WaveFormat twelveBits{platform::waveFormatPcm, 1, 22050, 44100, 2, 12, 0};
    const platform::WaveFormat wrongBlock{platform::waveFormatPcm, 2, 22050, 44100, 2, 16, 0};
    const Bytes silence(400, 0);
    testwave::moduleWaves = {
        {1, wave(stereo8, Bytes(2 * 1000, 0x90))},
        {2, wave(mono24, testwave::sampleBytes(3 * 50 + 2))}, // a stray 2 bytes
        {3, wave(floats, silence)},
        {4, wave(twelveBits, silence)},
        {5, wave(wrongBlock, silence)},
        // No bits per sample in a 14-byte format.
        {6, testwave::riff({{"fmt ", testwave::formatBody(platform::gameSoundFormat, 14)},
                            {"data", silence}})},
    };
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1) << SDL_GetError();
    ASSERT_EQ(loadSound(bank, 1, testwave::module), 0);
    ASSERT_EQ(loadSound(bank, 2, testwave::module), 1);
    // 1000 stereo frames at 11025 Hz become about 2000 mono 16-bit frames at 22050 Hz.
    const std::size_t resampled = platform::sdlPlayedBytes(*bank.buffers[0]);
    EXPECT_NEAR(static_cast<double>(resampled), 4000.0, 80.0);
    EXPECT_EQ(resampled % 2, 0u);
    // 50 whole 24-bit samples become 50 16-bit ones; the stray bytes are dropped.
    EXPECT_EQ(platform::sdlPlayedBytes(*bank.buffers[1]), 100u);
    playFromStart(bank, 0);
    EXPECT_EQ(Mix_Playing(0), 1);

    for (int id = 3; id <= 6; ++id) {
        SCOPED_TRACE(id);
        EXPECT_EQ(loadSound(bank, id, testwave::module), soundNotLoaded);
    }
}

TEST_F(SdlSoundTest, WithoutAUsableAudioDriverOrDeviceSetUpFailsWithTheMatchingMessage) {
    struct Case {
        const char* driver;
        const char* message;
        const char* reason; // SDL's own words must reach stderr
        bool deviceKept;
    };
    const Case cases[] = {
        {"hopla-no-such-driver", "Unable to create DirectSound object", "hopla-no-such-driver",
         false},
        // The audio system starts, but the disk driver can't make its output file.
        {"disk", "Failed to create primary sound buffer.", "", true},
    };
    const std::string driverBefore =
        SDL_getenv("SDL_AUDIODRIVER") ? SDL_getenv("SDL_AUDIODRIVER") : "";
    SDL_setenv("SDL_DISKAUDIOFILE", "/nonexistent-hopla-folder/sound.raw", 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.driver);
        SDL_setenv("SDL_AUDIODRIVER", c.driver, 1);
        {
            SoundBank bank;
            testing::internal::CaptureStderr();
            EXPECT_EQ(initSound(bank), 0);
            const std::string stderrText = testing::internal::GetCapturedStderr();
            EXPECT_NE(stderrText.find(std::string("Error: ") + c.message), std::string::npos);
            EXPECT_NE(stderrText.find(c.reason), std::string::npos) << stderrText;
            EXPECT_NE(stderrText.find("SDL_AUDIODRIVER=dummy"), std::string::npos);
            EXPECT_EQ(bank.soundDevice != nullptr, c.deviceKept); // kept until the shutdown
            EXPECT_EQ(bank.primaryBuffer, nullptr);
            EXPECT_EQ(loadSound(bank, kickSoundResource), soundNotLoaded);
        }
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    }
    SDL_setenv("SDL_AUDIODRIVER", driverBefore.c_str(), 1);
    unsetenv("SDL_DISKAUDIOFILE");
}

} // namespace
