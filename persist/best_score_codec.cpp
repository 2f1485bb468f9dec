#include "persist/best_score_codec.h"

#include <cstdio>
#include <cstring>

namespace persist {

std::int32_t decodeBestScore(const char (&text)[16]) {
    // Every digit among the 16 bytes counts, even behind a zero byte; everything else is
    // skipped. The number is gathered modulo 2^32.
    std::uint32_t stored = 0;
    for (const char byte : text) {
        if (byte >= '0' && byte <= '9') {
            stored = stored * 10u + static_cast<std::uint32_t>(byte - '0');
        }
    }
    // Best scores from 6770 up are stored beyond 2147483647 and so written with a minus sign;
    // negating brings back the unsigned number that was meant.
    if (text[0] == '-') stored = 0u - stored;

    if (stored < scrambleKey) return 0;
    const std::uint32_t unscrambled = stored - scrambleKey;
    if ((unscrambled & 16u) != 0) return 0;
    const std::uint32_t score = unscrambled >> 17;
    if (score >= static_cast<std::uint32_t>(bestScoreLimit)) return 0;
    return static_cast<std::int32_t>(score);
}

void encodeBestScore(std::int32_t bestScore, char (&text)[16]) {
    // Cleared first, so that no digits of an earlier file survive behind the terminator.
    std::memset(text, 0, sizeof text);
    const auto stored =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(bestScore) * 131072u + scrambleKey);
    std::snprintf(text, sizeof text, "%d", stored);
}

} // namespace persist
