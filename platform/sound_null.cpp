#include "platform/sound_null.h"

namespace platform {

bool MemorySoundBuffer::lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) {
    if (offset > samples.size() || bytes > samples.size() - offset) return false;
    regions = {samples.data() + offset, bytes, nullptr, 0};
    return true;
}

std::unique_ptr<SoundBuffer> NullSoundDevice::createPrimaryBuffer() {
    return std::make_unique<MemorySoundBuffer>(gameSoundFormat, 0, -1);
}

bool NullSoundDevice::acceptsBuffer(const WaveFormat& format, std::uint32_t bytes) {
    return format.formatTag == waveFormatPcm && format.channels != 0 && format.blockAlign != 0 &&
           bytes != 0;
}

std::unique_ptr<FillableSoundBuffer>
NullSoundDevice::createBuffer(const WaveFormat& format, std::uint32_t bytes, int channel) {
    if (!acceptsBuffer(format, bytes)) return nullptr;
    return std::make_unique<MemorySoundBuffer>(format, bytes, channel);
}

std::unique_ptr<SoundDevice> openNullSoundDevice(std::string&) {
    return std::make_unique<NullSoundDevice>();
}

} // namespace platform
