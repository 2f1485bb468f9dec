// The game's sound effects: one playable buffer per sound, named by its index (its SoundId),
// and the one operation play needs, restarting a sound from its first sample.
#pragma once

#include "platform/sound_buffer.h"
#include "platform/sound_device.h"

#include <array>
#include <cstdint>
#include <memory>

namespace audio {

// Index of a sound in the bank; soundNotLoaded (or any negative id) is never played.
using SoundId = std::int32_t;
constexpr SoundId soundNotLoaded = -2;

struct SoundBank {
    static constexpr std::int32_t maxSounds = 16;

    SoundBank() = default;
    SoundBank(const SoundBank&) = delete;
    SoundBank& operator=(const SoundBank&) = delete;
    ~SoundBank(); // shuts the bank down: see shutdownSound

    std::unique_ptr<platform::SoundDevice> soundDevice;
    std::unique_ptr<platform::SoundBuffer> primaryBuffer;
    std::int32_t capacity = maxSounds;
    std::array<std::unique_ptr<platform::SoundBuffer>, maxSounds> buffers;
    std::int32_t lastIndex = -1;
};

// Cuts the sound off if it is playing and plays it once from its first sample. Does nothing
// for a negative id; a failing stop or rewind skips the play.
void playFromStart(SoundBank& bank, SoundId id);

// Stops and releases every loaded buffer, then the primary buffer, then the device.
// Safe to run on a bank that was never set up, and more than once.
void shutdownSound(SoundBank& bank);

} // namespace audio
