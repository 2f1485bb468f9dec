#include "persist/best_score_codec.h"
#include "persist/score_record.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "hopla-score-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
    fs::path path;
};

// Sets or unsets an environment variable for one test and puts the old value back after.
class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name(name) {
        if (const char* value = std::getenv(name)) old = value;
    }
    ~EnvironmentVariable() {
        if (old)
            ::setenv(name, old->c_str(), 1);
        else
            ::unsetenv(name);
    }
    void set(const std::string& value) { ::setenv(name, value.c_str(), 1); }
    void unset() { ::unsetenv(name); }

private:
    const char* name;
    std::optional<std::string> old;
};

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

std::int32_t bestScoreIn(const fs::path& file) {
    ScoreRecord record(file);
    const std::int32_t best = record.bestScore;
    record.file.clear(); // look, don't write
    return best;
}

TEST(ScoreRecord, FirstStartCreatesTheFileAtExitAndLaterStartsReadItBack) {
    TempFolder folder;
    const fs::path file = folder.path / "hopla" / "hsd.dat";
    {
        ScoreRecord record(file);
        EXPECT_EQ(record.score, 0);
        EXPECT_EQ(record.bestScore, 0);
        EXPECT_FALSE(fs::exists(file)); // reading makes nothing
    }
    EXPECT_EQ(readBytes(file), std::string("1260203635\0\0\0\0\0\0", 16));

    for (const std::int32_t best : {1, 42, 6769, 6770, 9998, 9999, 0}) {
        {
            ScoreRecord record(file);
            record.bestScore = best;
        }
        ASSERT_EQ(readBytes(file).size(), 16u);
        ScoreRecord again(file);
        EXPECT_EQ(again.bestScore, best);
        EXPECT_EQ(again.score, 0);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1); // no leftovers
}

TEST(ScoreRecord, StaleDigitsOfAForeignFileDoNotSurviveASave) {
    TempFolder folder;
    const fs::path file = folder.path / "hsd.dat";
    writeBytes(file, "9999999999999999");
    {
        ScoreRecord record(file);
        EXPECT_EQ(record.bestScore, 4689);
        record.bestScore = 1;
    }
    EXPECT_EQ(readBytes(file), std::string("1260334707\0\0\0\0\0\0", 16));
    EXPECT_EQ(bestScoreIn(file), 1);
}

TEST(ScoreRecord, DamagedOrOddFilesReadAsZeroOrTheirFirstSixteenBytes) {
    TempFolder folder;
    const fs::path file = folder.path / "hsd.dat";
    writeBytes(file, "");
    EXPECT_EQ(bestScoreIn(file), 0);
    writeBytes(file, std::string("\xff\x00\x13junk\x80--\n\t", 13));
    EXPECT_EQ(bestScoreIn(file), 0);
    writeBytes(file, "1265708659      77777777"); // 42, then bytes beyond the sixteenth
    EXPECT_EQ(bestScoreIn(file), 42);
    // Short: the rest reads as zero bytes, even in a record that read a longer file before.
    writeBytes(file, "9999999999999999");
    ScoreRecord record(file);
    EXPECT_EQ(record.bestScore, 4689);
    writeBytes(file, "1265708659");
    loadBestScore(record);
    EXPECT_EQ(record.bestScore, 42);
    record.file.clear();

    // A folder standing where the file should be opens but can't be read.
    const fs::path folderInstead = folder.path / "folder.dat";
    fs::create_directory(folderInstead);
    EXPECT_EQ(bestScoreIn(folderInstead), 0);
    // A pipe must not hang the start.
    const fs::path pipe = folder.path / "pipe.dat";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_EQ(bestScoreIn(pipe), 0);
    EXPECT_EQ(bestScoreIn(folder.path / "missing.dat"), 0);

    // An empty path keeps the best score nowhere, and says nothing about it.
    testing::internal::CaptureStderr();
    {
        ScoreRecord nowhere{fs::path()};
        nowhere.bestScore = 5;
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// Saves bestScore into file and returns what the save said on stderr. Listens through a pipe,
// which a file size limit does not touch.
std::string saveAndListen(const fs::path& file, std::int32_t bestScore) {
    int ends[2];
    if (::pipe(ends) != 0) return "pipe failed";
    std::fflush(stderr);
    const int savedStderr = ::dup(2);
    ::dup2(ends[1], 2);
    ::close(ends[1]);
    {
        ScoreRecord record{fs::path()};
        record.file = file;
        record.bestScore = bestScore;
    }
    std::fflush(stderr);
    ::dup2(savedStderr, 2);
    ::close(savedStderr);
    std::string said;
    char chunk[256];
    for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) > 0;) {
        said.append(chunk, static_cast<std::size_t>(n));
    }
    ::close(ends[0]);
    return said;
}

