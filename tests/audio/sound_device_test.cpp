#include "audio/sound_device.h"
#include "platform/message_box.h"
#include "tests/audio/wave_builder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

// What the stand-in device refuses, and where it writes down what happens.
struct Script {
    bool refuseCreate = false;
    bool refusePriority = false;
    bool refuseNormal = false;
    bool refusePrimary = false;
    bool refuseFormat = false;
    bool refuseStart = false;
    bool refuseBuffer = false;
    bool refuseLock = false;
    std::uint32_t splitAt = 0; // lock hands out two regions split here (0: one region)
    std::vector<std::string> log;
};

Script* script = nullptr;

class FakePrimary final : public platform::SoundBuffer {
public:
    ~FakePrimary() override { script->log.push_back("primary.release"); }
    bool stop() override { return note("primary.stop"); }
    bool rewind() override { return note("primary.rewind"); }
    bool play() override { return note("primary.play") && !script->refuseStart; }

private:
    static bool note(const char* what) {
        script->log.push_back(what);
        return true;
    }
};

class FakeBuffer final : public platform::FillableSoundBuffer {
public:
    FakeBuffer(std::uint32_t bytes, int channel)
        : name("buffer" + std::to_string(channel)), storage(bytes) {}
    ~FakeBuffer() override { script->log.push_back(name + ".release"); }
    bool lock(std::uint32_t offset, std::uint32_t bytes,
              platform::LockedRegions& regions) override {
        script->log.push_back(name + ".lock");
        if (script->refuseLock || offset != 0 || bytes != storage.size()) return false;
        const std::uint32_t split = script->splitAt ? script->splitAt : bytes;
        regions = {storage.data() + split, bytes - split, storage.data(), split};
        if (!script->splitAt) regions = {storage.data(), bytes, nullptr, 0};
        return true;
    }
    void unlock(const platform::LockedRegions&) override {
        script->log.push_back(name + ".unlock");
    }
    bool stop() override { return note(".stop"); }
    bool rewind() override { return note(".rewind"); }
    bool play() override { return note(".play"); }

    std::string name;
    std::vector<std::uint8_t> storage;

private:
    bool note(const char* what) {
        script->log.push_back(name + what);
        return true;
    }
};

class FakeDevice final : public platform::SoundDevice {
public:
    ~FakeDevice() override { script->log.push_back("device.release"); }
    std::string lastError() const override { return "the fake device said no"; }
    bool setCooperativeLevel(platform::CooperativeLevel level) override {
        const bool priority = level == platform::CooperativeLevel::Priority;
        script->log.push_back(priority ? "level.priority" : "level.normal");
        return priority ? !script->refusePriority : !script->refuseNormal;
    }
    std::unique_ptr<platform::SoundBuffer> createPrimaryBuffer() override {
        if (script->refusePrimary) return nullptr;
        return std::make_unique<FakePrimary>();
    }
    bool setPrimaryFormat(const platform::WaveFormat& format) override {
        formats.push_back(format);
        return !script->refuseFormat;
    }
    std::unique_ptr<platform::FillableSoundBuffer>
    createBuffer(const platform::WaveFormat& format, std::uint32_t bytes, int channel) override {
        formats.push_back(format);
        if (script->refuseBuffer) return nullptr;
        return std::make_unique<FakeBuffer>(bytes, channel);
    }
    std::vector<platform::WaveFormat> formats;
};

std::unique_ptr<platform::SoundDevice> openFake(std::string& reason) {
    if (script->refuseCreate) {
        reason = "no fake device today";
        return nullptr;
    }
    return std::make_unique<FakeDevice>();
}

// The WAVE resources of a stand-in module, by id.
std::map<int, std::vector<std::uint8_t>> moduleWaves;

std::optional<platform::Resource> fakeModule(platform::ResourceType type, int id) {
    const auto found = moduleWaves.find(id);
    if (type != platform::ResourceType::Wave || found == moduleWaves.end()) return std::nullopt;
    return platform::Resource{found->second.data(), found->second.size()};
}

struct Message {
    std::string caption;
    std::string text;
};

class SoundDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        script = &current;
        previousOpener = setSoundDeviceOpener(openFake);
        previousPresenter = platform::setMessageBoxPresenter(
            [this](std::string_view caption, std::string_view text) {
                messages.push_back({std::string(caption), std::string(text)});
            });
        moduleWaves = {
            {kickSoundResource, testwave::simpleWave(platform::gameSoundFormat, kickSamples)},
            {bounceSoundResource,
             testwave::simpleWave(platform::gameSoundFormat, testwave::sampleBytes(6, 100))},
            {hoverSoundResource,
             testwave::simpleWave(platform::gameSoundFormat, testwave::sampleBytes(8, 200))},
        };
    }
    void TearDown() override {
        setSoundDeviceOpener(previousOpener);
        platform::setMessageBoxPresenter(previousPresenter);
    }

    FakeBuffer& bufferIn(SoundBank& bank, int entry) {
        return dynamic_cast<FakeBuffer&>(*bank.buffers[static_cast<std::size_t>(entry)]);
    }

    const std::vector<std::uint8_t> kickSamples = testwave::sampleBytes(10, 1);
    Script current;
    std::vector<Message> messages;
    platform::SoundDeviceOpener previousOpener = nullptr;
    platform::MessageBoxPresenter previousPresenter;
};

TEST_F(SoundDeviceTest, InitSoundShowsTheMessageOfTheStepThatFailedAndKeepsWhatWasMade) {
    struct Case {
        void (*fail)(Script&);
        const char* message;
        bool deviceKept;
        bool primaryKept;
    };
    const Case cases[] = {
        {[](Script& s) { s.refuseCreate = true; }, "Unable to create DirectSound object", false,
         false},
        {[](Script& s) { s.refusePriority = s.refuseNormal = true; },
         "Unable to set DirectSound cooperative level", true, false},
        {[](Script& s) { s.refusePrimary = true; }, "Failed to create primary sound buffer.", true,
         false},
        {[](Script& s) { s.refuseFormat = true; }, "Failed to set primary sound buffer format.",
         true, true},
        {[](Script& s) { s.refuseStart = true; }, "Failed to set primary sound buffer playing.",
         true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        current = Script();
        c.fail(current);
        messages.clear();
        SoundBank bank;
        testing::internal::CaptureStderr();
        EXPECT_EQ(initSound(bank), 0);
        const std::string stderrText = testing::internal::GetCapturedStderr();
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0].caption, "Error");
        EXPECT_EQ(messages[0].text, c.message);
        EXPECT_NE(
            stderrText.find(c.deviceKept ? "the fake device said no" : "no fake device today"),
            std::string::npos);
        EXPECT_NE(stderrText.find("SDL_AUDIODRIVER=dummy"), std::string::npos);
        EXPECT_EQ(bank.directSound != nullptr, c.deviceKept);
        EXPECT_EQ(bank.primaryBuffer != nullptr, c.primaryKept);
    }
}

TEST_F(SoundDeviceTest, InitSoundFallsBackToTheNormalLevelAndStartsTheOutputAtTheGameFormat) {
    current.refusePriority = true;
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(current.log,
              (std::vector<std::string>{"level.priority", "level.normal", "primary.play"}));
    const auto& formats = dynamic_cast<FakeDevice&>(*bank.directSound).formats;
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].samplesPerSec, 22050u);
    EXPECT_EQ(formats[0].channels, 1);
    EXPECT_EQ(formats[0].bitsPerSample, 16);
}

TEST_F(SoundDeviceTest, InitSoundWithoutAnInstalledSoundSystemFailsCleanly) {
    setSoundDeviceOpener(nullptr);
    SoundBank bank;
    testing::internal::CaptureStderr();
    EXPECT_EQ(initSound(bank), 0);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Unable to create DirectSound object");
}

TEST_F(SoundDeviceTest, TheThreeSoundsLoadIntoEntriesZeroOneTwoOnTheirOwnChannels) {
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1);
    EXPECT_EQ(loadSound(bank, kickSoundResource, fakeModule), 0);
    EXPECT_EQ(loadSound(bank, bounceSoundResource, fakeModule), 1);
    EXPECT_EQ(loadSound(bank, hoverSoundResource, fakeModule), 2);
    EXPECT_EQ(bank.lastIndex, 2);
    EXPECT_EQ(bufferIn(bank, 0).name, "buffer0");
    EXPECT_EQ(bufferIn(bank, 0).storage, kickSamples);
    EXPECT_EQ(bufferIn(bank, 2).name, "buffer2");
    EXPECT_EQ(bufferIn(bank, 2).storage, testwave::sampleBytes(8, 200));
    EXPECT_EQ(bank.buffers[3], nullptr);

    // The id's low 16 bits name the resource.
    EXPECT_EQ(loadSound(bank, 0x10000 + kickSoundResource, fakeModule), 3);
}

