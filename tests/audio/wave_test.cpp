#include "audio/wave.h"
#include "tests/audio/wave_builder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace audio;

namespace {

using testwave::Bytes;
using testwave::Chunk;
using testwave::formatBody;
using testwave::riff;
using testwave::sampleBytes;

const std::uint8_t stale[1] = {};

struct Parsed {
    int result = -1;
    // Whatever was there before must be cleared or replaced.
    platform::WaveFormat format{0xBEEF, 9};
    const std::uint8_t* samples = stale;
    std::uint32_t count = 77;
};

// Parses a heap copy of exactly the bytes, so a sanitizer build catches any read past them.
Parsed parse(const Bytes& bytes, Bytes& exact) {
    exact = bytes;
    Parsed p;
    p.result = parseWave(exact.data(), exact.size(), &p.format, &p.samples, &p.count);
    return p;
}

// Every field different, so a field read from the wrong place shows.
constexpr platform::WaveFormat stereo{platform::waveFormatPcm, 2, 11025, 44100, 4, 16, 22};
constexpr platform::WaveFormat game = platform::gameSoundFormat;

TEST(ParseWave, FindsTheFirstFormatAndSamplesWhateverLiesAroundThem) {
    const Bytes samples = sampleBytes(20);
    const Bytes odd = sampleBytes(7, 40);
    const Chunk fmt{"fmt ", formatBody(stereo)};
    const Chunk data{"data", samples};
    const Chunk fact{"fact", {10, 0, 0, 0}};
    const Chunk list{"LIST", {'I', 'N', 'F', 'O', 'x', 'y'}};
    platform::WaveFormat fourteen = stereo;
    fourteen.bitsPerSample = fourteen.extraSize = 0; // fields a short body does not reach
    platform::WaveFormat other = game;
    other.samplesPerSec = 8000;
    struct Case {
        const char* name;
        Bytes bytes;
        platform::WaveFormat format;
        Bytes samples;
    };
    const Case cases[] = {
        {"data before fmt", riff({list, data, fact, fmt}), stereo, samples},
        {"odd sizes and their pad bytes",
         riff({{"junk", {1, 2, 3}}, {"data", odd}, {"LIST", {9}}, fmt}), stereo, odd},
        {"fmt of 14 bytes", riff({{"fmt ", formatBody(stereo, 14)}, data}), fourteen, samples},
        {"empty data skipped, second fmt ignored",
         riff({{"data", {}},
               {"fmt ", formatBody(game)},
               {"fmt ", formatBody(other)},
               {"data", odd},
               data}),
         game, odd},
        {"RIFF size past the end, every chunk whole", riff({fmt, data}, 0x7FFFFFF0u), stereo,
         samples},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes exact;
        const Parsed p = parse(c.bytes, exact);
        ASSERT_EQ(p.result, 1);
        EXPECT_EQ(formatBody(p.format), formatBody(c.format));
        ASSERT_EQ(p.count, c.samples.size());
        // The samples are the data chunk's body inside the bytes, not a copy.
        ASSERT_GE(p.samples, exact.data());
        ASSERT_LE(p.samples + p.count, exact.data() + exact.size());
        EXPECT_EQ(Bytes(p.samples, p.samples + p.count), c.samples);
    }
}

TEST(ParseWave, RejectsDamagedWavesAndNeverReadsPastTheirRealEnd) {
    const Chunk fmt{"fmt ", formatBody(game)};
    const Chunk data{"data", sampleBytes(40)};
    const Bytes whole = riff({fmt, data});
    Bytes notRiff = whole;
    notRiff[0] = 'r';
    Bytes notWave = whole;
    notWave[11] = 'X';
    std::vector<std::pair<std::string, Bytes>> rejected = {
        {"no pad byte after an odd chunk",
         riff({{"junk", {1, 2, 3}, std::nullopt, false}, fmt, data})},
        {"walk ends before the data chunk", riff({fmt, data}, 4 + 8 + 18)},
        {"not RIFF", notRiff},
        {"not WAVE", notWave},
        {"data size past the end", riff({fmt, {"data", sampleBytes(4), 0xFFFFFFF0u}}, 0xFFFFFFFFu)},
        {"fmt size past the end", riff({{"fmt ", fmt.body, 0xFFFFFFFFu}, data}, 0xFFFFFFFFu)},
        {"skipped chunk's size past the end",
         riff({{"LIST", {1, 2}, 0xFFFFFFFEu}, fmt}, 0xFFFFFFFFu)},
        {"fmt after data runs past the end", riff({data, {"fmt ", fmt.body, 1000}})},
        {"RIFF size ends the walk before the first chunk", riff({fmt, data}, 4)},
        {"fmt of 13 bytes", riff({{"fmt ", formatBody(game, 13)}, data})},
    };
    // Cut anywhere before the last sample byte (the RIFF size still claims the whole), even
    // inside the RIFF header.
    for (std::size_t cut = 0; cut < whole.size(); ++cut)
        rejected.emplace_back("cut at " + std::to_string(cut),
                              Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));

    for (const auto& [name, bytes] : rejected) {
        SCOPED_TRACE(name);
        Bytes exact;
        const Parsed p = parse(bytes, exact);
        EXPECT_EQ(p.result, 0);
        EXPECT_EQ(p.samples, nullptr);
        EXPECT_EQ(p.count, 0u);
        EXPECT_EQ(formatBody(p.format), formatBody({}));
    }
    EXPECT_EQ(parseWave(nullptr, 100, nullptr, nullptr, nullptr), 0);
}

} // namespace
