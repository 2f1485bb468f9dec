// The picture the page's canvas shows: the device's pixels in the canvas's byte order, kept
// from frame to frame so that only the part that changed is put on the canvas.
#pragma once

#include "platform/softgpu/softgpu.h"
#include "platform/window.h"

#include <cstdint>
#include <vector>

namespace platform::web {

class CanvasPicture {
public:
    // Takes the part `shown` of the device's picture. Returns the rectangle, in pixels of the
    // taken picture, round every pixel that differs from the picture taken before: empty when
    // none does, and all of it for the first picture or one of another size.
    FrameRect take(const softgpu::FrameView& picture, const FrameRect& shown);

    // The taken picture, row after row, as R, G, B, A bytes with A opaque.
    const std::uint32_t* pixels() const { return pixels_.data(); }

private:
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
};

} // namespace platform::web
