// Reads the pictures compiled into the program the way the game's loader does: a 40-byte info
// header, then bottom-up rows of blue, green, red padded to four bytes.
#pragma once

#include "platform/resources.h"

#include <cstdint>

namespace hopla_test {

inline std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
inline std::uint16_t le16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}

struct Rgb {
    int r, g, b;
    bool black() const { return r == 0 && g == 0 && b == 0; }
};

struct BitmapView {
    platform::Resource res;
    int width() const { return int(le32(res.bytes + 4)); }
    int height() const { return int(le32(res.bytes + 8)); }
    int stride() const { return (width() * 3 + 3) / 4 * 4; }
    // (x, y) with y = 0 the top row, as the picture is seen.
    Rgb at(int x, int y) const {
        const std::uint8_t* p =
            res.bytes + 40 + std::size_t(height() - 1 - y) * std::size_t(stride()) + 3 * x;
        return {p[2], p[1], p[0]};
    }
};

} // namespace hopla_test
