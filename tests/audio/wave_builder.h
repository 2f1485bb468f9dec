// Builds RIFF WAVE bytes chunk by chunk for the tests, with any sizes written into them, and a
// stand-in resource module that serves such WAVEs by id.
#pragma once

#include "audio/wave.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testwave {

using Bytes = std::vector<std::uint8_t>;

inline void put(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// The first `size` bytes of a format record.
inline Bytes formatBody(const platform::WaveFormat& f, std::size_t size = 18) {
    Bytes body;
    put(body, f.formatTag, 2);
    put(body, f.channels, 2);
    put(body, f.samplesPerSec, 4);
    put(body, f.avgBytesPerSec, 4);
    put(body, f.blockAlign, 2);
    put(body, f.bitsPerSample, 2);
    put(body, f.extraSize, 2);
    body.resize(size, 0);
    return body;
}

// Sample bytes that count up from `first`, so a copy can be told from the original.
inline Bytes sampleBytes(std::size_t count, std::uint8_t first = 1) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

struct Chunk {
    std::string id;
    Bytes body;
    std::optional<std::uint32_t> declared = std::nullopt; // the size written, if not the true one
    bool pad = true;                                      // the pad byte after an odd-sized body
};

// "RIFF", the RIFF size (by default the true one), "WAVE" and the chunks.
inline Bytes riff(const std::vector<Chunk>& chunks,
                  std::optional<std::uint32_t> riffSize = std::nullopt) {
    Bytes out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        out.insert(out.end(), c.id.begin(), c.id.end());
        put(out, c.declared.value_or(static_cast<std::uint32_t>(c.body.size())), 4);
        out.insert(out.end(), c.body.begin(), c.body.end());
        if (c.pad && c.body.size() % 2 != 0) out.push_back(0);
    }
    const std::uint32_t size = riffSize.value_or(static_cast<std::uint32_t>(out.size() - 8));
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<std::uint8_t>(size >> (8 * i));
    return out;
}

// A WAVE of only its format and its samples.
inline Bytes wave(const platform::WaveFormat& format, const Bytes& samples) {
    return riff({{"fmt ", formatBody(format)}, {"data", samples}});
}

// The WAVE resources of the stand-in module, by id.
inline std::map<int, Bytes> moduleWaves;

inline std::optional<platform::Resource> module(platform::ResourceType type, int id) {
    const auto found = moduleWaves.find(id);
    if (type != platform::ResourceType::Wave || found == moduleWaves.end()) return std::nullopt;
    return platform::Resource{found->second.data(), found->second.size()};
}

} // namespace testwave
