// The sound device on SDL2_mixer, run with SDL's dummy audio driver (set for every test).
#include "audio/sound_device.h"
#include "platform/message_box.h"
#include "platform/sound_sdl.h"
#include "tests/audio/wave_builder.h"

#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

std::map<int, std::vector<std::uint8_t>> moduleWaves;

std::optional<platform::Resource> testModule(platform::ResourceType type, int id) {
    const auto found = moduleWaves.find(id);
    if (type != platform::ResourceType::Wave || found == moduleWaves.end()) return std::nullopt;
    return platform::Resource{found->second.data(), found->second.size()};
}

class SdlSoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        previousOpener = setSoundDeviceOpener(platform::openSdlSoundDevice);
        previousPresenter = platform::setMessageBoxPresenter(
            [this](std::string_view, std::string_view text) { messages.emplace_back(text); });
    }
    void TearDown() override {
        setSoundDeviceOpener(previousOpener);
        platform::setMessageBoxPresenter(previousPresenter);
    }

    std::vector<std::string> messages;
    platform::SoundDeviceOpener previousOpener = nullptr;
    platform::MessageBoxPresenter previousPresenter;
};

bool resourcesCompiledIn() {
    return platform::findResource(platform::ResourceType::Wave, kickSoundResource).has_value();
}

TEST_F(SdlSoundTest, EveryEmbeddedSoundHasItsFormatAndSampleCount) {
    if (!resourcesCompiledIn()) GTEST_SKIP() << "the sounds are not compiled in";
    const std::pair<int, std::uint32_t> sounds[] = {
        {kickSoundResource, 296}, {bounceSoundResource, 148}, {hoverSoundResource, 1002}};
    for (const auto& [id, sampleCount] : sounds) {
        SCOPED_TRACE(id);
        platform::WaveFormat format;
        const std::uint8_t* samples = nullptr;
        std::uint32_t count = 0;
        ASSERT_EQ(findWaveResource(ownModule, id, &format, &samples, &count), 1);
        EXPECT_EQ(format.formatTag, platform::waveFormatPcm);
        EXPECT_EQ(format.channels, 1);
        EXPECT_EQ(format.samplesPerSec, 22050u);
        EXPECT_EQ(format.avgBytesPerSec, 44100u);
        EXPECT_EQ(format.blockAlign, 2);
        EXPECT_EQ(format.bitsPerSample, 16);
        EXPECT_EQ(count, sampleCount * 2);
    }
}

