#include "persist/score_record.h"

#include "persist/best_score_codec.h"
#include "persist/score_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace persist {

static_assert(sizeof(ScoreRecord::text) == scoreFileSize);

ScoreRecord::ScoreRecord(std::filesystem::path file) : file(std::move(file)) {
    std::string reason;
    if (!loadBestScore(*this, reason)) {
        std::fprintf(stderr,
                     "hopla: cannot read the best score from %s: %s; playing with a best score "
                     "of 0 and leaving the file as it is\n",
                     this->file.c_str(), reason.c_str());
    }
}

ScoreRecord::~ScoreRecord() {
    finish();
}

void ScoreRecord::finish() {
    // One beep and one line: the player learns the best score was not kept, and why.
    std::string reason;
    if (!saveBestScore(*this, reason)) {
        std::fprintf(stderr, "\ahopla: could not save the best score to %s: %s\n", file.c_str(),
                     reason.c_str());
    }
    file.clear(); // saved once, kept nowhere from now on
}

bool loadBestScore(ScoreRecord& record, std::string& reason) {
    record.bestScore = 0;
    record.unreadable.clear();
    if (record.file.empty()) {
        std::fill(std::begin(record.text), std::end(record.text), '\0');
        return true;
    }
    if (!readScoreFile(record.file, record.text, reason)) {
        record.unreadable = reason;
        return false;
    }
    record.bestScore = decodeBestScore(record.text);
    return true;
}

bool saveBestScore(ScoreRecord& record, std::string& reason) {
    if (record.file.empty()) return true;
    if (!record.unreadable.empty()) {
        reason =
            "it could not be read at start (" + record.unreadable + "), so it is left as it is";
        return false;
    }

    const std::filesystem::path folder = record.file.parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            reason = error.message();
            return false;
        }
    }

    // Another game may have saved a higher best score since this one started: with the folder
    // locked, what is on file now counts too. Should the lock fail (a file system without
    // locks, a game stuck in its save), reading again still keeps all but a racing save.
    const ScoreFolderLock lock(record.file);
    if (lock.held()) removeLeftoverSaves(record.file);
    char onFile[scoreFileSize];
    if (!readScoreFile(record.file, onFile, reason)) {
        reason = "it can no longer be read (" + reason + "), so it is left as it is";
        return false;
    }
    record.bestScore = std::max(record.bestScore, decodeBestScore(onFile));

    encodeBestScore(record.bestScore, record.text);
    return replaceScoreFile(record.file, record.text, reason);
}

std::filesystem::path bestScoreFilePath() {
    const std::filesystem::path inFolder = std::filesystem::path("hopla") / "hsd.dat";
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome != '\0') return std::filesystem::path(dataHome) / inFolder;

    std::filesystem::path home;
    const char* homeVariable = std::getenv("HOME");
    if (homeVariable != nullptr && *homeVariable != '\0') {
        home = homeVariable;
    } else if (const passwd* account = ::getpwuid(::getuid());
               account != nullptr && account->pw_dir != nullptr && *account->pw_dir != '\0') {
        home = account->pw_dir;
    } else {
        return {};
    }
    return home / ".local" / "share" / inFolder;
}

} // namespace persist
