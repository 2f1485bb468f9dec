#include "audio/sound_setup.h"

#include "platform/message_box.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

namespace audio {

namespace {

platform::SoundDeviceOpener installedOpener = nullptr;

// The message box tells the player what failed; stderr also gets the sound system's reason.
bool failSetUp(const char* message, const std::string& reason) {
    platform::showMessageBox("Error", message);
    std::fprintf(stderr, "Sound: %s\n", reason.c_str());
    return false;
}

} // namespace

platform::SoundDeviceOpener setSoundDeviceOpener(platform::SoundDeviceOpener opener) {
    return std::exchange(installedOpener, opener);
}

bool initSound(SoundBank& bank) {
    std::string reason = "no sound system was installed in this program";
    if (installedOpener) bank.soundDevice = installedOpener(reason);
    if (!bank.soundDevice) return failSetUp("Unable to create DirectSound object", reason);
    platform::SoundDevice& device = *bank.soundDevice;

    if (!device.setCooperativeLevel(platform::CooperativeLevel::Priority) &&
        !device.setCooperativeLevel(platform::CooperativeLevel::Normal)) {
        return failSetUp("Unable to set DirectSound cooperative level", device.lastError());
    }

    bank.primaryBuffer = device.createPrimaryBuffer();
    if (!bank.primaryBuffer) {
        return failSetUp("Failed to create primary sound buffer.", device.lastError());
    }
    if (!device.setPrimaryFormat(platform::gameSoundFormat)) {
        return failSetUp("Failed to set primary sound buffer format.", device.lastError());
    }
    if (!bank.primaryBuffer->play()) {
        return failSetUp("Failed to set primary sound buffer playing.", device.lastError());
    }
    return true;
}

SoundId loadSound(SoundBank& bank, int resourceId, ResourceModule module) {
    const std::int32_t entries = std::min(bank.capacity, SoundBank::maxSounds);
    if (bank.lastIndex >= entries - 1) return soundNotLoaded;
    const SoundId entry = ++bank.lastIndex;

    platform::WaveFormat format;
    const std::uint8_t* samples = nullptr;
    std::uint32_t count = 0;
    if (!findWaveResource(module, resourceId, &format, &samples, &count)) return soundNotLoaded;

    // Without a device (its set-up failed) there is nothing to make a buffer with.
    if (!bank.soundDevice) return soundNotLoaded;
    std::unique_ptr<platform::FillableSoundBuffer> buffer =
        bank.soundDevice->createBuffer(format, count, entry);
    if (!buffer) return soundNotLoaded;

    // The buffer only joins the bank once it holds its sound; a failed fill releases it.
    if (!fillSoundBuffer(buffer.get(), samples, count)) return soundNotLoaded;
    bank.buffers[static_cast<std::size_t>(entry)] = std::move(buffer);
    return entry;
}

bool fillSoundBuffer(platform::FillableSoundBuffer* buffer, const std::uint8_t* samples,
                     std::uint32_t count) {
    if (!buffer || !samples || count == 0) return false;
    platform::LockedRegions regions;
    if (!buffer->lock(0, count, regions)) return false;
    // However large the regions the buffer hands out, no more than `count` bytes are read.
    const std::uint32_t first = std::min(regions.firstBytes, count);
    if (first != 0 && regions.first) std::memcpy(regions.first, samples, first);
    const std::uint32_t second = std::min(regions.secondBytes, count - first);
    if (second != 0 && regions.second) std::memcpy(regions.second, samples + first, second);
    buffer->unlock(regions);
    return true;
}

} // namespace audio
