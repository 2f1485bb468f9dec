#include "persist/score_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace persist {

namespace {

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

// The folder that holds file: "." for a bare file name.
std::filesystem::path folderOf(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
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

// The suffix mkstemp puts in place of "XXXXXX": six ASCII letters or digits.
bool isTemporarySuffix(const std::string& suffix) {
    if (suffix.size() != 6) return false;
    for (const char c : suffix) {
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!alnum) return false;
    }
    return true;
}

} // namespace

bool readScoreFile(const std::filesystem::path& file, char (&text)[scoreFileSize],
                   std::string& reason) {
    std::memset(text, 0, sizeof text);
    // Non-blocking, so that a pipe standing where the file should be cannot hang the start.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // No file (or a plain file where one of its folders should be): the first run.
        if (errno == ENOENT || errno == ENOTDIR) return true;
        reason = errnoText(errno);
        return false;
    }
    std::size_t got = 0;
    int error = 0;
    while (got < scoreFileSize) {
        const ssize_t n = ::read(fd, text + got, scoreFileSize - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error != 0) {
        std::memset(text, 0, sizeof text);
        reason = errnoText(error);
        return false;
    }
    return true;
}

bool replaceScoreFile(const std::filesystem::path& file, const char (&text)[scoreFileSize],
                      std::string& reason) {
    // A file the player made read-only stays as it is, as if it could not be written over;
    // renaming a new file onto it would slip past its protection.
    if (::access(file.c_str(), F_OK) == 0 && ::access(file.c_str(), W_OK) != 0) {
        reason = errnoText(errno);
        return false;
    }

    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        reason = errnoText(errno);
        return false;
    }
    int error = 0;
    if (!writeAll(fd, text, scoreFileSize)) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), file.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        reason = errnoText(error);
        return false;
    }

    // The rename lives in the folder: without this a power cut could bring back the old file.
    // The new score is in place either way, so a folder that can't be synced is no failure.
    const int folder = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void removeLeftoverSaves(const std::filesystem::path& file) {
    const std::string prefix = file.filename().string() + ".";
    std::error_code error;
    std::filesystem::directory_iterator entries(folderOf(file), error);
    if (error) return;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
            !isTemporarySuffix(name.substr(prefix.size())))
            continue;
        if (!entry.is_regular_file(error) || entry.is_symlink(error)) continue;
        std::filesystem::remove(entry.path(), error);
    }
}

ScoreFolderLock::ScoreFolderLock(const std::filesystem::path& file) {
    folder = ::open(folderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) return;
    // A save takes a few milliseconds; one that holds the folder far longer is stuck.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point giveUp = Clock::now() + std::chrono::seconds(5);
    for (;;) {
        if (::flock(folder, LOCK_EX | LOCK_NB) == 0) {
            locked = true;
            return;
        }
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK || Clock::now() >= giveUp) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

ScoreFolderLock::~ScoreFolderLock() {
    // Closing the folder lets the lock go.
    if (folder >= 0) ::close(folder);
}

} // namespace persist
