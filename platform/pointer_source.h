// Where the pointer is, in client pixels of the 640 x 480 game window (x right, y down),
// asked once a frame. The window layer answers from SDL; tests answer from a script.
#pragma once

namespace platform {

struct ClientPoint {
    int x = 0;
    int y = 0;
};

class PointerSource {
public:
    virtual ~PointerSource() = default;
    virtual ClientPoint clientPointer() = 0;
};

// A pointer that stays where it is put; for tests and scripted runs.
class ManualPointerSource final : public PointerSource {
public:
    ClientPoint clientPointer() override { return position; }
    ClientPoint position;
};

} // namespace platform
