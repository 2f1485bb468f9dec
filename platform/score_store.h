// Where the best score's 16 bytes are kept between games: a file on the desktop, the page's
// storage in a browser. What to keep (the higher best) is decided above, by the score record.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace platform {

constexpr std::size_t scoreBytesSize = 16;
using ScoreBytes = char[scoreBytesSize];

class ScoreStore {
public:
    virtual ~ScoreStore() = default;

    // The stored bytes, zero bytes where nothing is stored (nothing at all, or fewer than 16).
    // False, with the reason, when something is stored but can't be read.
    virtual bool read(ScoreBytes& bytes, std::string& reason) = 0;

    // Runs change on the bytes stored now, read as read does, and stores what it leaves them
    // as, with no other game's save in between. False, with the reason, when the stored bytes
    // were left as they were.
    virtual bool update(const std::function<void(ScoreBytes&)>& change, std::string& reason) = 0;

    // What the game's messages call the store: the file's path, "the page's storage".
    virtual std::string name() const = 0;
};

} // namespace platform
