// ESC as the game's loop polls it, once a frame: down now, or pressed since the last poll, so
// that a tap whose press and release both come between two frames still counts. The drivers
// feed it the presses and releases their desktop reports.
#pragma once

namespace platform {

class EscapeKey {
public:
    // The key went down (true) or up (false).
    void set(bool down) {
        held = down;
        if (down) pressedSincePoll = true;
    }

    bool poll() {
        const bool down = held || pressedSincePoll;
        pressedSincePoll = false;
        return down;
    }

private:
    bool held = false;
    bool pressedSincePoll = false;
};

} // namespace platform
