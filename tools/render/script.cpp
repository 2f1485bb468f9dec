#include "tools/render/script.h"

#include <algorithm>
#include <charconv>
#include <istream>
#include <limits>
#include <sstream>

namespace render {

namespace {

bool readInteger(const std::string& word, std::int64_t low, std::int64_t high,
                 std::int64_t& value) {
    const char* end = word.data() + word.size();
    const auto [next, fault] = std::from_chars(word.data(), end, value);
    return fault == std::errc{} && next == end && value >= low && value <= high;
}

constexpr std::int64_t maxFrame = std::numeric_limits<int>::max() - 1;
constexpr std::int64_t maxTick = std::numeric_limits<std::uint32_t>::max();
constexpr std::int64_t maxCoordinate = 1 << 20;

} // namespace

std::optional<Script> parseScript(std::istream& in, std::string& error) {
    Script script;
    std::string text;
    int lineNumber = 0;
    while (std::getline(in, text)) {
        ++lineNumber;
        if (const auto hash = text.find('#'); hash != std::string::npos) text.erase(hash);
        std::istringstream line(text);
        std::vector<std::string> words;
        for (std::string word; line >> word;) words.push_back(word);
        if (words.empty()) continue;

        auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return std::nullopt;
        };
        std::int64_t value = 0;
        const std::string& command = words[0];
        if (command == "clock") {
            if (words.size() != 2 || !readInteger(words[1], 0, maxTick, value))
                return fail("clock takes one tick count from 0 to 4294967295");
            script.clockStart = static_cast<std::uint32_t>(value);
        } else if (command == "step") {
            if (words.size() != 2 || !readInteger(words[1], 0, maxTick, value))
                return fail("step takes one millisecond count from 0 to 4294967295");
            script.step = static_cast<std::uint32_t>(value);
        } else if (command == "frames") {
            if (words.size() != 2 || !readInteger(words[1], 0, maxFrame, value))
                return fail("frames takes one frame count");
            script.frames = static_cast<int>(value);
        } else if (command == "at") {
            if (words.size() < 3 || !readInteger(words[1], 0, maxFrame, value))
                return fail("at takes a frame number and a command");
            ScriptEvent event;
            event.frame = static_cast<int>(value);
            event.line = lineNumber;
            const std::string& what = words[2];
            using Kind = ScriptEvent::Kind;
            if (what == "step") {
                if (words.size() != 4 || !readInteger(words[3], 0, maxTick, event.a))
                    return fail("at F step takes one millisecond count");
                event.kind = Kind::Step;
            } else if (what == "pointer") {
                if (words.size() != 5 ||
                    !readInteger(words[3], -maxCoordinate, maxCoordinate, event.a) ||
                    !readInteger(words[4], -maxCoordinate, maxCoordinate, event.b))
                    return fail("at F pointer takes the client pixel X Y");
                event.kind = Kind::Pointer;
            } else if (what == "press" || what == "release" || what == "rpress" ||
                       what == "rrelease") {
                if (words.size() != 3) return fail("at F " + what + " takes nothing more");
                event.kind = what == "press"     ? Kind::Press
                             : what == "release" ? Kind::Release
                             : what == "rpress"  ? Kind::RightPress
                                                 : Kind::RightRelease;
            } else if (what == "shot") {
                if (words.size() < 4 || words.size() > 5 ||
                    (words.size() == 5 && words[4] != "full"))
                    return fail("at F shot takes a file name and, optionally, full");
                event.kind = Kind::Shot;
                event.file = words[3];
                event.full = words.size() == 5;
            } else {
                return fail("unknown command after at F: " + what);
            }
            script.events.push_back(event);
        } else {
            return fail("unknown command: " + command);
        }
    }
    return script;
}

int frameCount(const Script& script) {
    if (script.frames) return *script.frames;
    int last = -1;
    for (const ScriptEvent& event : script.events) last = std::max(last, event.frame);
    return std::max(last + 1, 1);
}

} // namespace render
