#include "audio/sound_bank.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

// Records every call in a shared log and fails the steps it is told to fail.
class FakeBuffer final : public platform::SoundBuffer {
public:
    FakeBuffer(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
    ~FakeBuffer() override { log.push_back(name + ".release"); }
    bool stop() override { return record("stop", failStop); }
    bool rewind() override { return record("rewind", failRewind); }
    bool play() override { return record("play", false); }

    bool failStop = false;
    bool failRewind = false;

private:
    bool record(const char* step, bool fail) {
        log.push_back(name + "." + step);
        return !fail;
    }
    std::string name;
    std::vector<std::string>& log;
};

class FakeDevice final : public platform::SoundDevice {
public:
    explicit FakeDevice(std::vector<std::string>& log) : log(log) {}
    ~FakeDevice() override { log.push_back("device.release"); }
    std::vector<std::string>& log;
};

FakeBuffer* addBuffer(SoundBank& bank, int index, const std::string& name,
                      std::vector<std::string>& log) {
    auto buffer = std::make_unique<FakeBuffer>(name, log);
    FakeBuffer* raw = buffer.get();
    bank.buffers[static_cast<std::size_t>(index)] = std::move(buffer);
    bank.lastIndex = std::max(bank.lastIndex, index);
    return raw;
}

TEST(SoundBank, PlayFromStartStopsRewindsAndPlaysEachSoundOnItsOwn) {
    std::vector<std::string> log;
    SoundBank bank;
    addBuffer(bank, 0, "kick", log);
    addBuffer(bank, 1, "bounce", log);

    playFromStart(bank, 0);
    playFromStart(bank, 0); // a sound still playing starts again from its first sample
    playFromStart(bank, 1);
    EXPECT_EQ(log, (std::vector<std::string>{"kick.stop", "kick.rewind", "kick.play", "kick.stop",
                                             "kick.rewind", "kick.play", "bounce.stop",
                                             "bounce.rewind", "bounce.play"}));

    log.clear();
    playFromStart(bank, soundNotLoaded);
    playFromStart(bank, -1);
    EXPECT_TRUE(log.empty());
}

TEST(SoundBank, AFailingStopOrRewindSkipsThePlay) {
    std::vector<std::string> log;
    SoundBank bank;
    FakeBuffer* buffer = addBuffer(bank, 0, "kick", log);

    buffer->failStop = true;
    playFromStart(bank, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"kick.stop"}));

    log.clear();
    buffer->failStop = false;
    buffer->failRewind = true;
    playFromStart(bank, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"kick.stop", "kick.rewind"}));
}

TEST(SoundBank, ShutdownReleasesBuffersThenPrimaryThenDeviceAndSkipsEmptyEntries) {
    std::vector<std::string> log;
    {
        SoundBank bank;
        bank.directSound = std::make_unique<FakeDevice>(log);
        bank.primaryBuffer = std::make_unique<FakeBuffer>("primary", log);
        bank.lastIndex = 0; // entry 0 taken but empty, as after a failed load
        addBuffer(bank, 1, "bounce", log);
        addBuffer(bank, 2, "hover", log);
    } // the bank's destruction is the shutdown
    EXPECT_EQ(log, (std::vector<std::string>{"bounce.stop", "bounce.release", "hover.stop",
                                             "hover.release", "primary.stop", "primary.release",
                                             "device.release"}));
}

} // namespace