void expectOneBeepingLineNaming(const std::string& said, const fs::path& file,
                                const std::string& reason) {
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.front(), '\a');
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_NE(said.find(file.string()), std::string::npos) << said;
    EXPECT_NE(said.find(reason), std::string::npos) << said;
}

TEST(ScoreRecord, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    TempFolder folder;

    // An empty path keeps the best score nowhere, and says nothing about it.
    EXPECT_EQ(saveAndListen(fs::path(), 5), "");

    // The folder can't be made: a plain file stands in its way.
    writeBytes(folder.path / "blocker", "not a folder");
    const fs::path behindAFile = folder.path / "blocker" / "hopla" / "hsd.dat";
    expectOneBeepingLineNaming(saveAndListen(behindAFile, 7), behindAFile, "Not a directory");
    EXPECT_EQ(readBytes(folder.path / "blocker"), "not a folder");

    // The new file can't take the old one's place: a folder is there.
    const fs::path taken = folder.path / "taken" / "hsd.dat";
    fs::create_directories(taken / "inside");
    expectOneBeepingLineNaming(saveAndListen(taken, 7), taken, "directory");
    EXPECT_TRUE(fs::is_directory(taken / "inside"));
    EXPECT_EQ(std::distance(fs::directory_iterator(taken.parent_path()), {}), 1);

    // The write itself fails halfway (a file size limit binds root too): the old file stays
    // whole and no temporary file is left behind.
    const fs::path file = folder.path / "full" / "hsd.dat";
    fs::create_directories(file.parent_path());
    writeBytes(file, std::string("1265708659\0\0\0\0\0\0", 16));
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit none = old;
    none.rlim_cur = 0;
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &none), 0);
    const std::string said = saveAndListen(file, 9999);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    expectOneBeepingLineNaming(said, file, "File too large");
    EXPECT_EQ(readBytes(file), std::string("1265708659\0\0\0\0\0\0", 16));
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), {}), 1);
}

TEST(ScoreRecord, AReadOnlyFileIsNotWrittenOver) {
    TempFolder folder;
    const fs::path file = folder.path / "hsd.dat";
    const std::string old("1265708659\0\0\0\0\0\0", 16);
    writeBytes(file, old);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (::geteuid() != 0) {
        expectOneBeepingLineNaming(saveAndListen(file, 9999), file, "Permission denied");
    } else {
        // Root writes anything; an ordinary player can't, so the save runs as one.
        fs::permissions(folder.path, fs::perms::all);
        std::fflush(nullptr);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
            const std::string said = saveAndListen(file, 9999);
            ::_exit(dropped && said.front() == '\a' &&
                            said.find("Permission denied") != std::string::npos
                        ? 0
                        : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(readBytes(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), {}), 1);
}

TEST(ScoreRecord, TheFileLivesInTheUsersDataFolder) {
    TempFolder folder;
    EnvironmentVariable dataHome("XDG_DATA_HOME");
    EnvironmentVariable home("HOME");
    home.set((folder.path / "home").string());

    dataHome.set((folder.path / "data").string());
    EXPECT_EQ(bestScoreFilePath(), folder.path / "data" / "hopla" / "hsd.dat");
    dataHome.set("");
    EXPECT_EQ(bestScoreFilePath(), folder.path / "home" / ".local" / "share" / "hopla" / "hsd.dat");
    dataHome.unset();
    const fs::path file = bestScoreFilePath();
    EXPECT_EQ(file, folder.path / "home" / ".local" / "share" / "hopla" / "hsd.dat");

    // Neither the data folder nor the home folder exists yet: the save makes them.
    {
        ScoreRecord record(file);
        record.bestScore = 123;
    }
    EXPECT_EQ(bestScoreIn(file), 123);
}

} // namespace
