// Writes pictures of the software device (a back buffer, or a rectangle cut from one) to PNG
// files, for the headless renderer and for looking at what the tests drew.
#pragma once

#include "platform/softgpu/softgpu.h"

#include <string>

namespace softgpu {

// Writes the whole frame as an 8-bit RGB PNG (the unused top byte of each pixel is dropped).
// Returns true on success; on failure returns false and, when error is given, says why there.
bool writePng(const std::string& path, const FrameView& frame, std::string* error = nullptr);

// Writes the rectangle of width x height pixels whose top-left pixel is (left, top); the
// rectangle must lie inside the frame.
bool writePng(const std::string& path, const FrameView& frame, int left, int top, int width,
              int height, std::string* error = nullptr);

// Reads an 8-bit RGB or RGBA PNG into X8R8G8B8 pixels (top byte 0xFF), for comparing a picture
// with a stored reference. Returns false with a reason on any other file or on damage.
bool readPng(const std::string& path, std::vector<std::uint32_t>& pixels, int& width, int& height,
             std::string* error = nullptr);

} // namespace softgpu
