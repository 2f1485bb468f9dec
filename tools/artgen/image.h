// Pictures for the artwork generator: an RGB canvas with the few drawing operations the
// artwork needs, and the 24-bit bottom-up BMP writer the game's resources use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artgen {

struct Colour {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Colour&) const = default;
};

// A colour with channels in 0..255 as doubles, for mixing before the final rounding.
struct Shade {
    double r = 0.0;
    double g = 0.0;
    double b = 0.0;
};

Shade operator+(Shade a, Shade b);
Shade operator*(Shade a, double k);
Shade mix(Shade a, Shade b, double t);
Colour toColour(Shade s);
Shade toShade(Colour c);

class Image {
public:
    Image(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }

    // Pixels outside the picture are ignored on writing and read as black.
    Colour at(int x, int y) const;
    void set(int x, int y, Colour c);
    void set(int x, int y, Shade s) { set(x, y, toColour(s)); }
    // Lays `s` over the pixel with the given coverage (0 keeps the pixel, 1 replaces it).
    void blend(int x, int y, Shade s, double coverage);
    // Adds light to the pixel, saturating: how glows are drawn.
    void add(int x, int y, Shade s);

    // The w by h part of this picture whose top-left pixel is (x, y), as a picture of its own.
    Image crop(int x, int y, int w, int h) const;

    // Pure black is transparent in the game. Pictures that must show everywhere lift every
    // black pixel to the faintest visible blue.
    void liftBlack();

    // The file as the game's resources are: 24-bit, uncompressed, bottom-up, rows padded to
    // four bytes. Returns false when the file could not be written.
    bool writeBmp(const std::string& path) const;

private:
    int width_;
    int height_;
    std::vector<Colour> pixels_;
};

} // namespace artgen
