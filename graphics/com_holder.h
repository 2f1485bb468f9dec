// Sole owner of one device object (a vertex buffer, a texture): empty until filled, and the
// object is released when the holder is released or destroyed, never earlier.
#pragma once

namespace graphics {

template <class Interface>
struct ComHolder {
    ComHolder() = default;
    ComHolder(const ComHolder&) = delete;
    ComHolder& operator=(const ComHolder&) = delete;
    ~ComHolder() { release(); }

    void release() {
        if (pointer) {
            pointer->Release();
            pointer = nullptr;
        }
    }

    Interface* get() const { return pointer; }

    Interface* pointer = nullptr;
};

} // namespace graphics
