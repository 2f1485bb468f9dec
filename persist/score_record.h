// The score of the current run and the best score, which survives restarts as 16 bytes holding
// a scrambled decimal number, kept by a score store (a file, the page's storage).
#pragma once

#include "platform/score_store.h"

#include <cstdint>
#include <string>

namespace persist {

// With no store the best score is kept nowhere: nothing is read and nothing is written.
struct ScoreRecord {
    // Sets score to 0 and reads the best score from the store; a store that holds something
    // it can't read is named in one line on stderr, and the game plays with a best score of 0.
    explicit ScoreRecord(platform::ScoreStore* store);
    ScoreRecord(const ScoreRecord&) = delete;
    ScoreRecord& operator=(const ScoreRecord&) = delete;
    // Saves the best score, unless finish already did.
    ~ScoreRecord();

    // Saves the best score now, as the end of the game does (when the store is left as it was,
    // a beep and one line on stderr say why), and keeps it from being saved a second time.
    // For an end that leaves no time for the usual one, such as the display going away.
    void finish();

    std::int32_t score = 0;
    std::int32_t bestScore = 0;
    platform::ScoreBytes text = {};
    platform::ScoreStore* store = nullptr;
    // Why the store must not be written: it held something at start that could not be read,
    // and so may hold a best score this game never saw. Empty when it may be saved.
    std::string unreadable;
};

// Reads the stored bytes into text and sets bestScore from them; nothing stored, or damaged
// bytes, give 0. False, with the reason, when the store can't be read: the best score is 0 then
// and the record will leave the store alone.
bool loadBestScore(ScoreRecord& record, std::string& reason);

// Another game may have stored a higher best score since this one read it, as the store tells
// (another tab of the page): reads the store again and takes its best score when it is higher
// than the record's. Never writes: a lower best, damaged bytes (left for the next save to
// replace, as at start) or a store that can't be read change nothing. True when the best rose.
bool takeStoredBestScore(ScoreRecord& record);

// Saves the best score, never lowering the one stored: the store's bytes are read again at the
// moment of the save and the higher of the two best scores is written, with no other game's
// save in between. False, with the reason, when the store was left as it was.
bool saveBestScore(ScoreRecord& record, std::string& reason);

} // namespace persist
