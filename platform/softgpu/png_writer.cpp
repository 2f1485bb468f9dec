// PNG files of back buffers through libpng's simplified interface, which needs no setjmp.
#include "platform/softgpu/png_writer.h"

#include <png.h>

#include <cstring>

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
    std::vector<png_byte> rgb(static_cast<std::size_t>(width) * height * 3);
    png_byte* out = rgb.data();
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* row = frame.row(top + y) + left;
        for (int x = 0; x < width; ++x) {
            *out++ = static_cast<png_byte>(row[x] >> 16);
            *out++ = static_cast<png_byte>(row[x] >> 8);
            *out++ = static_cast<png_byte>(row[x]);
        }
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr) == 0) {
        std::string message = "cannot write " + path + ": " + image.message;
        png_image_free(&image);
        return fail(error, std::move(message));
    }
    return true;
}

bool readPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height,
             std::string* error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        std::string message = "cannot read " + path + ": " + image.message;
        png_image_free(&image);
        return fail(error, std::move(message));
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0) {
        std::string message = "cannot read " + path + ": " + image.message;
        png_image_free(&image);
        return fail(error, std::move(message));
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    pixels.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = 0xFF000000u | std::uint32_t{rgb[3 * i]} << 16 |
                    std::uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
    }
    return true;
}

} // namespace softgpu
