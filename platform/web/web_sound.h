// The sound device of the web page: Web Audio. Each sound of the bank becomes an AudioBuffer
// once its samples are written; playing it starts a new source and cuts off the one that entry
// started before, as a restarted sound is cut off on the desktop.
#pragma once

#include "platform/sound_device.h"

#include <memory>
#include <string>

namespace platform::web {

// Opens Web Audio, or nothing when the browser has none.
std::unique_ptr<SoundDevice> openPageSoundDevice(std::string& reason);

} // namespace platform::web
