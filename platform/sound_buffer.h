// One playable sound: it can be stopped, rewound to its first sample and played once, while
// other sounds play on. Each step reports whether it worked.
#pragma once

namespace platform {

class SoundBuffer {
public:
    virtual ~SoundBuffer() = default;
    virtual bool stop() = 0;
    virtual bool rewind() = 0;
    virtual bool play() = 0;
};

} // namespace platform
