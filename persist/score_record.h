// The score of the current run and the best score, which survives restarts in a 16-byte file
// holding a scrambled decimal number.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace persist {

// An empty file path keeps the best score nowhere: nothing is read and nothing is written.
struct ScoreRecord {
    // Sets score to 0 and reads the best score from the file; a file that exists but can't be
    // read is named in one line on stderr, and the game plays with a best score of 0.
    explicit ScoreRecord(std::filesystem::path file);
    ScoreRecord(const ScoreRecord&) = delete;
    ScoreRecord& operator=(const ScoreRecord&) = delete;
    // Saves the best score, unless finish already did.
    ~ScoreRecord();

    // Saves the best score now, as the end of the game does (when the file is left as it was,
    // a beep and one line on stderr say why), and keeps it from being saved a second time.
    // For an end that leaves no time for the usual one, such as the display going away.
    void finish();

    std::int32_t score = 0;
    std::int32_t bestScore = 0;
    char text[16] = {};
    std::filesystem::path file;
    // Why the file must not be replaced at exit: it existed at start but could not be read,
    // so it may hold a best score this game never saw. Empty when it may be saved.
    std::string unreadable;
};

// Reads the first 16 bytes of the file into text and sets bestScore from them; a missing or
// damaged file gives 0. False, with the reason, when the file exists but can't be read: the
// best score is 0 then and the record will leave the file alone.
bool loadBestScore(ScoreRecord& record, std::string& reason);

// Saves the best score, never lowering the one on file: while holding the folder's lock it
// reads the file again and writes the higher of the two, through a temporary file renamed
// over the old one, after clearing away what interrupted saves left. The folder is made if
// missing. False, with the reason, when the file was left as it was.
bool saveBestScore(ScoreRecord& record, std::string& reason);

// $XDG_DATA_HOME/hopla/hsd.dat, or $HOME/.local/share/hopla/hsd.dat when XDG_DATA_HOME is unset
// or empty (the account's home folder when HOME is too); empty when there is no home at all.
std::filesystem::path bestScoreFilePath();

} // namespace persist
