// The sound bank, and the sound set-up and loading, on stand-ins for the sound device and its
// buffers: every step goes into one log, and the steps a test names in `refused` (e.g.
// "level.priority level.normal buffer1.lock") fail.
#include "audio/sound_setup.h"
#include "platform/message_box.h"
#include "tests/audio/wave_builder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace audio;

namespace {

using Log = std::vector<std::string>;
using testwave::Bytes;
using testwave::sampleBytes;
using testwave::wave;

struct Script {
    std::string refused;
    Log log;

    bool step(const std::string& name) {
        log.push_back(name);
        return refused.find(name) == std::string::npos;
    }
};

Script* script = nullptr;

class FakeBuffer final : public platform::FillableSoundBuffer {
public:
    FakeBuffer(std::string name, std::uint32_t bytes = 0) : name(std::move(name)), storage(bytes) {}
    ~FakeBuffer() override { script->log.push_back(name + ".release"); }
    bool stop() override { return script->step(name + ".stop"); }
    bool rewind() override { return script->step(name + ".rewind"); }
    bool play() override { return script->step(name + ".play"); }
    // Hands out the whole storage as one region, as the game's sound devices do.
    bool lock(std::uint32_t offset, std::uint32_t bytes, platform::LockedRegions& out) override {
        if (!script->step(name + ".lock") || offset != 0 || bytes != storage.size()) return false;
        out = {storage.data(), bytes, nullptr, 0};
        return true;
    }
    void unlock(const platform::LockedRegions&) override {
        script->log.push_back(name + ".unlock");
    }

    std::string name;
    std::vector<std::uint8_t> storage;
};

class FakeDevice final : public platform::SoundDevice {
public:
    ~FakeDevice() override { script->log.push_back("device.release"); }
    std::string lastError() const override { return "the fake device said no"; }
    bool setCooperativeLevel(platform::CooperativeLevel level) override {
        return script->step(level == platform::CooperativeLevel::Priority ? "level.priority"
                                                                          : "level.normal");
    }
    std::unique_ptr<platform::SoundBuffer> createPrimaryBuffer() override {
        if (!script->step("primary.create")) return nullptr;
        return std::make_unique<FakeBuffer>("primary");
    }
    bool setPrimaryFormat(const platform::WaveFormat&) override {
        return script->step("primary.format");
    }
    std::unique_ptr<platform::FillableSoundBuffer>
    createBuffer(const platform::WaveFormat&, std::uint32_t bytes, int channel) override {
        const std::string name = "buffer" + std::to_string(channel);
        if (!script->step(name + ".create")) return nullptr;
        return std::make_unique<FakeBuffer>(name, bytes);
    }
};

std::unique_ptr<platform::SoundDevice> openFakeDevice(std::string& reason) {
    if (script->step("device.open")) return std::make_unique<FakeDevice>();
    reason = "no fake device today";
    return nullptr;
}

class SoundSetup : public ::testing::Test {
protected:
    void SetUp() override {
        ::script = &script;
        previousOpener = setSoundDeviceOpener(openFakeDevice);
        previousPresenter = platform::setMessageBoxPresenter(
            [this](std::string_view caption, std::string_view text) {
                messages.push_back(std::string(caption) + ": " + std::string(text));
            });
        testwave::moduleWaves = {
            {kickSoundResource, wave(platform::gameSoundFormat, sampleBytes(10, 1))},
            {bounceSoundResource, wave(platform::gameSoundFormat, sampleBytes(6, 100))},
            {hoverSoundResource, wave(platform::gameSoundFormat, sampleBytes(8, 200))},
        };
    }
    void TearDown() override {
        setSoundDeviceOpener(previousOpener);
        platform::setMessageBoxPresenter(previousPresenter);
    }

    static FakeBuffer& bufferIn(SoundBank& bank, int entry) {
        return dynamic_cast<FakeBuffer&>(*bank.buffers[static_cast<std::size_t>(entry)]);
    }

