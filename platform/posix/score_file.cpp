#include "platform/posix/score_file.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <thread>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::string errnoText(int error) {
    return std::generic_category().message(error);
}

// The folder that holds file: "." for a bare file name.
fs::path folderOf(const fs::path& file) {
    const fs::path folder = file.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

// The file a save replaces: file itself, or where its chain of symbolic links ends, which
// need not exist yet as long as its folder does. The folder of a file that is no link is made
// when missing. False when the links loop or lead into a folder that does not exist.
bool fileToReplace(const fs::path& file, fs::path& target, std::string& reason) {
    target = file;
    bool linked = false;
    for (int hops = 0;; ++hops) {
        struct stat entry {};
        if (::lstat(target.c_str(), &entry) != 0 || !S_ISLNK(entry.st_mode)) break;
        if (hops == 40) { // what the kernel allows before it calls it a loop
            reason = errnoText(ELOOP);
            return false;
        }
        std::error_code error;
        const fs::path next = fs::read_symlink(target, error);
        if (error) {
            reason = error.message();
            return false;
        }
        target = next.is_absolute() ? next : folderOf(target) / next;
        linked = true;
    }
    std::error_code error;
    if (linked) {
        if (fs::is_directory(folderOf(target), error)) return true;
        reason = "its link leads into a folder that does not exist";
        return false;
    }
    fs::create_directories(folderOf(target), error);
    if (error) reason = error.message();
    return !error;
}

// Reads up to the first 16 bytes of the file; bytes the file doesn't reach are zero.
bool readFile(const fs::path& file, ScoreBytes& bytes, std::string& reason) {
    std::memset(bytes, 0, sizeof bytes);
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
    while (got < sizeof bytes) {
        const ssize_t n = ::read(fd, bytes + got, sizeof bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) error = errno;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error != 0) {
        std::memset(bytes, 0, sizeof bytes);
        reason = errnoText(error);
        return false;
    }
    return true;
}

// Writes all of bytes to the open file and makes it durable; false with errno set otherwise.
bool writeAll(int fd, const ScoreBytes& bytes) {
    std::size_t done = 0;
    while (done < sizeof bytes) {
        const ssize_t written = ::write(fd, bytes + done, sizeof bytes - done);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return ::fsync(fd) == 0;
}

// The mode a file made now gets: 0666 under the umask. The umask can only be read by setting
// it; no other thread of the game makes files meanwhile.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes bytes to a new file beside the old one, makes it durable and renames it over the old
// one, then makes the rename durable too; whatever fails on the way, the old file is either
// replaced whole or left as it was.
bool replaceFile(const fs::path& file, const ScoreBytes& bytes, std::string& reason) {
    // A file the player made read-only stays as it is, as if it could not be written over;
    // renaming a new file onto it would slip past its protection.
    struct stat old {};
    const bool replacing = ::stat(file.c_str(), &old) == 0;
    if (replacing && ::access(file.c_str(), W_OK) != 0) {
        reason = errnoText(errno);
        return false;
    }

    std::string temporary = file.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        reason = errnoText(errno);
        return false;
    }
    // mkstemp makes the file 0600; the player's own choice of mode (or the umask's) is kept.
    // A file system without modes ignores this or refuses it, and the save goes on.
    (void)::fchmod(fd, replacing ? old.st_mode & 0777 : newFileMode());
    int error = 0;
    if (!writeAll(fd, bytes)) error = errno;
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

// Removes the temporary files of interrupted saves beside file: "<name>.XXXXXX" with six
// letters or digits, as replaceFile names them, and only plain files. Nothing else is touched.
void removeLeftoverSaves(const fs::path& file) {
    const std::string prefix = file.filename().string() + ".";
    std::error_code error;
    fs::directory_iterator entries(folderOf(file), error);
    if (error) return;
    for (const auto& entry : entries) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0 ||
            !isTemporarySuffix(name.substr(prefix.size())))
            continue;
        if (!entry.is_regular_file(error) || entry.is_symlink(error)) continue;
        fs::remove(entry.path(), error);
    }
}

// An exclusive lock on the file's folder, held from construction to destruction, so that games
// saving at the same moment take turns. Waits a few seconds at most for another game.
class FolderLock {
public:
    explicit FolderLock(const fs::path& file) {
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
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() {
        if (folder >= 0) ::close(folder); // lets the lock go
    }

    // False when the lock could not be taken (an odd file system, a game that never lets go).
    bool held() const { return locked; }

private:
    int folder = -1;
    bool locked = false;
};

} // namespace

bool FileScoreStore::read(ScoreBytes& bytes, std::string& reason) {
    return readFile(file, bytes, reason);
}

bool FileScoreStore::update(const std::function<void(ScoreBytes&)>& change, std::string& reason) {
    fs::path target;
    if (!fileToReplace(file, target, reason)) return false;
    // Should the lock fail (a file system without locks, a game stuck in its save), reading
    // again still keeps all but a racing save.
    const FolderLock lock(target);
    if (lock.held()) removeLeftoverSaves(target);
    ScoreBytes bytes;
    if (!readFile(target, bytes, reason)) {
        reason = "it can no longer be read (" + reason + "), so it is left as it is";
        return false;
    }
    change(bytes);
    return replaceFile(target, bytes, reason);
}

fs::path bestScoreFilePath() {
    const fs::path inFolder = fs::path("hopla") / "hsd.dat";
    // A relative folder would depend on where the game was started, so it does not count.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome == '/') return fs::path(dataHome) / inFolder;

    fs::path home;
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

} // namespace platform
