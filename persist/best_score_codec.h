// The scrambled number in the best-score file: a best score b is stored as the decimal text of
// b * 131072 + key in 32-bit arithmetic, and anything that is not such a number reads as 0.
#pragma once

#include <cstdint>

namespace persist {

constexpr std::uint32_t scrambleKey = 0x4B1D2E73u;
constexpr std::int32_t bestScoreLimit = 10000; // a decoded value at or above this reads as 0

// The best score held by the first 16 bytes of a best-score file (zero bytes where the file
// was shorter): always 0 to 9999.
std::int32_t decodeBestScore(const char (&text)[16]);

// Clears text and writes the stored number of bestScore into it, exactly as "%d" prints it
// (a minus sign when the 32-bit sum wraps negative), with its terminating zero byte.
void encodeBestScore(std::int32_t bestScore, char (&text)[16]);

} // namespace persist
