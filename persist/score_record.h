// The score of the current run and the best score, which survives restarts in a 16-byte file
// holding a scrambled decimal number.
#pragma once

#include <cstdint>
#include <filesystem>

// An empty file path keeps the best score nowhere: nothing is read and nothing is written.
struct ScoreRecord {
    // Sets score to 0 and reads the best score from the file.
    explicit ScoreRecord(std::filesystem::path file);
    ScoreRecord(const ScoreRecord&) = delete;
    ScoreRecord& operator=(const ScoreRecord&) = delete;
    // Writes the best score back to the file.
    ~ScoreRecord();

    std::int32_t score = 0;
    std::int32_t bestScore = 0;
    char text[16] = {};
    std::filesystem::path file;
};

// Reads the first 16 bytes of the file into text and sets bestScore from them; a missing,
// unreadable or damaged file gives 0.
void loadBestScore(ScoreRecord& record);

// Writes the scrambled best score as a 16-byte file, through a temporary file in the same
// folder (made if missing) renamed over the old one. On failure the old file stays as it was
// and a beep and one line naming the file and the reason go to stderr.
void saveBestScore(ScoreRecord& record);

// $XDG_DATA_HOME/hopla/hsd.dat, or $HOME/.local/share/hopla/hsd.dat when XDG_DATA_HOME is unset
// or empty (the account's home folder when HOME is too); empty when there is no home at all.
std::filesystem::path bestScoreFilePath();
