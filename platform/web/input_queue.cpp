#include "platform/web/input_queue.h"

namespace platform::web {

namespace {
bool samePoint(ClientPoint a, ClientPoint b) {
    return a.x == b.x && a.y == b.y;
}
} // namespace

void InputQueue::move(ClientPoint at) {
    latest = at;
}

void InputQueue::button(UINT message, ClientPoint at) {
    pending.push_back({message, at});
}

ClientPoint InputQueue::poll() {
    seen = holding ? held : latest;
    holding = false;
    everSeen = true;
    return seen;
}

bool InputQueue::next(UINT& message, ClientPoint& at) {
    if (pending.empty()) return false;
    const Pending& first = pending.front();
    if (!everSeen || !samePoint(first.at, seen)) {
        held = first.at;
        holding = true;
        return false;
    }
    message = first.message;
    at = first.at;
    pending.pop_front();
    return true;
}

} // namespace platform::web
