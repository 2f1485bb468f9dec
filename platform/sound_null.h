// A sound device that plays nowhere: it accepts every step and keeps each sound's samples, so
// the game starts and plays exactly as with a real device, silently. For the headless renderer
// and tests, and the base of devices that hand the samples on elsewhere.
#pragma once

#include "platform/sound_device.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A sound buffer in memory: lock hands out its bytes, stop, rewind and play always work.
class MemorySoundBuffer : public FillableSoundBuffer {
public:
    MemorySoundBuffer(const WaveFormat& format, std::uint32_t bytes, int channel)
        : format(format), samples(bytes), channel(channel) {}
    bool stop() override { return true; }
    bool rewind() override { return true; }
    bool play() override { return true; }
    bool lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) override;
    void unlock(const LockedRegions&) override {}

    const WaveFormat format;
    std::vector<std::uint8_t> samples;
    const int channel;
};

class NullSoundDevice : public SoundDevice {
public:
    bool setCooperativeLevel(CooperativeLevel) override { return true; }
    std::unique_ptr<SoundBuffer> createPrimaryBuffer() override;
    bool setPrimaryFormat(const WaveFormat&) override { return true; }
    // Any PCM format with a whole number of bytes per sample frame, and at least one byte.
    static bool acceptsBuffer(const WaveFormat& format, std::uint32_t bytes);
    std::unique_ptr<FillableSoundBuffer> createBuffer(const WaveFormat& format, std::uint32_t bytes,
                                                      int channel) override;
};

// Opens the silent device; never fails.
std::unique_ptr<SoundDevice> openNullSoundDevice(std::string& reason);

} // namespace platform
