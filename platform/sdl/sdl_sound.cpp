#include "platform/sdl/sdl_sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstring>
#include <vector>

namespace platform {

namespace {

// SDL's words for what failed, and how a machine without a sound device runs the game.
std::string sdlReason() {
    return std::string(SDL_GetError()) +
           "; with SDL_AUDIODRIVER=dummy the game plays without sound";
}

constexpr int mixerChannels = 16;
// About 23 ms of output per mix: short enough that a kick sounds as the button goes down.
constexpr int mixChunkFrames = 512;

// The SDL sample format for samples of a WAVE format, or 0 when the format is not one we can
// play: PCM of 8, 16, 24 or 32 bits, 1 to 8 channels, with a consistent block size.
// 24-bit samples are widened to 32 bits first, since SDL has no 24-bit format.
SDL_AudioFormat sourceFormatOf(const WaveFormat& format) {
    if (format.formatTag != waveFormatPcm) return 0;
    if (format.channels < 1 || format.channels > 8 || format.samplesPerSec == 0) return 0;
    if (format.bitsPerSample % 8 != 0 || format.bitsPerSample < 8 || format.bitsPerSample > 32)
        return 0;
    if (format.blockAlign != format.channels * (format.bitsPerSample / 8)) return 0;
    switch (format.bitsPerSample) {
    case 8:
        return AUDIO_U8;
    case 16:
        return AUDIO_S16LSB;
    default:
        return AUDIO_S32LSB;
    }
}

// What the mixer really opened, which SDL may have chosen differently from what was asked.
struct OutputFormat {
    int frequency = 0;
    SDL_AudioFormat format = 0;
    int channels = 0;
};

bool queryOutput(OutputFormat& output) {
    Uint16 format = 0;
    if (Mix_QuerySpec(&output.frequency, &format, &output.channels) == 0) {
        SDL_SetError("the sound output is not open");
        return false;
    }
    output.format = format;
    return true;
}

// Turns the staged WAVE samples into the output's format. Gives nothing when SDL can't.
std::vector<std::uint8_t> convertForOutput(const std::vector<std::uint8_t>& staged,
                                           const WaveFormat& source, SDL_AudioFormat sourceFormat,
                                           const OutputFormat& output) {
    const std::size_t frames = staged.size() / source.blockAlign;
    std::vector<std::uint8_t> samples;
    if (source.bitsPerSample == 24) {
        const std::size_t values = frames * source.channels;
        samples.resize(values * 4);
        for (std::size_t i = 0; i < values; ++i) {
            samples[i * 4] = 0;
            std::memcpy(&samples[i * 4 + 1], &staged[i * 3], 3);
        }
    } else {
        samples.assign(staged.begin(),
                       staged.begin() + static_cast<std::ptrdiff_t>(frames * source.blockAlign));
    }

    SDL_AudioCVT cvt;
    const int needed = SDL_BuildAudioCVT(&cvt, sourceFormat, static_cast<Uint8>(source.channels),
                                         static_cast<int>(source.samplesPerSec), output.format,
                                         static_cast<Uint8>(output.channels), output.frequency);
    if (needed < 0) return {};
    if (needed == 0) return samples;
    const std::size_t length = samples.size();
    samples.resize(length * static_cast<std::size_t>(cvt.len_mult));
    cvt.buf = samples.data();
    cvt.len = static_cast<int>(length);
    if (SDL_ConvertAudio(&cvt) != 0) return {};
    const std::size_t outputFrame =
        static_cast<std::size_t>(SDL_AUDIO_BITSIZE(output.format) / 8 * output.channels);
    samples.resize(static_cast<std::size_t>(cvt.len_cvt) / outputFrame * outputFrame);
    return samples;
}

// The output itself: made by opening the mixer, played by starting the game's channels,
// destroyed by closing the mixer.
class SdlPrimaryBuffer final : public SoundBuffer {
public:
    ~SdlPrimaryBuffer() override { Mix_CloseAudio(); }
    bool stop() override {
        Mix_HaltChannel(-1);
        return true;
    }
    bool rewind() override { return true; }
    bool play() override {
        if (Mix_AllocateChannels(mixerChannels) != mixerChannels) {
            SDL_SetError("the mixer could not make %d channels", mixerChannels);
            return false;
        }
        Mix_Resume(-1);
        return true;
    }
};

// One sound on its own mixer channel. Its samples are staged in the WAVE's format while it is
// filled, then converted to the output's format; the mixer plays them in place from here.
class SdlSoundBuffer final : public FillableSoundBuffer {
public:
    SdlSoundBuffer(const WaveFormat& format, SDL_AudioFormat sourceFormat, std::uint32_t bytes,
                   int channel, const OutputFormat& output)
        : format(format), sourceFormat(sourceFormat), channel(channel), output(output),
          staged(bytes) {}
    ~SdlSoundBuffer() override { release(); }