    Script script;
    std::vector<std::string> messages;
    platform::SoundDeviceOpener previousOpener = nullptr;
    platform::MessageBoxPresenter previousPresenter;
};

// The bank on its own, with buffers put in by hand.
using SoundBankTest = SoundSetup;

TEST_F(SoundBankTest, PlayFromStartStopsRewindsAndPlaysOnlyThatSoundAndSkipsThePlayOnAFailure) {
    SoundBank bank;
    bank.buffers[0] = std::make_unique<FakeBuffer>("kick");
    bank.buffers[1] = std::make_unique<FakeBuffer>("bounce");
    bank.lastIndex = 2; // entry 2 taken but empty, as after a failed load

    playFromStart(bank, 0);
    playFromStart(bank, 0); // a sound still playing starts again from its first sample
    playFromStart(bank, 1);
    // Nothing for the ids that name no sound: negative, an empty entry, past the bank.
    for (SoundId id : {soundNotLoaded, -1, 2, 3, SoundBank::maxSounds}) playFromStart(bank, id);
    EXPECT_EQ(script.log, (Log{"kick.stop", "kick.rewind", "kick.play", "kick.stop", "kick.rewind",
                               "kick.play", "bounce.stop", "bounce.rewind", "bounce.play"}));

    // A failed stop skips the rewind and the play, a failed rewind the play.
    script.log.clear();
    script.refused = "kick.stop";
    playFromStart(bank, 0);
    script.refused = "kick.rewind";
    playFromStart(bank, 0);
    EXPECT_EQ(script.log, (Log{"kick.stop", "kick.stop", "kick.rewind"}));
}

TEST_F(SoundBankTest, ShutdownReleasesBuffersThenPrimaryThenDeviceOnceAndSkipsEmptyEntries) {
    {
        SoundBank bank;
        bank.soundDevice = std::make_unique<FakeDevice>();
        bank.primaryBuffer = std::make_unique<FakeBuffer>("primary");
        bank.buffers[1] = std::make_unique<FakeBuffer>("bounce");
        bank.buffers[2] = std::make_unique<FakeBuffer>("hover");
        bank.lastIndex = 2; // entry 0 taken but empty, as after a failed load
        shutdownSound(bank);
        EXPECT_EQ(script.log, (Log{"bounce.stop", "bounce.release", "hover.stop", "hover.release",
                                   "primary.stop", "primary.release", "device.release"}));
        script.log.clear();
    } // the bank's destruction shuts it down again, with nothing left to do
    EXPECT_TRUE(script.log.empty());
}

TEST_F(SoundSetup, InitSoundShowsTheMessageOfTheStepThatFailedAndKeepsWhatWasMade) {
    struct Case {
        const char* refused; // null: the program installed no sound system at all
        const char* message;
        int made; // 0: nothing, 1: the device, 2: the device and the primary buffer
    };
    const Case cases[] = {
        {nullptr, "Unable to create DirectSound object", 0},
        {"device.open", "Unable to create DirectSound object", 0},
        {"level.priority level.normal", "Unable to set DirectSound cooperative level", 1},
        {"primary.create", "Failed to create primary sound buffer.", 1},
        {"primary.format", "Failed to set primary sound buffer format.", 2},
        {"primary.play", "Failed to set primary sound buffer playing.", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        script.refused = c.refused ? c.refused : "";
        setSoundDeviceOpener(c.refused ? openFakeDevice : nullptr);
        messages.clear();
        SoundBank bank;
        testing::internal::CaptureStderr();
        EXPECT_EQ(initSound(bank), 0);
        const std::string stderrText = testing::internal::GetCapturedStderr();
        EXPECT_EQ(messages, Log{std::string("Error: ") + c.message});
        const char* reason = c.made      ? "the fake device said no"
                             : c.refused ? "no fake device today"
                                         : "no sound system was installed";
        EXPECT_NE(stderrText.find(reason), std::string::npos) << stderrText;
        EXPECT_EQ(bank.soundDevice != nullptr, c.made >= 1);
        EXPECT_EQ(bank.primaryBuffer != nullptr, c.made >= 2);
    }
}

TEST_F(SoundSetup, InitSoundFallsBackToTheNormalLevelAndStartsTheOutput) {
    script.refused = "level.priority";
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(script.log, (Log{"device.open", "level.priority", "level.normal", "primary.create",
                               "primary.format", "primary.play"}));
}

TEST_F(SoundSetup, EveryLoadTakesTheNextEntryAndAFailedOneLeavesItEmpty) {
    Bytes damaged = testwave::moduleWaves[bounceSoundResource];
    damaged.pop_back(); // one sample byte short of what the data chunk claims
    testwave::moduleWaves[666] = damaged;
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1);
    EXPECT_EQ(loadSound(bank, kickSoundResource, testwave::module), 0);
    EXPECT_EQ(loadSound(bank, bounceSoundResource, testwave::module), 1);
    EXPECT_EQ(loadSound(bank, hoverSoundResource, testwave::module), 2);
    EXPECT_EQ(bufferIn(bank, 2).name, "buffer2"); // entry i plays on channel i
    EXPECT_EQ(bufferIn(bank, 2).storage, sampleBytes(8, 200));

    EXPECT_EQ(loadSound(bank, 999, testwave::module), soundNotLoaded); // missing: entry 3
    EXPECT_EQ(loadSound(bank, 666, testwave::module), soundNotLoaded); // damaged: entry 4
    script.refused = "buffer5.create buffer6.lock";
    EXPECT_EQ(loadSound(bank, hoverSoundResource, testwave::module), soundNotLoaded);
    script.log.clear();
    EXPECT_EQ(loadSound(bank, hoverSoundResource, testwave::module), soundNotLoaded);
    EXPECT_EQ(script.log, (Log{"buffer6.create", "buffer6.lock", "buffer6.release"}));
    for (int entry = 3; entry <= 6; ++entry) EXPECT_EQ(bank.buffers[entry], nullptr) << entry;

    // Without a device, as after a failed set-up, nothing loads but the entry is taken.
    SoundBank silent;
    EXPECT_EQ(loadSound(silent, hoverSoundResource, testwave::module), soundNotLoaded);
    EXPECT_EQ(silent.lastIndex, 0);
}

} // namespace