TEST_F(SoundDeviceTest, AMissingOrDamagedResourceTakesItsEntryAndTheShutdownSkipsIt) {
    moduleWaves.erase(kickSoundResource);
    std::vector<std::uint8_t>& bounce = moduleWaves[bounceSoundResource];
    bounce.erase(bounce.end() - 20, bounce.end()); // cut into the data chunk
    {
        SoundBank bank;
        ASSERT_EQ(initSound(bank), 1);
        EXPECT_EQ(loadSound(bank, kickSoundResource, fakeModule), soundNotLoaded);
        EXPECT_EQ(loadSound(bank, bounceSoundResource, fakeModule), soundNotLoaded);
        EXPECT_EQ(loadSound(bank, hoverSoundResource, fakeModule), 2);
        EXPECT_EQ(bank.lastIndex, 2);
        EXPECT_EQ(bank.buffers[0], nullptr);
        EXPECT_EQ(bank.buffers[1], nullptr);
        playFromStart(bank, 2);
        current.log.clear();
    } // the bank's destruction is the shutdown
    EXPECT_EQ(current.log,
              (std::vector<std::string>{"buffer2.stop", "buffer2.release", "primary.stop",
                                        "primary.release", "device.release"}));
}

TEST_F(SoundDeviceTest, ABufferThatCantBeMadeOrFilledLeavesItsEntryEmpty) {
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1);
    current.refuseBuffer = true;
    EXPECT_EQ(loadSound(bank, kickSoundResource, fakeModule), soundNotLoaded);
    current.refuseBuffer = false;
    current.refuseLock = true;
    current.log.clear();
    EXPECT_EQ(loadSound(bank, bounceSoundResource, fakeModule), soundNotLoaded);
    EXPECT_EQ(current.log, (std::vector<std::string>{"buffer1.lock", "buffer1.release"}));
    current.refuseLock = false;
    EXPECT_EQ(loadSound(bank, hoverSoundResource, fakeModule), 2);
    EXPECT_EQ(bank.buffers[0], nullptr);
    EXPECT_EQ(bank.buffers[1], nullptr);

    // Without a device, as after a failed set-up, nothing loads.
    SoundBank silent;
    EXPECT_EQ(loadSound(silent, kickSoundResource, fakeModule), soundNotLoaded);
    EXPECT_EQ(silent.lastIndex, 0);
}

TEST_F(SoundDeviceTest, ASeventeenthSoundFindsTheBankFullAndTakesNoEntry) {
    SoundBank bank;
    ASSERT_EQ(initSound(bank), 1);
    for (int i = 0; i < SoundBank::maxSounds; ++i) {
        ASSERT_EQ(loadSound(bank, hoverSoundResource, fakeModule), i);
    }
    EXPECT_EQ(loadSound(bank, hoverSoundResource, fakeModule), soundNotLoaded);
    EXPECT_EQ(bank.lastIndex, 15);
}

TEST_F(SoundDeviceTest, FillSoundBufferCopiesIntoBothRegionsAndNeverPastTheSamples) {
    const std::vector<std::uint8_t> samples = testwave::sampleBytes(10, 1);
    current.splitAt = 4; // the lock wraps: first region at 4..9, second at 0..3
    FakeBuffer wrapped(10, 0);
    ASSERT_EQ(fillSoundBuffer(&wrapped, samples.data(), 10), 1);
    EXPECT_EQ(wrapped.storage, (std::vector<std::uint8_t>{7, 8, 9, 10, 1, 2, 3, 4, 5, 6}));

    // A buffer handing out more than asked for still gets only the samples' bytes.
    class Greedy final : public platform::FillableSoundBuffer {
    public:
        bool lock(std::uint32_t, std::uint32_t, platform::LockedRegions& regions) override {
            regions = {storage.data(), 12, storage.data() + 12, 12};
            return true;
        }
        void unlock(const platform::LockedRegions&) override {}
        bool stop() override { return true; }
        bool rewind() override { return true; }
        bool play() override { return true; }
        std::vector<std::uint8_t> storage = std::vector<std::uint8_t>(24, 0xEE);
    } greedy;
    ASSERT_EQ(fillSoundBuffer(&greedy, samples.data(), 10), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(greedy.storage.begin(), greedy.storage.begin() + 10),
              samples);
    EXPECT_EQ(greedy.storage[10], 0xEE);
    EXPECT_EQ(greedy.storage[12], 0xEE);

    current.log.clear();
    EXPECT_EQ(fillSoundBuffer(nullptr, samples.data(), 10), 0);
    EXPECT_EQ(fillSoundBuffer(&wrapped, nullptr, 10), 0);
    EXPECT_EQ(fillSoundBuffer(&wrapped, samples.data(), 0), 0);
    EXPECT_TRUE(current.log.empty()); // nothing was locked
}

} // namespace
