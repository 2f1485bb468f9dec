// The in-memory present sink that tests and the headless renderer read frames from.
#include "platform/softgpu/softgpu.h"

#include <cstring>

namespace softgpu {

void MemorySink::present(const FrameView& frame) {
    width_ = frame.width;
    height_ = frame.height;
    pixels_.resize(static_cast<std::size_t>(width_) * height_);
    for (int y = 0; y < height_; ++y) {
        std::memcpy(pixels_.data() + static_cast<std::size_t>(y) * width_, frame.row(y),
                    static_cast<std::size_t>(width_) * 4);
    }
    ++presentCount_;
}

FrameView MemorySink::lastFrame() const {
    return FrameView{pixels_.data(), width_, height_, width_ * 4};
}

} // namespace softgpu
