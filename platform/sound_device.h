// The sound device that the game's sound bank owns: opened at start-up, closed at exit.
// Closing it (destroying the object) also shuts the audio system down.
#pragma once

namespace platform {

class SoundDevice {
public:
    virtual ~SoundDevice() = default;
};

} // namespace platform
