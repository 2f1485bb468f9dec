#include "platform/null/null_sound.h"

namespace platform {

bool NullSoundBuffer::lock(std::uint32_t offset, std::uint32_t bytes, LockedRegions& regions) {
    if (offset > samples.size() || bytes > samples.size() - offset || bytes == 0) return false;
    regions = {samples.data() + offset, bytes, nullptr, 0};
    return true;
}

std::unique_ptr<SoundBuffer> NullSoundDevice::createPrimaryBuffer() {
    return std::make_unique<NullSoundBuffer>();
}

std::unique_ptr<FillableSoundBuffer> NullSoundDevice::createBuffer(const WaveFormat&,
                                                                   std::uint32_t bytes, int) {
    return std::make_unique<NullSoundBuffer>(bytes);
}

std::unique_ptr<SoundDevice> openNullSoundDevice(std::string&) {
    return std::make_unique<NullSoundDevice>();
}

std::unique_ptr<SoundDevice> openNoSoundDevice(std::string& reason) {
    reason = "no sound system on this machine";
    return nullptr;
}

int nullPlays(const SoundBuffer* buffer) {
    const auto* null = dynamic_cast<const NullSoundBuffer*>(buffer);
    return null ? null->plays : 0;
}

} // namespace platform
