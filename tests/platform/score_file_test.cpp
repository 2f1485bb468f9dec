// The desktop's best-score file: where it lives, what is read of it, and how a save replaces
// it (whole, never lowering the best, keeping its links and mode) or leaves it and says why.
#include "persist/best_score_codec.h"
#include "persist/score_record.h"
#include "platform/posix/score_file.h"
#include "platform/terminal_text.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using persist::ScoreRecord;
using platform::FileScoreStore;

namespace {

// Each test works in a fresh folder under the system's temporary folder.
class ScoreFile : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "hopla-score-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override { fs::remove_all(folder); }
    long entries(const fs::path& in) const { return std::distance(fs::directory_iterator(in), {}); }
    fs::path folder;
};

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// A start and an exit of the game with this best score at the end; gives the best score the
// start found.
std::int32_t saveBest(const fs::path& file, std::int32_t best) {
    FileScoreStore store(file);
    ScoreRecord record(&store);
    const std::int32_t atStart = record.bestScore;
    record.bestScore = best;
    return atStart;
}

std::int32_t bestScoreIn(const fs::path& file) {
    platform::ScoreBytes bytes;
    std::string reason;
    FileScoreStore(file).read(bytes, reason);
    return persist::decodeBestScore(bytes);
}

const std::string stored42("1265708659\0\0\0\0\0\0", 16);

TEST_F(ScoreFile, OnlyTheFirstSixteenBytesAreRead) {
    const fs::path file = folder / "hsd.dat";
    const std::pair<std::string, std::string> files[] = {
        {"1265708659      77777777", "1265708659      "},
        {"1265708659", std::string("1265708659\0\0\0\0\0\0", 16)}}; // zero bytes behind
    for (const auto& [bytes, read] : files) {
        writeBytes(file, bytes);
        platform::ScoreBytes got;
        std::string reason;
        EXPECT_TRUE(FileScoreStore(file).read(got, reason)) << reason;
        EXPECT_EQ(std::string(got, sizeof got), read);
    }
    ASSERT_EQ(::mkfifo((folder / "pipe.dat").c_str(), 0600), 0); // must not hang the start
    EXPECT_EQ(bestScoreIn(folder / "pipe.dat"), 0);
    EXPECT_EQ(bestScoreIn(folder / "missing.dat"), 0);
}

// What a save can run into besides the file system: nothing more, no room for a single byte
// (a file size limit, which binds root too), or the rights of an ordinary player.
enum class Hurdle { none, noRoom, asPlayer };
constexpr uid_t player = 65534; // who an ordinary player is when the tests run as root

struct GameRun {
    std::int32_t bestAtStart = -1;
    std::string said; // on stderr
};

// Starts a game on file in a child process facing that hurdle and ends it with bestScore;
// returns the best score it started with and what it said on stderr, through a pipe, which a
// file size limit does not touch.
GameRun playAndListen(const fs::path& file, std::int32_t bestScore, Hurdle hurdle) {
    int ends[2];
    if (::pipe(ends) != 0) return {-1, "pipe failed"};
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(ends[1], 2);
        const rlimit noRoom{0, 0};
        if (hurdle == Hurdle::noRoom &&
            (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &noRoom) != 0))
            ::_exit(255);
        if (hurdle == Hurdle::asPlayer && ::geteuid() == 0 &&
            (::setgid(player) != 0 || ::setuid(player) != 0))
            ::_exit(255);
        ::_exit(saveBest(file, bestScore));
    }
    ::close(ends[1]);
    GameRun run;
    char chunk[256];
    for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) > 0;)
        run.said.append(chunk, static_cast<std::size_t>(n));
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status)) run.bestAtStart = WEXITSTATUS(status);
    return run;
}

