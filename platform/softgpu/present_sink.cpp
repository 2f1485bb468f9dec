// The in-memory present sink that tests and the headless renderer read frames from.
#include "platform/softgpu/softgpu.h"

#include <algorithm>
#include <cstring>

namespace softgpu {

void MemorySink::present(const FrameView& frame) {
    width_ = frame.width;
    height_ = frame.height;
    pixels_.resize(static_cast<std::size_t>(width_) * height_);
    // Only the shown part is taken, as a window would; the rest of the copy stays 0.
    const int left = std::clamp(shown_.left, 0, width_);
    const int right = std::clamp(shown_.right, left, width_);
    const int top = std::clamp(shown_.top, 0, height_);
    const int bottom = std::clamp(shown_.bottom, top, height_);
    for (int y = top; y < bottom; ++y) {
        std::memcpy(pixels_.data() + static_cast<std::size_t>(y) * width_ + left,
                    frame.row(y) + left, static_cast<std::size_t>(right - left) * 4);
    }
    ++presentCount_;
}

FrameView MemorySink::lastFrame() const {
    return FrameView{pixels_.data(), width_, height_, width_ * 4};
}

} // namespace softgpu
