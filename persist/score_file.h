// The best-score file on disk: reading its first 16 bytes, replacing it whole, the lock that
// keeps two games from saving at once, and the temporary files an interrupted save left behind.
#pragma once

#include <filesystem>
#include <string>

namespace persist {

constexpr std::size_t scoreFileSize = 16;

// Reads up to the first 16 bytes of the file into text; bytes the file doesn't reach are zero.
// A missing file reads as 16 zero bytes. False, with the reason, when the file exists but
// cannot be read (no read permission, a folder, a read error).
bool readScoreFile(const std::filesystem::path& file, char (&text)[scoreFileSize],
                   std::string& reason);

// Writes text to a new file beside the old one, makes it durable and renames it over the old
// one, then makes the rename durable too; whatever fails on the way, the old file is either
// replaced whole or left as it was. False, with the reason, when it was left.
bool replaceScoreFile(const std::filesystem::path& file, const char (&text)[scoreFileSize],
                      std::string& reason);

// Removes the temporary files of interrupted saves beside file: "<name>.XXXXXX" with six
// letters or digits, as replaceScoreFile names them, and only plain files. Nothing else is
// touched. Call it only while holding the ScoreFolderLock.
void removeLeftoverSaves(const std::filesystem::path& file);

// An exclusive lock on the file's folder, held from construction to destruction, so that games
// saving at the same moment take turns. Waits a few seconds at most for another game: a game
// stopped in the middle of its save must not hang this one's exit.
class ScoreFolderLock {
public:
    explicit ScoreFolderLock(const std::filesystem::path& file);
    ScoreFolderLock(const ScoreFolderLock&) = delete;
    ScoreFolderLock& operator=(const ScoreFolderLock&) = delete;
    ~ScoreFolderLock();

    // False when the lock could not be taken (an odd file system, a game that never lets go).
    bool held() const { return locked; }

private:
    int folder = -1;
    bool locked = false;
};

} // namespace persist
