// The millisecond tick count the game's frame clock reads: unsigned 32-bit, wrapping round.
// The real program reads SDL's clock; tests and the headless renderer drive a fake one.
#pragma once

#include <cstdint>

namespace platform {

class TickSource {
public:
    virtual ~TickSource() = default;
    virtual std::uint32_t tickCount() = 0;
};

// A clock that says what it is told; for tests and scripted runs.
class ManualTickSource final : public TickSource {
public:
    explicit ManualTickSource(std::uint32_t start = 0) : now(start) {}
    std::uint32_t tickCount() override { return now; }
    void advance(std::uint32_t ms) { now += ms; } // wraps round like the real count
    std::uint32_t now;
};

} // namespace platform
