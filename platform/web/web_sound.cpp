#include "platform/web/web_sound.h"

#include "platform/sound_null.h"
#include "platform/web/page_bindings.h"

namespace platform::web {

namespace {

class PageSoundBuffer final : public MemorySoundBuffer {
public:
    using MemorySoundBuffer::MemorySoundBuffer;
    ~PageSoundBuffer() override { hopla_audio_stop(channel); }

    bool stop() override { return hopla_audio_stop(channel) != 0; }
    // A new source always starts at the first sample.
    bool rewind() override { return true; }
    bool play() override { return loaded && hopla_audio_play(channel) != 0; }
    // The samples are complete once unlocked: Web Audio gets its copy then.
    void unlock(const LockedRegions&) override {
        loaded =
            hopla_audio_load(channel, samples.data(), static_cast<std::uint32_t>(samples.size()),
                             static_cast<int>(format.samplesPerSec), format.channels,
                             format.bitsPerSample) != 0;
    }

private:
    bool loaded = false;
};

class PageSoundDevice final : public NullSoundDevice {
public:
    std::string lastError() const override { return "Web Audio refused"; }
    std::unique_ptr<FillableSoundBuffer> createBuffer(const WaveFormat& format, std::uint32_t bytes,
                                                      int channel) override {
        if ((format.bitsPerSample != 8 && format.bitsPerSample != 16) ||
            !acceptsBuffer(format, bytes))
            return nullptr;
        return std::make_unique<PageSoundBuffer>(format, bytes, channel);
    }
};

} // namespace

std::unique_ptr<SoundDevice> openPageSoundDevice(std::string& reason) {
    if (!hopla_audio_open()) {
        reason = "this browser has no Web Audio";
        return nullptr;
    }
    return std::make_unique<PageSoundDevice>();
}

} // namespace platform::web