    bool lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) override {
        if (offset > staged.size() || bytes > staged.size() - offset || bytes == 0) return false;
        regions = {staged.data() + offset, bytes, nullptr, 0};
        return true;
    }

    void unlock(const LockedRegions&) override {
        release();
        samples = convertForOutput(staged, format, sourceFormat, output);
        if (samples.empty()) return;
        chunk = Mix_QuickLoad_RAW(samples.data(), static_cast<Uint32>(samples.size()));
    }

    bool stop() override {
        Mix_HaltChannel(channel);
        return true;
    }
    // Every play starts at the first sample, so there is nothing to wind back; a buffer without
    // samples can't be played.
    bool rewind() override { return chunk != nullptr; }
    bool play() override { return chunk && Mix_PlayChannel(channel, chunk, 0) == channel; }

    std::size_t playedBytes() const { return chunk ? samples.size() : 0; }

private:
    void release() {
        if (!chunk) return;
        Mix_HaltChannel(channel);
        Mix_FreeChunk(chunk); // frees the chunk record only: the samples are ours
        chunk = nullptr;
    }

    WaveFormat format;
    SDL_AudioFormat sourceFormat;
    int channel;
    OutputFormat output;
    std::vector<std::uint8_t> staged;
    std::vector<std::uint8_t> samples;
    Mix_Chunk* chunk = nullptr;
};

class SdlSoundDevice final : public SoundDevice {
public:
    ~SdlSoundDevice() override { SDL_QuitSubSystem(SDL_INIT_AUDIO); }

    std::string lastError() const override { return sdlReason(); }

    // SDL shares the output with other programs on its own; either level is granted.
    bool setCooperativeLevel(CooperativeLevel) override { return true; }

    // No changes to the format are allowed: SDL converts to whatever the real device wants,
    // so the game's raw 22050 Hz mono samples play as they are.
    std::unique_ptr<SoundBuffer> createPrimaryBuffer() override {
        if (Mix_OpenAudioDevice(static_cast<int>(gameSoundFormat.samplesPerSec), AUDIO_S16SYS,
                                gameSoundFormat.channels, mixChunkFrames, nullptr, 0) != 0) {
            return nullptr;
        }
        return std::make_unique<SdlPrimaryBuffer>();
    }

    // The output runs the format it was opened with; any other is refused.
    bool setPrimaryFormat(const WaveFormat& format) override {
        OutputFormat output;
        if (!queryOutput(output)) return false;
        const SDL_AudioFormat wanted = format.bitsPerSample == 8    ? AUDIO_U8
                                       : format.bitsPerSample == 16 ? AUDIO_S16SYS
                                                                    : 0;
        if (format.formatTag != waveFormatPcm || wanted == 0 || output.format != wanted ||
            output.channels != format.channels ||
            output.frequency != static_cast<int>(format.samplesPerSec)) {
            SDL_SetError("the sound output runs at %d Hz with %d channels, not the format asked",
                         output.frequency, output.channels);
            return false;
        }
        return true;
    }

    std::unique_ptr<FillableSoundBuffer> createBuffer(const WaveFormat& format, std::uint32_t bytes,
                                                      int channel) override {
        OutputFormat output;
        if (!queryOutput(output)) return nullptr;
        const SDL_AudioFormat sourceFormat = sourceFormatOf(format);
        if (sourceFormat == 0) {
            SDL_SetError("the sound is not in a PCM format that can be played");
            return nullptr;
        }
        if (bytes < format.blockAlign) {
            SDL_SetError("the sound holds no samples");
            return nullptr;
        }
        if (channel < 0 || channel >= mixerChannels) {
            SDL_SetError("there is no mixer channel %d", channel);
            return nullptr;
        }
        SDL_AudioCVT probe;
        if (SDL_BuildAudioCVT(&probe, sourceFormat, static_cast<Uint8>(format.channels),
                              static_cast<int>(format.samplesPerSec), output.format,
                              static_cast<Uint8>(output.channels), output.frequency) < 0) {
            return nullptr;
        }
        return std::make_unique<SdlSoundBuffer>(format, sourceFormat, bytes, channel, output);
    }
};

} // namespace

std::unique_ptr<SoundDevice> openSdlSoundDevice(std::string& reason) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = sdlReason();
        return nullptr;
    }
    return std::make_unique<SdlSoundDevice>();
}

std::size_t sdlPlayedBytes(const SoundBuffer& buffer) {
    const auto* sdlBuffer = dynamic_cast<const SdlSoundBuffer*>(&buffer);
    return sdlBuffer ? sdlBuffer->playedBytes() : 0;
}

} // namespace platform