TEST_F(SdlSoundTest, LoadsTheThreeSoundsAndPlaysOneFromTheStartTwice) {
    if (!resourcesCompiledIn()) GTEST_SKIP() << "the sounds are not compiled in";
    {
        SoundBank bank;
        ASSERT_EQ(initSound(bank), 1) << SDL_GetError();
        EXPECT_TRUE(messages.empty());
        ASSERT_EQ(loadSound(bank, kickSoundResource), 0);
        ASSERT_EQ(loadSound(bank, bounceSoundResource), 1);
        ASSERT_EQ(loadSound(bank, hoverSoundResource), 2);
        // The game's own format plays as it is, no conversion.
        EXPECT_EQ(platform::sdlPlayedBytes(*bank.buffers[0]), 592u);
        EXPECT_EQ(platform::sdlPlayedBytes(*bank.buffers[1]), 296u);
        EXPECT_EQ(platform::sdlPlayedBytes(*bank.buffers[2]), 2004u);

        int frequency = 0;
        Uint16 format = 0;
        int channels = 0;
        ASSERT_EQ(Mix_QuerySpec(&frequency, &format, &channels), 1);
        EXPECT_EQ(frequency, 22050);
        EXPECT_EQ(format, AUDIO_S16SYS);
        EXPECT_EQ(channels, 1);
        EXPECT_EQ(Mix_AllocateChannels(-1), 16);

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
        playFromStart(bank, soundNotLoaded);
        EXPECT_EQ(Mix_GetChunk(1), nullptr);
    }
    // The shutdown closed the output and the audio system.
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SdlSoundTest, ConvertsOtherPcmFormatsAndRefusesAnythingElse) {
    platform::WaveFormat stereo8{platform::waveFormatPcm, 2, 11025, 22050, 2, 8, 0};
    platform::WaveFormat mono24{platform::waveFormatPcm, 1, 22050, 66150, 3, 24, 0};
    platform::WaveFormat floats{3, 1, 22050, 88200, 4, 32, 0};
    platform::WaveFormat twelveBits{platform::waveFormatPcm, 1, 22050, 44100, 2, 12, 0};
    platform::WaveFormat wrongBlock{platform::waveFormatPcm, 2, 22050, 44100, 2, 16, 0};
    moduleWaves = {
        {1, testwave::simpleWave(stereo8, std::vector<std::uint8_t>(2 * 1000, 0x90))},
        {2, testwave::simpleWave(mono24, testwave::sampleBytes(3 * 50 + 2))}, // a stray 2 bytes
        {3, testwave::simpleWave(floats, std::vector<std::uint8_t>(400, 0))},
        {4, testwave::simpleWave(twelveBits, std::vector<std::uint8_t>(400, 0))},
        {5, testwave::simpleWave(wrongBlock, std::vector<std::uint8_t>(400, 0))},
        {6, testwave::Builder()
                .chunk("fmt ", testwave::formatBody(platform::gameSoundFormat, 14))
                .chunk("data", std::vector<std::uint8_t>(400, 0))
                .bytes()},
    };
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1) << SDL_GetError();
    ASSERT_EQ(loadSound(bank, 1, testModule), 0);
    ASSERT_EQ(loadSound(bank, 2, testModule), 1);
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
        EXPECT_EQ(loadSound(bank, id, testModule), soundNotLoaded);
    }
    EXPECT_EQ(bank.lastIndex, 5);
    EXPECT_TRUE(messages.empty());
}

// Sets an environment variable for the life of the object, then puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name(name) {
        const char* old = std::getenv(name);
        if (old) previous = old;
        setenv(name, value, 1);
    }
    ~ScopedEnv() {
        if (previous) {
            setenv(name, previous->c_str(), 1);
        } else {
            unsetenv(name);
        }
    }

private:
    const char* name;
    std::optional<std::string> previous;
};

TEST_F(SdlSoundTest, WithoutAUsableAudioDriverOrDeviceSetUpFailsWithTheMatchingMessage) {
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "hopla-no-such-driver");
        SoundBank bank;
        testing::internal::CaptureStderr();
        EXPECT_EQ(initSound(bank), 0);
        const std::string stderrText = testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages, (std::vector<std::string>{"Unable to create DirectSound object"}));
        EXPECT_NE(stderrText.find("Error: Unable to create DirectSound object"), std::string::npos);
        EXPECT_NE(stderrText.find("hopla-no-such-driver"), std::string::npos) << stderrText;
        EXPECT_NE(stderrText.find("SDL_AUDIODRIVER=dummy"), std::string::npos);
        EXPECT_EQ(loadSound(bank, kickSoundResource), soundNotLoaded);
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);

    // The audio system starts, but its output device can't be opened: the disk driver is told
    // to write where no file can be made.
    messages.clear();
    {
        ScopedEnv driver("SDL_AUDIODRIVER", "disk");
        ScopedEnv file("SDL_DISKAUDIOFILE", "/nonexistent-hopla-folder/sound.raw");
        SoundBank bank;
        testing::internal::CaptureStderr();
        EXPECT_EQ(initSound(bank), 0);
        const std::string stderrText = testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages, (std::vector<std::string>{"Failed to create primary sound buffer."}));
        EXPECT_NE(stderrText.find("SDL_AUDIODRIVER=dummy"), std::string::npos);
        EXPECT_NE(bank.directSound, nullptr); // kept until the shutdown
        EXPECT_EQ(bank.primaryBuffer, nullptr);
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

} // namespace