TEST_F(ScoreFile, AFileThatCanNotBeReadOrWrittenIsLeftAsItWasAndTheGameSaysWhy) {
    // A plain file where the folder should be, with a name that would steer the terminal.
    const fs::path blocker = folder / "blocker\x1b[7m\n";
    const fs::path taken = folder / "taken" / "hsd.dat"; // a folder where the file should be
    const fs::path full = folder / "full" / "hsd.dat";
    const fs::path readOnly = folder / "read-only" / "hsd.dat";
    const fs::path writeOnly = folder / "write-only" / "hsd.dat"; // the player may not read it
    const fs::path loop = folder / "loop.dat", dangling = folder / "dangling.dat"; // links
    fs::create_symlink("loop.dat", loop);
    fs::create_symlink(folder / "missing" / "hsd.dat", dangling);
    writeBytes(blocker, "not a folder");
    fs::create_directories(taken / "inside");
    for (const fs::path& file : {full, readOnly, writeOnly}) {
        fs::create_directories(file.parent_path());
        fs::permissions(file.parent_path(), fs::perms::all);
        writeBytes(file, stored42);
    }
    fs::permissions(folder, fs::perms::all);
    fs::permissions(readOnly,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(writeOnly, fs::perms::owner_write, fs::perm_options::replace);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(writeOnly.c_str(), player, player), 0);
    }

    // Each game ends with 9999 against a file that holds 42 or nothing at all. A file that
    // can't be read is named at start as well as at exit.
    const struct {
        fs::path file;
        Hurdle hurdle;
        std::string reason;
        std::int32_t bestAtStart;
        bool unreadable;
    } cases[] = {{blocker / "hopla" / "hsd.dat", Hurdle::none, "Not a directory", 0, false},
                 {taken, Hurdle::none, "Is a directory", 0, true},
                 {full, Hurdle::noRoom, "File too large", 42, false},
                 {readOnly, Hurdle::asPlayer, "Permission denied", 42, false},
                 {writeOnly, Hurdle::asPlayer, "Permission denied", 0, true},
                 {loop, Hurdle::none, "Too many levels of symbolic links", 0, true},
                 {dangling, Hurdle::none, "folder that does not exist", 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string shown = platform::escapeControls(c.file.string());
        const GameRun run = playAndListen(c.file, 9999, c.hurdle);
        EXPECT_EQ(run.bestAtStart, c.bestAtStart);
        std::string atExit = run.said;
        if (c.unreadable) {
            const std::size_t end = run.said.find('\n');
            ASSERT_NE(end, std::string::npos) << run.said;
            const std::string atStart = run.said.substr(0, end + 1);
            atExit = run.said.substr(end + 1);
            EXPECT_NE(atStart.find("cannot read"), std::string::npos) << atStart;
            EXPECT_NE(atStart.find(shown), std::string::npos) << atStart;
            EXPECT_NE(atStart.find(c.reason), std::string::npos) << atStart;
            EXPECT_NE(atExit.find("left as it is"), std::string::npos) << atExit;
        }
        ASSERT_FALSE(atExit.empty());
        EXPECT_EQ(atExit.front(), '\a'); // the beep
        EXPECT_EQ(atExit.find('\n'), atExit.size() - 1) << atExit;
        EXPECT_NE(atExit.find(shown), std::string::npos) << atExit;
        EXPECT_NE(atExit.find(c.reason), std::string::npos) << atExit;
        EXPECT_EQ(atExit.find('\x1b'), std::string::npos) << atExit;
    }
    // Everything stays as it was, and no temporary file is left behind.
    EXPECT_EQ(readBytes(blocker), "not a folder");
    EXPECT_TRUE(fs::is_directory(taken / "inside"));
    for (const fs::path& file : {full, readOnly, writeOnly}) {
        fs::permissions(file, fs::perms::owner_read, fs::perm_options::add);
        EXPECT_EQ(readBytes(file), stored42) << file;
    }
    for (const fs::path& file : {taken, full, readOnly, writeOnly})
        EXPECT_EQ(entries(file.parent_path()), 1) << file;
    EXPECT_TRUE(fs::is_symlink(loop) && fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(folder / "missing"));
}

TEST_F(ScoreFile, ASaveClearsWhatInterruptedSavesLeftAndNothingElse) {
    const fs::path file = folder / "hsd.dat";
    const char* const leftovers[] = {"hsd.dat.Ab3xYz", "hsd.dat.000000"};
    const char* const others[] = {"hsd.dat.Ab3xY", "hsd.dat.Ab3xYz7", "hsd.dat.Ab3-Yz",
                                  "hsd.dat.lock",  "xhsd.dat.Ab3xYz", "other.Ab3xYz"};
    for (const char* name : leftovers) writeBytes(folder / name, "1260334707");
    for (const char* name : others) writeBytes(folder / name, "keep");
    fs::create_directory(folder / "hsd.dat.Folder");
    fs::create_symlink(folder / "other.Ab3xYz", folder / "hsd.dat.Linked");

    saveBest(file, 3);
    for (const char* name : leftovers) EXPECT_FALSE(fs::exists(folder / name)) << name;
    for (const char* name : others) EXPECT_EQ(readBytes(folder / name), "keep") << name;
    EXPECT_TRUE(fs::is_directory(folder / "hsd.dat.Folder"));
    EXPECT_TRUE(fs::is_symlink(folder / "hsd.dat.Linked"));
    EXPECT_EQ(bestScoreIn(file), 3);
}

