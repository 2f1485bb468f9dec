#include "persist/score_record.h"

#include "persist/best_score_codec.h"
#include "platform/terminal_text.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace persist {

ScoreRecord::ScoreRecord(platform::ScoreStore* store) : store(store) {
    std::string reason;
    if (!loadBestScore(*this, reason)) {
        std::fprintf(stderr,
                     "hopla: cannot read the best score from %s: %s; playing with a best score "
                     "of 0 and leaving it as it is\n",
                     platform::escapeControls(store->name()).c_str(), reason.c_str());
    }
}

ScoreRecord::~ScoreRecord() {
    finish();
}

void ScoreRecord::finish() {
    // One beep and one line: the player learns the best score was not kept, and why.
    std::string reason;
    if (!saveBestScore(*this, reason)) {
        std::fprintf(stderr, "\ahopla: could not save the best score to %s: %s\n",
                     platform::escapeControls(store->name()).c_str(), reason.c_str());
    }
    store = nullptr; // saved once, kept nowhere from now on
}

bool loadBestScore(ScoreRecord& record, std::string& reason) {
    record.bestScore = 0;
    record.unreadable.clear();
    std::fill(std::begin(record.text), std::end(record.text), '\0');
    if (!record.store) return true;
    if (!record.store->read(record.text, reason)) {
        std::fill(std::begin(record.text), std::end(record.text), '\0');
        record.unreadable = reason;
        return false;
    }
    record.bestScore = decodeBestScore(record.text);
    return true;
}

bool takeStoredBestScore(ScoreRecord& record) {
    if (!record.store) return false;
    platform::ScoreBytes stored;
    std::string reason;
    if (!record.store->read(stored, reason)) return false;
    const std::int32_t best = decodeBestScore(stored);
    if (best <= record.bestScore) return false;
    record.bestScore = best;
    return true;
}

bool saveBestScore(ScoreRecord& record, std::string& reason) {
    if (!record.store) return true;
    if (!record.unreadable.empty()) {
        reason =
            "it could not be read at start (" + record.unreadable + "), so it is left as it is";
        return false;
    }
    // Another game may have saved a higher best score since this one started: what is stored
    // now counts too.
    return record.store->update(
        [&record](platform::ScoreBytes& stored) {
            record.bestScore = std::max(record.bestScore, decodeBestScore(stored));
            encodeBestScore(record.bestScore, stored);
            std::copy(std::begin(stored), std::end(stored), std::begin(record.text));
        },
        reason);
}

} // namespace persist
