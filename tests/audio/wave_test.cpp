#include "audio/wave.h"
#include "tests/audio/wave_builder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using testwave::Builder;
using testwave::formatBody;
using testwave::sampleBytes;

struct Parsed {
    int result = -1;
    platform::WaveFormat format;
    const std::uint8_t* samples = nullptr;
    std::uint32_t count = 0;
};

// Parses a heap copy of exactly the bytes, so a sanitizer build catches any read past them.
Parsed parse(const std::vector<std::uint8_t>& bytes, std::vector<std::uint8_t>& exact) {
    exact = bytes;
    Parsed parsed;
    parsed.format.formatTag = 0xBEEF; // must be cleared by the parse
    parsed.count = 77;
    parsed.result =
        parseWave(exact.data(), exact.size(), &parsed.format, &parsed.samples, &parsed.count);
    return parsed;
}

void expectCleared(const Parsed& parsed) {
    EXPECT_EQ(parsed.result, 0);
    EXPECT_EQ(parsed.samples, nullptr);
    EXPECT_EQ(parsed.count, 0u);
    EXPECT_EQ(parsed.format.formatTag, 0);
}

const platform::WaveFormat game = platform::gameSoundFormat;

TEST(ParseWave, FindsFormatAndSamplesInEitherOrderAndPastLISTAndFact) {
    const std::vector<std::uint8_t> samples = sampleBytes(20);
    std::vector<std::uint8_t> fact{10, 0, 0, 0};
    std::vector<std::uint8_t> list{'I', 'N', 'F', 'O', 'x', 'y'};
    struct Layout {
        const char* name;
        Builder builder;
    };
    std::vector<Layout> layouts;
    layouts.push_back({"fmt fact data LIST", Builder()
                                                 .chunk("fmt ", formatBody(game))
                                                 .chunk("fact", fact)
                                                 .chunk("data", samples)
                                                 .chunk("LIST", list)});
    layouts.push_back({"data before fmt", Builder()
                                              .chunk("LIST", list)
                                              .chunk("data", samples)
                                              .chunk("fact", fact)
                                              .chunk("fmt ", formatBody(game))});
    layouts.push_back({"LIST and fact between", Builder()
                                                    .chunk("fmt ", formatBody(game))
                                                    .chunk("LIST", list)
                                                    .chunk("fact", fact)
                                                    .chunk("data", samples)});
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        std::vector<std::uint8_t> bytes = layout.builder.bytes();
        std::vector<std::uint8_t> exact;
        const Parsed parsed = parse(bytes, exact);
        ASSERT_EQ(parsed.result, 1);
        EXPECT_EQ(parsed.format.formatTag, platform::waveFormatPcm);
        EXPECT_EQ(parsed.format.channels, 1);
        EXPECT_EQ(parsed.format.samplesPerSec, 22050u);
        EXPECT_EQ(parsed.format.avgBytesPerSec, 44100u);
        EXPECT_EQ(parsed.format.blockAlign, 2);
        EXPECT_EQ(parsed.format.bitsPerSample, 16);
        ASSERT_EQ(parsed.count, samples.size());
        // The samples are the data chunk's body inside the bytes, not a copy.
        ASSERT_GE(parsed.samples, exact.data());
        ASSERT_LE(parsed.samples + parsed.count, exact.data() + exact.size());
        EXPECT_EQ(std::vector<std::uint8_t>(parsed.samples, parsed.samples + parsed.count),
                  samples);
    }
}

TEST(ParseWave, StepsOverOddSizedChunksByTheirPadByte) {
    // Odd-sized chunks before and between, and an odd-sized data chunk before the format.
    const std::vector<std::uint8_t> oddSamples = sampleBytes(7, 40);
    Builder padded;
    padded.chunk("junk", {1, 2, 3})
        .chunk("data", oddSamples)
        .chunk("LIST", {9})
        .chunk("fmt ", formatBody(game));
    std::vector<std::uint8_t> exact;
    Parsed parsed = parse(padded.bytes(), exact);
    ASSERT_EQ(parsed.result, 1);
    EXPECT_EQ(parsed.count, 7u);
    EXPECT_EQ(parsed.samples, exact.data() + 12 + 12 + 8);
    EXPECT_EQ(parsed.format.bitsPerSample, 16);

    // Without the pad byte the next header is read one byte off and no format is found.
    Builder unpadded;
    unpadded.chunk("junk", {1, 2, 3}, std::nullopt, false)
        .chunk("fmt ", formatBody(game))
        .chunk("data", sampleBytes(4));
    expectCleared(parse(unpadded.bytes(), exact));
}

