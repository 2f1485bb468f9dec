// The sound device on SDL2 and SDL2_mixer: the output opened at the game's 22050 Hz mono 16-bit
// format, and one mixer channel per sound of the bank (the sound in entry i plays on channel i).
#pragma once

#include "platform/sound_device.h"

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// Starts SDL's audio subsystem and gives the device over it, or nothing with SDL's reason.
// Destroying the device stops the subsystem again.
std::unique_ptr<SoundDevice> openSdlSoundDevice(std::string& reason);

// How many bytes of samples, in the output's format, a buffer made by the SDL device plays
// (0 for any other buffer, or before it was filled). Lets tests see a conversion's result.
std::size_t sdlPlayedBytes(const SoundBuffer& buffer);

} // namespace platform
