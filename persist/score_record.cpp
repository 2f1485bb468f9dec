#include "persist/score_record.h"

#include "persist/best_score_codec.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

constexpr std::size_t fileSize = sizeof(ScoreRecord::text);

// One beep and one line: the player learns the best score was not kept, and why.
void reportSaveFailure(const std::filesystem::path& file, const std::string& reason) {
    std::fprintf(stderr, "\ahopla: could not save the best score to %s: %s\n", file.c_str(),
                 reason.c_str());
}

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

// Writes all of text to the open file and makes it durable; false with errno set otherwise.
bool writeAll(int fd, const char* text, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, text + done, size - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return ::fsync(fd) == 0;
}

} // namespace

ScoreRecord::ScoreRecord(std::filesystem::path file) : file(std::move(file)) {
    loadBestScore(*this);
}

ScoreRecord::~ScoreRecord() {
    saveBestScore(*this);
}

void loadBestScore(ScoreRecord& record) {
    record.bestScore = 0;
    // Only this file's bytes may count; what the record read before does not.
    std::memset(record.text, 0, sizeof record.text);
    if (record.file.empty()) return;

    // Non-blocking, so that a pipe standing where the file should be cannot hang the start.
    const int fd = ::open(record.file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return;
    std::size_t got = 0;
    bool failed = false;
    while (got < fileSize) {
        const ssize_t n = ::read(fd, record.text + got, fileSize - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (!failed) record.bestScore = decodeBestScore(record.text);
}

void saveBestScore(ScoreRecord& record) {
    if (record.file.empty()) return;
    encodeBestScore(record.bestScore, record.text);

    const std::filesystem::path folder = record.file.parent_path();
    if (!folder.empty()) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            reportSaveFailure(record.file, error.message());
            return;
        }
    }

    // A file the player made read-only stays as it is, as if it could not be written over;
    // renaming a new file onto it would slip past its protection.
    if (::access(record.file.c_str(), F_OK) == 0 && ::access(record.file.c_str(), W_OK) != 0) {
        reportSaveFailure(record.file, errnoText(errno));
        return;
    }

    // The new file is written beside the old one and renamed over it, so that whatever fails
    // on the way, the old file is either replaced whole or left as it was.
    std::string temporary = record.file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        reportSaveFailure(record.file, errnoText(errno));
        return;
    }
    const auto abandon = [&](int error) {
        ::unlink(temporary.c_str());
        reportSaveFailure(record.file, errnoText(error));
    };
    if (!writeAll(fd, record.text, fileSize)) {
        const int error = errno;
        ::close(fd);
        abandon(error);
    } else if (::close(fd) != 0) {
        abandon(errno);
    } else if (std::rename(temporary.c_str(), record.file.c_str()) != 0) {
        abandon(errno);
    }
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
