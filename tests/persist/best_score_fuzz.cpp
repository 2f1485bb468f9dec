// Any bytes at all, as the first 16 bytes of a best-score file: the reader must not crash, must
// give a best score from 0 to 9999, and saving that score must read back as the same score.
#include "persist/best_score_codec.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    char text[16] = {};
    if (size > 0) std::memcpy(text, data, size < sizeof text ? size : sizeof text);
    const std::int32_t best = persist::decodeBestScore(text);
    if (best < 0 || best > 9999) {
        std::fprintf(stderr, "best score %d out of range\n", best);
        std::abort();
    }
    persist::encodeBestScore(best, text);
    if (persist::decodeBestScore(text) != best) {
        std::fprintf(stderr, "best score %d does not survive a save\n", best);
        std::abort();
    }
    return 0;
}
