// The best-score file's bytes as the page stores them: they come back exactly, and text that
// was damaged or written by someone else is refused as a whole rather than half read.
#include "platform/web/stored_bytes.h"

#include <gtest/gtest.h>

namespace platform::web {
namespace {

TEST(StoredBytes, TheFilesBytesComeBackExactly) {
    // A best score of 1 as the game writes it: the number, a zero byte, then zero filler.
    std::vector<std::uint8_t> file(16, 0);
    const std::string number = "1260334707";
    std::copy(number.begin(), number.end(), file.begin());
    const std::string text = encodeStoredBytes(file);
    EXPECT_EQ(text, "31323630333334373037000000000000");
    EXPECT_EQ(decodeStoredBytes(text), file);

    std::vector<std::uint8_t> every(16);
    for (int start = 0; start < 256; start += 16) {
        for (int i = 0; i < 16; ++i) every[i] = static_cast<std::uint8_t>(start + i);
        EXPECT_EQ(decodeStoredBytes(encodeStoredBytes(every)), every) << start;
    }
    EXPECT_EQ(decodeStoredBytes("FFa0"), (std::vector<std::uint8_t>{0xFF, 0xA0}));
    EXPECT_EQ(decodeStoredBytes(""), std::vector<std::uint8_t>{}) << "an empty file";
}

TEST(StoredBytes, DamagedTextIsRefusedWhole) {
    for (const char* damaged :
         {"3", "313", "3g", "31 2", "0x31", "-1", "3132363033333437303700000000000000"}) // 17 bytes
        EXPECT_FALSE(decodeStoredBytes(damaged)) << damaged;
}

} // namespace
} // namespace platform::web