TEST_F(ScoreFile, ASaveKeepsTheFilesModeAndItsLink) {
    const mode_t umask = ::umask(022);
    const fs::path file = folder / "data" / "hsd.dat";
    saveBest(file, 1);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0644)) << "new: 0666 under the umask";

    // A link into a synced folder stays a link: its target is read, and replaced where it is,
    // keeping its mode.
    const fs::path target = folder / "synced" / "score.dat";
    fs::create_directory(target.parent_path());
    writeBytes(target, stored42);
    fs::permissions(target, fs::perms(0640));
    fs::remove(file);
    fs::create_symlink("../synced/score.dat", file);
    EXPECT_EQ(saveBest(file, 100), 42);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(bestScoreIn(target), 100);
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));
    EXPECT_EQ(entries(target.parent_path()), 1);
    // A link to a file not made yet, in a folder that is there: the file is made there.
    fs::remove(target);
    saveBest(file, 5);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(bestScoreIn(target), 5);
    ::umask(umask);
}

// Games ending at the same moment, each with its own best score, all started while the file
// held a lower one: whatever order their saves run in, the highest stays on file, whole.
TEST_F(ScoreFile, GamesEndingTogetherKeepTheHighestBestScore) {
    // Each save waits for the disk twice; in memory, where the machine has it, 400 of them
    // take a moment rather than seconds, and the lock works the same.
    if (fs::is_directory("/dev/shm")) {
        fs::remove_all(folder);
        std::string pattern = "/dev/shm/hopla-score-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    const fs::path file = folder / "hsd.dat";
    constexpr int games = 3;
    for (int round = 0; round < 100; ++round) {
        char text[16];
        persist::encodeBestScore(round % 7, text);
        writeBytes(file, std::string(text, sizeof text));
        int started[2], go[2];
        ASSERT_EQ(::pipe(started), 0);
        ASSERT_EQ(::pipe(go), 0);
        std::fflush(nullptr);
        pid_t children[games];
        for (int g = 0; g < games; ++g) {
            // Scores that differ and whose highest is any of the games in turn.
            const std::int32_t best = 100 + ((round + g) % games) * 1000 + round;
            children[g] = ::fork();
            if (children[g] == 0) {
                ::close(go[1]);
                {
                    FileScoreStore store(file);
                    ScoreRecord record(&store);
                    record.bestScore = best;
                    char byte = 's';
                    (void)!::write(started[1], &byte, 1);
                    (void)!::read(go[0], &byte, 1); // until every game has started
                }                                   // the game ends: its best score is saved
                ::_exit(0);
            }
        }
        ::close(started[1]);
        ::close(go[0]);
        char byte;
        for (int g = 0; g < games; ++g) ASSERT_EQ(::read(started[0], &byte, 1), 1);
        ::close(started[0]);
        ::close(go[1]); // all of them end now
        for (const pid_t child : children) {
            int status = -1;
            ::waitpid(child, &status, 0);
            EXPECT_EQ(status, 0);
        }
        ASSERT_EQ(readBytes(file).size(), 16u) << "round " << round;
        ASSERT_EQ(bestScoreIn(file), 100 + 2000 + round) << "round " << round;
        ASSERT_EQ(entries(folder), 1) << "round " << round;
    }
}

TEST_F(ScoreFile, TheFileLivesInTheUsersDataFolder) {
    // No other test reads these variables.
    ::setenv("HOME", (folder / "home").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    EXPECT_EQ(platform::bestScoreFilePath(), folder / "data" / "hopla" / "hsd.dat");
    const fs::path file = folder / "home" / ".local" / "share" / "hopla" / "hsd.dat";
    // Empty, or relative to wherever the game was started, it counts as unset.
    for (const char* ignored : {"", "data"}) {
        ::setenv("XDG_DATA_HOME", ignored, 1);
        EXPECT_EQ(platform::bestScoreFilePath(), file) << ignored;
    }
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(platform::bestScoreFilePath(), file);
    EXPECT_EQ(bestScoreIn(file), 0);
    EXPECT_FALSE(fs::exists(folder / "home")) << "reading makes nothing";
    saveBest(file, 123); // the save makes both folders
    EXPECT_EQ(bestScoreIn(file), 123);
    {
        // A game that had to save early (its display went) does not save again at its end.
        FileScoreStore store(file);
        ScoreRecord record(&store);
        record.finish();
        fs::remove(file);
    }
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
