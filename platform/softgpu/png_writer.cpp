// PNG files of back buffers: the frame's X8R8G8B8 pixels as the codec's RGB rows and back.
#include "platform/softgpu/png_writer.h"

#include "platform/softgpu/png_codec.h"

#include <utility>

namespace softgpu {

namespace {

bool fail(std::string* error, std::string message) {
    if (error != nullptr) *error = std::move(message);
    return false;
}

} // namespace

bool writePng(const std::string& path, const FrameView& frame, std::string* error) {
    return writePng(path, frame, 0, 0, frame.width, frame.height, error);
}

bool writePng(const std::string& path, const FrameView& frame, int left, int top, int width,
              int height, std::string* error) {
    if (frame.pixels == nullptr || width <= 0 || height <= 0 || left < 0 || top < 0 ||
        left + width > frame.width || top + height > frame.height) {
        return fail(error, "the rectangle to write does not lie inside the picture");
    }
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * height * 3);
    std::uint8_t* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = frame.row(top + y) + left;
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<std::uint8_t>(row[x] >> 16);
            *out++ = static_cast<std::uint8_t>(row[x] >> 8);
            *out++ = static_cast<std::uint8_t>(row[x]);
        }
    }
    std::string message;
    if (!png::writeRgb(path, rgb.data(), width, height, message))
        return fail(error, std::move(message));
    return true;
}

bool readPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height,
             std::string* error) {
    std::vector<std::uint8_t> rgb;
    std::string message;
    if (!png::readRgb(path, rgb, width, height, message)) return fail(error, std::move(message));
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = 0xFF000000u | std::uint32_t{rgb[3 * i]} << 16 |
                    std::uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    }
    return true;
}

} // namespace softgpu
