#include "audio/sound_bank.h"
#include "tests/audio/fake_sound.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace audio;

namespace {

using Log = std::vector<std::string>;

TEST(SoundBank, PlayFromStartStopsRewindsAndPlaysOnlyThatSoundAndSkipsThePlayOnAFailure) {
    fakesound::Script script;
    fakesound::script = &script;
    SoundBank bank;
    bank.buffers[0] = std::make_unique<fakesound::Buffer>("kick");
    bank.buffers[1] = std::make_unique<fakesound::Buffer>("bounce");
    bank.lastIndex = 2; // entry 2 taken but empty, as after a failed load

    playFromStart(bank, 0);
    playFromStart(bank, 0); // a sound still playing starts again from its first sample
    playFromStart(bank, 1);
    // Nothing for the ids that name no sound: negative, an empty entry, past the bank.
    for (SoundId id : {soundNotLoaded, -1, 2, 3, SoundBank::maxSounds}) playFromStart(bank, id);
    EXPECT_EQ(script.log, (Log{"kick.stop", "kick.rewind", "kick.play", "kick.stop", "kick.rewind",
                               "kick.play", "bounce.stop", "bounce.rewind", "bounce.play"}));

    const std::pair<const char*, Log> failures[] = {
        {"kick.stop", {"kick.stop"}},
        {"kick.rewind", {"kick.stop", "kick.rewind"}},
    };
    for (const auto& [refused, expected] : failures) {
        SCOPED_TRACE(refused);
        script.log.clear();
        script.refused = refused;
        playFromStart(bank, 0);
        EXPECT_EQ(script.log, expected);
    }
}

TEST(SoundBank, ShutdownReleasesBuffersThenPrimaryThenDeviceOnceAndSkipsEmptyEntries) {
    fakesound::Script script;
    fakesound::script = &script;
    {
        SoundBank bank;
        bank.directSound = std::make_unique<fakesound::Device>();
        bank.primaryBuffer = std::make_unique<fakesound::Buffer>("primary");
        bank.buffers[1] = std::make_unique<fakesound::Buffer>("bounce");
        bank.buffers[2] = std::make_unique<fakesound::Buffer>("hover");
        bank.lastIndex = 2; // entry 0 taken but empty, as after a failed load
        shutdownSound(bank);
        EXPECT_EQ(script.log, (Log{"bounce.stop", "bounce.release", "hover.stop", "hover.release",
                                   "primary.stop", "primary.release", "device.release"}));
        script.log.clear();
    } // the bank's destruction shuts it down again, with nothing left to do
    EXPECT_TRUE(script.log.empty());
}

} // namespace
