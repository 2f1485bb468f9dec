// The scrambled number of the best score: every best score survives a save and a load, and
// anything else reads as 0. A record takes a higher best score another game stored, and only
// that. The record's other rules are tested on the desktop's file store
// (tests/platform/score_file_test.cpp).
#include "persist/best_score_codec.h"
#include "persist/score_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace persist;

namespace {

TEST(BestScoreCodec, EveryBestScoreSurvivesASaveAndALoad) {
    for (std::int32_t b = 0; b < 10000; ++b) {
        char text[16];
        std::memset(text, '7', sizeof text); // stale digits that the save must clear
        encodeBestScore(b, text);
        ASSERT_EQ(decodeBestScore(text), b);
    }
    // Exactly what "%d" writes: from 6770 on the stored number passes 2147483647.
    const std::pair<std::int32_t, std::string> files[] = {
        {0, std::string("1260203635\0\0\0\0\0\0", 16)},
        {6769, std::string("2147430003\0\0\0\0\0\0", 16)},
        {6770, std::string("-2147406221\0\0\0\0\0", 16)},
        {9999, std::string("-1724174733\0\0\0\0\0", 16)}};
    for (const auto& [best, bytes] : files) {
        char text[16];
        std::memset(text, 'x', sizeof text);
        encodeBestScore(best, text);
        EXPECT_EQ(std::string(text, 16), bytes) << best;
    }
}

TEST(BestScoreCodec, DecodingChecks) {
    const std::pair<std::string, std::int32_t> files[] = {
        // The stored number of 5 is 1260858995 (the round trip above reads it back).
        {"1260859011", 0},          // ... + 16: bit 4 set
        {"1260859010", 5},          // ... + 15: the other low bits don't count
        {"1260859027", 5},          // ... + 32
        {"1260203634", 0},          // below the key
        {"2570923635", 0},          // 10000 decoded: too big
        {"2570792563", 9999},       // 9999 written without its sign still reads
        {"9999999999999999", 4689}, // 16 digits, gathered modulo 2^32
        // Non-digits are skipped, a zero byte included: digits behind it count.
        {std::string("1260334707\0"
                     "99999",
                     16),
         5266},
        // A minus sign counts only as the first byte.
        {"x-1260334707", 1},
        {" -2147406221", 0}};
    for (const auto& [bytes, best] : files) {
        char text[16] = {}; // zero bytes behind, as after a short read
        std::memcpy(text, bytes.data(), bytes.size());
        EXPECT_EQ(decodeBestScore(text), best) << bytes;
    }
}

// Bytes kept in memory, as another game's saves leave them; counts the writes.
struct MemoryStore final : platform::ScoreStore {
    bool read(platform::ScoreBytes& out, std::string& reason) override {
        if (refuse) {
            reason = "refused";
            return false;
        }
        std::memcpy(out, bytes, sizeof bytes);
        return true;
    }
    bool update(const std::function<void(platform::ScoreBytes&)>& change, std::string&) override {
        change(bytes);
        ++writes;
        return true;
    }
    std::string name() const override { return "memory"; }
    platform::ScoreBytes bytes = {};
    bool refuse = false;
    int writes = 0;
};

TEST(ScoreRecord, TakesAHigherBestScoreAnotherGameStoredAndWritesNothing) {
    MemoryStore store;
    encodeBestScore(3, store.bytes);
    ScoreRecord record(&store);
    ASSERT_EQ(record.bestScore, 3);
    encodeBestScore(7, store.bytes); // another game saved a higher best
    EXPECT_TRUE(takeStoredBestScore(record));
    EXPECT_EQ(record.bestScore, 7);
    encodeBestScore(5, store.bytes); // a lower one
    EXPECT_FALSE(takeStoredBestScore(record));
    std::memcpy(store.bytes, "not a best score", 16); // damaged: left for the next save
    EXPECT_FALSE(takeStoredBestScore(record));
    EXPECT_EQ(std::string(store.bytes, 16), "not a best score");
    store.refuse = true;
    EXPECT_FALSE(takeStoredBestScore(record));
    EXPECT_EQ(record.bestScore, 7);
    EXPECT_EQ(store.writes, 0);
}

} // namespace
