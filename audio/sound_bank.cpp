#include "audio/sound_bank.h"

namespace audio {

SoundBank::~SoundBank() {
    shutdownSound(*this);
}

void playFromStart(SoundBank& bank, SoundId id) {
    if (id < 0 || id >= bank.capacity) return;
    platform::SoundBuffer* buffer = bank.buffers[static_cast<std::size_t>(id)].get();
    if (!buffer) return;
    if (!buffer->stop()) return;
    if (!buffer->rewind()) return;
    buffer->play();
}

void shutdownSound(SoundBank& bank) {
    for (std::int32_t i = 0; i <= bank.lastIndex && i < bank.capacity; ++i) {
        auto& entry = bank.buffers[static_cast<std::size_t>(i)];
        if (!entry) continue;
        entry->stop();
        entry.reset();
    }
    if (bank.primaryBuffer) {
        bank.primaryBuffer->stop();
        bank.primaryBuffer.reset();
    }
    // Destroying the device closes the audio system, as the last step of the shutdown.
    bank.soundDevice.reset();
}

} // namespace audio
