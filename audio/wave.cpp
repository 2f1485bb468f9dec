#include "audio/wave.h"

#include <algorithm>
#include <cstring>

namespace audio {

namespace {

std::uint32_t readU32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

bool isId(const std::uint8_t* at, const char* id) {
    return std::memcmp(at, id, 4) == 0;
}

// Reads the format record from a "fmt " body, field by field and never past the body: a body of
// 14 or 16 bytes simply leaves the later fields at 0.
platform::WaveFormat readFormat(const std::uint8_t* body, std::uint32_t bodySize) {
    std::uint8_t record[18] = {};
    std::memcpy(record, body, std::min<std::uint32_t>(bodySize, sizeof record));
    auto u16 = [&](int at) {
        return static_cast<std::uint16_t>(record[at] | static_cast<unsigned>(record[at + 1]) << 8);
    };
    platform::WaveFormat format;
    format.formatTag = u16(0);
    format.channels = u16(2);
    format.samplesPerSec = readU32(record + 4);
    format.avgBytesPerSec = readU32(record + 8);
    format.blockAlign = u16(12);
    format.bitsPerSample = u16(14);
    format.extraSize = u16(16);
    return format;
}

constexpr std::uint32_t minFormatBody = 14;

} // namespace

bool parseWave(const std::uint8_t* bytes, std::size_t size, platform::WaveFormat* format,
               const std::uint8_t** samples, std::uint32_t* count) {
    if (!format || !samples || !count) return false;
    *format = {};
    *samples = nullptr;
    *count = 0;
    if (!bytes || size < 12) return false;
    if (!isId(bytes, "RIFF") || !isId(bytes + 8, "WAVE")) return false;

    // The walk ends where the RIFF size says; positions are 64-bit so no size written in the
    // data can wrap them round.
    const std::uint64_t end = 8 + std::uint64_t{readU32(bytes + 4)};
    std::uint64_t position = 12;
    if (position >= end) return false;

    bool haveFormat = false;
    bool haveData = false;
    platform::WaveFormat takenFormat;
    const std::uint8_t* takenSamples = nullptr;
    std::uint32_t takenCount = 0;
    auto succeed = [&] {
        *format = takenFormat;
        *samples = takenSamples;
        *count = takenCount;
        return true;
    };

    for (;;) {
        // A chunk header or a body that is used must lie wholly within the real bytes: a
        // damaged resource fails here instead of being read past its end.
        if (position + 8 > size) return false;
        const std::uint8_t* header = bytes + position;
        const std::uint32_t bodySize = readU32(header + 4);
        const std::uint64_t body = position + 8;
        const bool bodyInside = body + bodySize <= size;

        if (isId(header, "fmt ") && !haveFormat) {
            if (bodySize < minFormatBody || !bodyInside) return false;
            takenFormat = readFormat(bytes + body, bodySize);
            haveFormat = true;
            if (haveData && takenCount != 0) return succeed();
        } else if (isId(header, "data") && (!haveData || takenCount == 0)) {
            if (!bodyInside) return false;
            takenSamples = bytes + body;
            takenCount = bodySize;
            haveData = true;
            if (haveFormat) return succeed();
        }

        // A body of odd size is followed by one pad byte.
        position = body + bodySize + (bodySize & 1u);
        if (position >= end) return false;
    }
}

bool findWaveResource(ResourceModule module, int resourceId, platform::WaveFormat* format,
                      const std::uint8_t** samples, std::uint32_t* count) {
    const int id = resourceId & 0xFFFF;
    const std::optional<platform::Resource> resource =
        module ? module(platform::ResourceType::Wave, id)
               : platform::findResource(platform::ResourceType::Wave, id);
    if (!resource) {
        if (format) *format = {};
        if (samples) *samples = nullptr;
        if (count) *count = 0;
        return false;
    }
    return parseWave(resource->bytes, resource->size, format, samples, count);
}

} // namespace audio
