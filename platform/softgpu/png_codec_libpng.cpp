// PNG files through libpng's simplified interface, which needs no setjmp.
#include "platform/softgpu/png_codec.h"

#include <png.h>

#include <cstring>

namespace softgpu::png {

namespace {

bool failWith(png_image& image, const std::string& what, std::string& error) {
    error = what + ": " + image.message;
    png_image_free(&image);
    return false;
}

} // namespace

bool writeRgb(const std::string& path, const std::uint8_t* rgb, int width, int height,
              std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, rgb, width * 3, nullptr) == 0)
        return failWith(image, "cannot write " + path, error);
    return true;
}

bool readRgb(const std::string& path, std::vector<std::uint8_t>& rgb, int& width, int& height,
             std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0)
        return failWith(image, "cannot read " + path, error);
    image.format = PNG_FORMAT_RGB;
    rgb.assign(PNG_IMAGE_SIZE(image), 0);
    if (png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr) == 0)
        return failWith(image, "cannot read " + path, error);
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return true;
}

} // namespace softgpu::png
