// The pixel fonts of the artwork: bold two-pixel strokes that stay readable when the game draws
// the score slightly smaller than life on the back wall.
#pragma once

#include <functional>
#include <string_view>
#include <vector>

namespace artgen {

struct Glyph {
    char letter;
    // Rows from top to bottom, '#' for ink; the last row sits on the baseline.
    std::vector<std::string_view> rows;
};

struct Font {
    std::vector<Glyph> glyphs;
    int spacing; // empty columns between two letters
};

const Font& digitFont(); // 0-9, 10 by 14
const Font& labelFont(); // the lower-case letters of the labels, x-height 10
const Font& plateFont(); // capitals for the title and the banner, 12 high

// Width in pixels of `text` set in `font`; letters the font lacks count as nothing.
int textWidth(const Font& font, std::string_view text);

// Calls `ink` for every inked pixel of `text`, set from column `left` with its baseline on row
// `baseline`.
void drawText(const Font& font, std::string_view text, int left, int baseline,
              const std::function<void(int, int)>& ink);

} // namespace artgen
