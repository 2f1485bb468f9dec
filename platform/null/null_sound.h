// The sound device that plays nothing: every step succeeds, each buffer keeps its samples and
// counts its plays. Tests, benchmarks and the headless renderer start the game's sound on it.
#pragma once

#include "platform/sound_device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class NullSoundBuffer final : public FillableSoundBuffer {
public:
    explicit NullSoundBuffer(std::uint32_t bytes = 0) : samples(bytes) {}
    bool stop() override { return true; }
    bool rewind() override { return true; }
    bool play() override {
        ++plays;
        return true;
    }
    bool lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) override;
    void unlock(const LockedRegions&) override {}

    std::vector<std::uint8_t> samples;
    int plays = 0; // how often the sound was started
};

class NullSoundDevice final : public SoundDevice {
public:
    bool setCooperativeLevel(CooperativeLevel) override { return true; }
    std::unique_ptr<SoundBuffer> createPrimaryBuffer() override;
    bool setPrimaryFormat(const WaveFormat&) override { return true; }
    std::unique_ptr<FillableSoundBuffer> createBuffer(const WaveFormat&, std::uint32_t bytes,
                                                      int channel) override;
};

// A SoundDeviceOpener that always succeeds.
std::unique_ptr<SoundDevice> openNullSoundDevice(std::string& reason);

// A SoundDeviceOpener that finds no sound system, as on a machine without sound.
std::unique_ptr<SoundDevice> openNoSoundDevice(std::string& reason);

// How often a buffer made by the null device was played (0 for any other buffer).
int nullPlays(const SoundBuffer* buffer);

} // namespace platform
