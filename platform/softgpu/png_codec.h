// The PNG file codec beneath png_writer: 8-bit RGB rows in, 8-bit RGB rows out. The desktop
// build uses libpng; the web build, which has no libpng, writes uncompressed (stored) PNGs and
// reads through the stb_image decoder that comes with emscripten.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace softgpu::png {

// Writes width x height pixels of 3 bytes each, rows top first and packed.
bool writeRgb(const std::string& path, const std::uint8_t* rgb, int width, int height,
              std::string& error);

// Reads any PNG the codec understands as 3 bytes a pixel, rows top first and packed.
bool readRgb(const std::string& path, std::vector<std::uint8_t>& rgb, int& width, int& height,
             std::string& error);

} // namespace softgpu::png