TEST(ParseWave, FormatBodyMustHoldAtLeastFourteenBytes) {
    std::vector<std::uint8_t> exact;
    for (std::size_t size : {0u, 12u, 13u}) {
        SCOPED_TRACE(size);
        const auto bytes =
            Builder().chunk("fmt ", formatBody(game, size)).chunk("data", sampleBytes(4)).bytes();
        expectCleared(parse(bytes, exact));
    }
    // A short body is read only as far as it goes: the fields it does not reach stay 0.
    Parsed fourteen = parse(
        Builder().chunk("fmt ", formatBody(game, 14)).chunk("data", sampleBytes(4)).bytes(), exact);
    ASSERT_EQ(fourteen.result, 1);
    EXPECT_EQ(fourteen.format.blockAlign, 2);
    EXPECT_EQ(fourteen.format.bitsPerSample, 0);
    Parsed sixteen = parse(
        Builder().chunk("fmt ", formatBody(game, 16)).chunk("data", sampleBytes(4)).bytes(), exact);
    ASSERT_EQ(sixteen.result, 1);
    EXPECT_EQ(sixteen.format.bitsPerSample, 16);
    EXPECT_EQ(sixteen.format.extraSize, 0);
}

TEST(ParseWave, TakesTheFirstFormatAndSkipsAnEmptyDataChunkForALaterOne) {
    platform::WaveFormat other = game;
    other.samplesPerSec = 11025;
    std::vector<std::uint8_t> exact;
    Builder builder;
    builder.chunk("data", {}).chunk("fmt ", formatBody(game)).chunk("fmt ", formatBody(other));
    const std::size_t secondData = builder.nextBodyOffset();
    builder.chunk("data", sampleBytes(6)).chunk("data", sampleBytes(8));
    Parsed parsed = parse(builder.bytes(), exact);
    ASSERT_EQ(parsed.result, 1);
    EXPECT_EQ(parsed.format.samplesPerSec, 22050u);
    EXPECT_EQ(parsed.count, 6u);
    EXPECT_EQ(parsed.samples, exact.data() + secondData);
}

TEST(ParseWave, RejectsWhatIsNotAWaveOrEndsTooSoon) {
    const Builder good = Builder().chunk("fmt ", formatBody(game)).chunk("data", sampleBytes(4));
    std::vector<std::uint8_t> exact;
    ASSERT_EQ(parse(good.bytes(), exact).result, 1);

    // A RIFF size of 4 or less ends the walk before the first chunk.
    for (std::uint32_t riffSize : {0u, 3u, 4u}) {
        SCOPED_TRACE(riffSize);
        expectCleared(parse(good.bytes(riffSize), exact));
    }
    // A walk that ends before the data chunk finds no pair, although the bytes go on.
    expectCleared(parse(good.bytes(4 + 8 + 18), exact));

    std::vector<std::uint8_t> notRiff = good.bytes();
    notRiff[0] = 'r';
    expectCleared(parse(notRiff, exact));
    std::vector<std::uint8_t> notWave = good.bytes();
    notWave[11] = 'X';
    expectCleared(parse(notWave, exact));
    expectCleared(parse({'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V'}, exact));
    expectCleared(parse({}, exact));
    EXPECT_EQ(parseWave(nullptr, 100, nullptr, nullptr, nullptr), 0);
}

TEST(ParseWave, NeverReadsPastTheRealEndWhateverTheSizesSay) {
    const std::vector<std::uint8_t> whole =
        Builder().chunk("fmt ", formatBody(game)).chunk("data", sampleBytes(40)).bytes();
    std::vector<std::uint8_t> exact;

    // Cut anywhere before the last sample byte: inside the data body, inside its header, or
    // between the chunks. The RIFF size still claims the whole file.
    for (std::size_t cut = 12; cut < whole.size(); ++cut) {
        SCOPED_TRACE(cut);
        expectCleared(parse(std::vector<std::uint8_t>(whole.begin(), whole.begin() + cut), exact));
    }

    // A RIFF size that claims more than there is does no harm while every chunk is whole.
    EXPECT_EQ(parse(Builder()
                        .chunk("fmt ", formatBody(game))
                        .chunk("data", sampleBytes(4))
                        .bytes(0x7FFFFFF0u),
                    exact)
                  .result,
              1);

    // Chunks whose sizes run far past the end, used or skipped, with the walk's end far out.
    const std::vector<std::vector<std::uint8_t>> oversized = {
        Builder()
            .chunk("fmt ", formatBody(game))
            .chunk("data", sampleBytes(4), 0xFFFFFFF0u)
            .bytes(0xFFFFFFFFu),
        Builder()
            .chunk("fmt ", formatBody(game), 0xFFFFFFFFu)
            .chunk("data", sampleBytes(4))
            .bytes(0xFFFFFFFFu),
        Builder()
            .chunk("LIST", {1, 2}, 0xFFFFFFFEu)
            .chunk("fmt ", formatBody(game))
            .bytes(0xFFFFFFFFu),
        Builder().chunk("data", sampleBytes(4)).chunk("fmt ", formatBody(game), 1000).bytes(),
    };
    for (std::size_t i = 0; i < oversized.size(); ++i) {
        SCOPED_TRACE(i);
        expectCleared(parse(oversized[i], exact));
    }
}

} // namespace
