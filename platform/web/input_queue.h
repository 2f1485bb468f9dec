// The page's pointer and buttons on their way to the game, in client pixels of the 640 x 480
// frame. A press or release waits until a frame has seen the pointer where it happened: a
// kick is judged on where the pointer was at the last frame, and a tap on a touch screen
// brings its move and its press at once, so without the wait a plain tap would always miss.
#pragma once

#include "platform/pointer_source.h"
#include "platform/window.h"

#include <deque>

namespace platform::web {

class InputQueue {
public:
    // The pointer moved: the next frame sees it there.
    void move(ClientPoint at);
    // A button message (WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP) where it happened.
    void button(UINT message, ClientPoint at);

    // What a frame reads, remembered as seen: where the first waiting button happened when it
    // waits for that, otherwise where the pointer last moved.
    ClientPoint poll();

    // The next button message that may go to the game now, with where it happened, or false:
    // nothing waits, or the first waiting one happened where no frame has seen the pointer yet
    // (the pointer has been put there for the next frame).
    bool next(UINT& message, ClientPoint& at);

private:
    struct Pending {
        UINT message;
        ClientPoint at;
    };
    std::deque<Pending> pending;
    ClientPoint latest; // where the last move put the pointer
    ClientPoint held;   // where the next frame must see it, for the first waiting button
    bool holding = false;
    ClientPoint seen; // what the last frame saw
    bool everSeen = false;
};

} // namespace platform::web
