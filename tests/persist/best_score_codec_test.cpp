#include "persist/best_score_codec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The 16 bytes of a file holding exactly these bytes (zero bytes behind, as after a short read).
std::int32_t decode(const std::string& bytes) {
    char text[16] = {};
    std::memcpy(text, bytes.data(), std::min<std::size_t>(bytes.size(), 16));
    return decodeBestScore(text);
}

std::string encode(std::int32_t bestScore) {
    char text[16];
    std::memset(text, 'x', sizeof text);
    encodeBestScore(bestScore, text);
    return std::string(text, 16);
}

TEST(BestScoreCodec, EveryBestScoreSurvivesASaveAndALoad) {
    for (std::int32_t b = 0; b < 10000; ++b) {
        char text[16];
        encodeBestScore(b, text);
        ASSERT_EQ(decodeBestScore(text), b);
    }
}

TEST(BestScoreCodec, WritesWhatPercentDWritesAndClearsTheRest) {
    EXPECT_EQ(encode(0), std::string("1260203635\0\0\0\0\0\0", 16));
    EXPECT_EQ(encode(42), std::string("1265708659\0\0\0\0\0\0", 16));
    EXPECT_EQ(encode(6769), std::string("2147430003\0\0\0\0\0\0", 16));
    // From 6770 on the stored number passes 2147483647 and is printed negative.
    EXPECT_EQ(encode(6770), std::string("-2147406221\0\0\0\0\0", 16));
    EXPECT_EQ(encode(9999), std::string("-1724174733\0\0\0\0\0", 16));
}

TEST(BestScoreCodec, DecodingChecks) {
    EXPECT_EQ(decode("1260858995"), 5);    // key + 5 * 131072
    EXPECT_EQ(decode("1260859011"), 0);    // ... + 16: bit 4 set
    EXPECT_EQ(decode("1260859010"), 5);    // ... + 15: the other low bits don't count
    EXPECT_EQ(decode("1260859027"), 5);    // ... + 32
    EXPECT_EQ(decode("1260203635"), 0);    // the key itself is a best score of 0
    EXPECT_EQ(decode("1260203634"), 0);    // below the key
    EXPECT_EQ(decode("2570923635"), 0);    // 10000 decoded: too big
    EXPECT_EQ(decode("2570792563"), 9999); // 9999 written without its sign still reads
    EXPECT_EQ(decode(""), 0);              // empty file
    EXPECT_EQ(decode("no digits here!!"), 0);
    EXPECT_EQ(decode("9999999999999999"), 4689); // 16 digits, gathered modulo 2^32

    // Non-digits between digits are skipped, a zero byte included.
    EXPECT_EQ(decode("1260 334707"), 1);
    EXPECT_EQ(decode(std::string("126033\0"
                                 "4707",
                                 11)),
              1);
    // Digits behind a zero byte count too: a best score of 1 with five stale digits behind it.
    EXPECT_EQ(decode(std::string("1260334707\0"
                                 "99999",
                                 16)),
              5266);

    // A minus sign counts only as the first byte; anywhere else it is skipped.
    EXPECT_EQ(decode("x-1260334707"), 1);
    EXPECT_EQ(decode("-1260334707"), 0);
    EXPECT_EQ(decode(" -2147406221"), 0);
    EXPECT_EQ(decode("-2147406221"), 6770);
}

} // namespace
