// The score of the current run and the best score, which survives restarts in a 16-byte file
// holding a scrambled decimal number.
#pragma once

#include <cstdint>
#include <filesystem>

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

void loadBestScore(ScoreRecord& record);
void saveBestScore(ScoreRecord& record);

// $XDG_DATA_HOME/hopla/hsd.dat, or $HOME/.local/share/hopla/hsd.dat.
std::filesystem::path bestScoreFilePath();
