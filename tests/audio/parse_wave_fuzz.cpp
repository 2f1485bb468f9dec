// parseWave on any bytes: it must never read outside them, and what it hands back must lie
// inside them. The input is walked twice: as it is, and as the chunks of a WAVE built from it,
// so that even plain random input reaches the chunk walk.
#include "audio/wave.h"
#include "tests/audio/wave_builder.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

using namespace audio;

namespace {

void check(const std::uint8_t* data, std::size_t size) {
    platform::WaveFormat format;
    const std::uint8_t* samples = nullptr;
    std::uint32_t count = 0;
    if (parseWave(data, size, &format, &samples, &count) != 1) {
        if (samples != nullptr || count != 0) std::abort();
        return;
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const auto first = reinterpret_cast<std::uintptr_t>(samples);
    if (first < begin || first - begin > size || count > size - (first - begin)) std::abort();
    // Touch every sample byte, so a sanitizer build checks them too.
    unsigned sum = 0;
    for (std::uint32_t i = 0; i < count; ++i) sum += samples[i];
    volatile unsigned sink = sum;
    (void)sink;
}

// "RIFF", a size, "WAVE", then chunks: each input record is one byte choosing the id, one byte
// of size (sometimes stretched far past the end) and as much body as the input still has.
testwave::Bytes shapeAsWave(const std::uint8_t* data, std::size_t size) {
    static const char* const ids[] = {"fmt ", "data", "LIST", "fact"};
    std::vector<testwave::Chunk> chunks;
    for (std::size_t at = 0; at + 2 <= size;) {
        const std::uint8_t choice = data[at];
        const std::uint32_t claimed = data[at + 1];
        at += 2;
        const std::size_t available = std::min<std::size_t>(claimed, size - at);
        chunks.push_back({ids[choice & 3], testwave::Bytes(data + at, data + at + available),
                          (choice & 0x10) ? 0xFFFFFF00u | claimed : claimed, // far too large
                          (choice & 0x20) != 0});                            // the pad, or not
        at += available;
    }
    // The RIFF size: the true one, or (chosen by the first byte) far too large.
    if (size > 0 && (data[0] & 0x40)) return testwave::riff(chunks, 0xFFFFFFF0u);
    return testwave::riff(chunks);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check(data, size);
    const std::vector<std::uint8_t> wave = shapeAsWave(data, size);
    // An exact-sized heap copy, so any read past its end is caught.
    std::vector<std::uint8_t> exact(wave);
    check(exact.data(), exact.size());
    return 0;
}
