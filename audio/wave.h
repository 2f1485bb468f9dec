// The game's sounds are RIFF WAVE resources: finding one by id and walking its chunks to the
// sample format and the sample bytes. Plain logic, no sound device needed.
#pragma once

#include "platform/resources.h"
#include "platform/sound_device.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace audio {

// Where WAVE resources are looked up: a function that finds one by type and id. Null stands
// for the program's own resources, the ones compiled into the executable.
using ResourceModule = std::optional<platform::Resource> (*)(platform::ResourceType type, int id);
constexpr ResourceModule ownModule = nullptr;

// Walks the RIFF chunks of `size` bytes to the first usable "fmt " and "data" pair. On success
// true with the format, a pointer to the sample bytes (inside `bytes`) and their count;
// otherwise false with the format cleared, no samples and a count of 0. Never reads outside the
// bytes, whatever sizes are written in them.
bool parseWave(const std::uint8_t* bytes, std::size_t size, platform::WaveFormat* format,
               const std::uint8_t** samples, std::uint32_t* count);

// Finds the "WAVE" resource with the id's low 16 bits in the module and parses it. The sample
// pointer points into the resource, which lives as long as the program.
bool findWaveResource(ResourceModule module, int resourceId, platform::WaveFormat* format,
                      const std::uint8_t** samples, std::uint32_t* count);

} // namespace audio
