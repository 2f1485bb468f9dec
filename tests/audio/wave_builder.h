// Builds RIFF WAVE bytes chunk by chunk for the tests, with any sizes written into them.
#pragma once

#include "platform/sound_device.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testwave {

inline void put16(std::vector<std::uint8_t>& out, unsigned value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put16(out, value & 0xFFFFu);
    put16(out, value >> 16);
}

// The first `size` bytes of a format record.
inline std::vector<std::uint8_t> formatBody(const platform::WaveFormat& format,
                                            std::size_t size = 18) {
    std::vector<std::uint8_t> body;
    put16(body, format.formatTag);
    put16(body, format.channels);
    put32(body, format.samplesPerSec);
    put32(body, format.avgBytesPerSec);
    put16(body, format.blockAlign);
    put16(body, format.bitsPerSample);
    put16(body, format.extraSize);
    body.resize(size, 0);
    return body;
}

// Sample bytes that count up from `first`, so a copy can be told from the original.
inline std::vector<std::uint8_t> sampleBytes(std::size_t count, std::uint8_t first = 1) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

class Builder {
public:
    // A chunk; `declared` overrides the size written in its header, `pad` adds the pad byte
    // after an odd-sized body.
    Builder& chunk(const std::string& id, const std::vector<std::uint8_t>& body,
                   std::optional<std::uint32_t> declared = std::nullopt, bool pad = true) {
        chunks.insert(chunks.end(), id.begin(), id.end());
        put32(chunks, declared.value_or(static_cast<std::uint32_t>(body.size())));
        chunks.insert(chunks.end(), body.begin(), body.end());
        if (pad && body.size() % 2 != 0) chunks.push_back(0);
        return *this;
    }

    // Offset of the next chunk's body from the start of the file.
    std::size_t nextBodyOffset() const { return 12 + chunks.size() + 8; }

    // "RIFF", the RIFF size (by default the true one), "WAVE" and the chunks.
    std::vector<std::uint8_t> bytes(std::optional<std::uint32_t> riffSize = std::nullopt) const {
        std::vector<std::uint8_t> out{'R', 'I', 'F', 'F'};
        put32(out, riffSize.value_or(static_cast<std::uint32_t>(4 + chunks.size())));
        out.insert(out.end(), {'W', 'A', 'V', 'E'});
        out.insert(out.end(), chunks.begin(), chunks.end());
        return out;
    }

private:
    std::vector<std::uint8_t> chunks;
};

// A whole WAVE in the usual layout: fmt, fact, data, LIST.
inline std::vector<std::uint8_t> simpleWave(const platform::WaveFormat& format,
                                            const std::vector<std::uint8_t>& samples) {
    std::vector<std::uint8_t> fact;
    put32(fact,
          static_cast<std::uint32_t>(samples.size() / (format.blockAlign ? format.blockAlign : 1)));
    return Builder()
        .chunk("fmt ", formatBody(format))
        .chunk("fact", fact)
        .chunk("data", samples)
        .chunk("LIST", {'I', 'N', 'F', 'O'})
        .bytes();
}

} // namespace testwave
