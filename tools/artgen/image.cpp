#include "tools/artgen/image.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace artgen {

Shade operator+(Shade a, Shade b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Shade operator*(Shade a, double k) {
    return {a.r * k, a.g * k, a.b * k};
}
Shade mix(Shade a, Shade b, double t) {
    return a * (1.0 - t) + b * t;
}

namespace {
std::uint8_t channel(double v) {
    // Rounds half up with plain arithmetic, so the files come out the same on every machine.
    const double clamped = std::clamp(v, 0.0, 255.0);
    return static_cast<std::uint8_t>(std::floor(clamped + 0.5));
}
} // namespace

Colour toColour(Shade s) {
    return {channel(s.r), channel(s.g), channel(s.b)};
}
Shade toShade(Colour c) {
    return {double(c.r), double(c.g), double(c.b)};
}

Image::Image(int width, int height)
    : width_(width), height_(height), pixels_(std::size_t(width) * std::size_t(height)) {}

Colour Image::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    return pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)];
}

void Image::set(int x, int y, Colour c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[std::size_t(y) * std::size_t(width_) + std::size_t(x)] = c;
}

void Image::blend(int x, int y, Shade s, double coverage) {
    if (coverage <= 0.0) return;
    const double t = std::min(coverage, 1.0);
    set(x, y, mix(toShade(at(x, y)), s, t));
}

void Image::add(int x, int y, Shade s) {
    set(x, y, toShade(at(x, y)) + s);
}

Image Image::crop(int x, int y, int w, int h) const {
    Image out(w, h);
    for (int row = 0; row < h; ++row)
        for (int col = 0; col < w; ++col) out.set(col, row, at(x + col, y + row));
    return out;
}

void Image::liftBlack() {
    for (Colour& c : pixels_)
        if (c == Colour{}) c.b = 1;
}

namespace {
void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
} // namespace

bool Image::writeBmp(const std::string& path) const {
    const std::uint32_t stride = (std::uint32_t(width_) * 3 + 3) / 4 * 4;
    const std::uint32_t imageSize = stride * std::uint32_t(height_);
    const std::uint32_t headers = 14 + 40;
    std::vector<std::uint8_t> out;
    out.reserve(headers + imageSize);
    // File header.
    out.push_back('B');
    out.push_back('M');
    put32(out, headers + imageSize);
    put32(out, 0);
    put32(out, headers);
    // Info header: positive height means the rows are stored bottom-up.
    put32(out, 40);
    put32(out, std::uint32_t(width_));
    put32(out, std::uint32_t(height_));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0); // uncompressed
    put32(out, imageSize);
    put32(out, 2835); // 72 dots per inch
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x) {
            const Colour c = at(x, y);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (std::uint32_t pad = std::uint32_t(width_) * 3; pad < stride; ++pad) out.push_back(0);
    }
    // An unchanged picture keeps its file untouched, so the build does not embed it again.
    if (std::FILE* existing = std::fopen(path.c_str(), "rb")) {
        std::vector<std::uint8_t> before(out.size() + 1);
        const std::size_t got = std::fread(before.data(), 1, before.size(), existing);
        std::fclose(existing);
        if (got == out.size() && std::equal(out.begin(), out.end(), before.begin())) return true;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return std::fclose(file) == 0 && written;
}

} // namespace artgen
