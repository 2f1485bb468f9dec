// The sound device that the game's sound bank owns: opened at start-up, closed at exit.
// Closing it (destroying the object) also shuts the audio system down.
#pragma once

#include "platform/sound_buffer.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// The format of a sound's samples, field for field the format record of a WAVE file's "fmt "
// chunk. Fields that a short "fmt " body does not reach are 0.
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

constexpr std::uint16_t waveFormatPcm = 1;

// The format the game's sounds are made in and the device plays: 22050 Hz, mono, 16-bit.
constexpr WaveFormat gameSoundFormat{waveFormatPcm, 1, 22050, 44100, 2, 16, 0};

// How politely the game shares the output: Priority lets it choose the output format.
enum class CooperativeLevel { Normal = 1, Priority = 2 };

// The writable bytes of a buffer while it is locked: up to two regions, the second one empty
// unless the locked range wraps round the end of the buffer.
struct LockedRegions {
    std::uint8_t* first = nullptr;
    std::uint32_t firstBytes = 0;
    std::uint8_t* second = nullptr;
    std::uint32_t secondBytes = 0;
};

// A sound's buffer as it is made: its samples are written between lock and unlock, in the
// format the buffer was created with, before it is first played.
class FillableSoundBuffer : public SoundBuffer {
public:
    virtual bool lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) = 0;
    virtual void unlock(const LockedRegions& regions) = 0;
};

// Every step has a default that fails, so a device that does only part of the job (a test's
// stand-in, say) need not spell out the rest.
class SoundDevice {
public:
    virtual ~SoundDevice() = default;

    // Why the last step failed, in the sound system's own words.
    virtual std::string lastError() const { return "the sound device cannot do this"; }

    virtual bool setCooperativeLevel(CooperativeLevel) { return false; }

    // The primary buffer stands for the output itself: creating it opens the output, playing
    // it starts the mix and destroying it closes the output again.
    virtual std::unique_ptr<SoundBuffer> createPrimaryBuffer() { return nullptr; }
    virtual bool setPrimaryFormat(const WaveFormat&) { return false; }

    // A buffer of the given size for samples of the given format, played on the given channel
    // (the sound's place in the bank). Formats the device cannot play give no buffer.
    virtual std::unique_ptr<FillableSoundBuffer>
    createBuffer(const WaveFormat&, std::uint32_t /*bytes*/, int /*channel*/) {
        return nullptr;
    }
};

// Starts the audio system and gives its device, or nothing with the reason in `reason`.
using SoundDeviceOpener = std::unique_ptr<SoundDevice> (*)(std::string& reason);

} // namespace platform
