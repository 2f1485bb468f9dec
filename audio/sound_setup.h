// Starting the sound device on the game's sound bank and loading the sound effects into it,
// one buffer per sound, from the WAVE resources.
#pragma once

#include "audio/sound_bank.h"
#include "audio/wave.h"
#include "platform/sound_device.h"

#include <cstdint>

namespace audio {

// The resource ids of the three sounds, loaded in this order so that they get SoundIds 0, 1, 2.
constexpr int kickSoundResource = 2032;
constexpr int bounceSoundResource = 2033;
constexpr int hoverSoundResource = 2034;

// How initSound starts the audio system. The program installs its real one before the scene
// is set up (platform::openSdlSoundDevice); tests, benchmarks and tools the null device
// (platform::openNullSoundDevice). Returns the previous one.
platform::SoundDeviceOpener setSoundDeviceOpener(platform::SoundDeviceOpener opener);

// Opens the device, sets up the output at the game's format and starts it. True when
// sound is ready; otherwise shows what failed under the caption "Error" (with the sound
// system's own reason on stderr) and returns false. What was made before a failure stays in the
// bank until shutdownSound.
bool initSound(SoundBank& bank);

// Loads a WAVE resource into the next entry of the bank and returns its SoundId, or
// soundNotLoaded. A failed load still takes its entry, unless the bank was already full.
SoundId loadSound(SoundBank& bank, int resourceId, ResourceModule module = ownModule);

// Copies `count` sample bytes into the buffer from its start. False when the buffer
// or the samples are missing, the count is 0 or the buffer can't be locked.
bool fillSoundBuffer(platform::FillableSoundBuffer* buffer, const std::uint8_t* samples,
                     std::uint32_t count);

} // namespace audio
