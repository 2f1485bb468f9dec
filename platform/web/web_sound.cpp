#include "platform/web/web_sound.h"

#include "platform/web/page_bindings.h"

#include <vector>

namespace platform::web {

namespace {

// The output itself: Web Audio mixes on its own, so the primary buffer has nothing to do.
class PagePrimaryBuffer final : public SoundBuffer {
public:
    bool stop() override { return true; }
    bool rewind() override { return true; }
    bool play() override { return true; }
};

// A sound of the bank: its samples are kept until unlocked, when Web Audio gets its copy.
class PageSoundBuffer final : public FillableSoundBuffer {
public:
    PageSoundBuffer(const WaveFormat& format, std::uint32_t bytes, int entry)
        : format(format), samples(bytes), entry(entry) {}
    ~PageSoundBuffer() override { hopla_audio_stop(entry); }

    bool stop() override { return hopla_audio_stop(entry) != 0; }
    // A new source always starts at the first sample.
    bool rewind() override { return true; }
    bool play() override { return loaded && hopla_audio_play(entry) != 0; }
    bool lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) override {
        if (offset > samples.size() || bytes > samples.size() - offset) return false;
        regions = {samples.data() + offset, bytes, nullptr, 0};
        return true;
    }
    void unlock(const LockedRegions&) override {
        loaded = hopla_audio_load(entry, samples.data(), static_cast<std::uint32_t>(samples.size()),
                                  static_cast<int>(format.samplesPerSec), format.channels,
                                  format.bitsPerSample) != 0;
    }

private:
    const WaveFormat format;
    std::vector<std::uint8_t> samples;
    const int entry;
    bool loaded = false;
};

class PageSoundDevice final : public SoundDevice {
public:
    std::string lastError() const override { return "Web Audio refused"; }
    bool setCooperativeLevel(CooperativeLevel) override { return true; }
    std::unique_ptr<SoundBuffer> createPrimaryBuffer() override {
        return std::make_unique<PagePrimaryBuffer>();
    }
    bool setPrimaryFormat(const WaveFormat&) override { return true; }
    // PCM of 8 or 16 bits, which the page turns into Web Audio's samples.
    std::unique_ptr<FillableSoundBuffer> createBuffer(const WaveFormat& format, std::uint32_t bytes,
                                                      int entry) override {
        if (format.formatTag != waveFormatPcm || format.channels == 0 || bytes == 0 ||
            (format.bitsPerSample != 8 && format.bitsPerSample != 16))
            return nullptr;
        return std::make_unique<PageSoundBuffer>(format, bytes, entry);
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
