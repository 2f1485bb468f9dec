// The scrambled number of the best-score file, and the file itself: saves, loads and failures.
#include "persist/best_score_codec.h"
#include "persist/score_record.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TEST(BestScoreCodec, EveryBestScoreSurvivesASaveAndALoad) {
    for (std::int32_t b = 0; b < 10000; ++b) {
        char text[16];
        std::memset(text, '7', sizeof text); // stale digits that the save must clear
        encodeBestScore(b, text);
        ASSERT_EQ(decodeBestScore(text), b);
    }
    // Exactly what "%d" writes: from 6770 on the stored number passes 2147483647.
    const std::pair<std::int32_t, std::string> files[] = {
        {0, std::string("1260203635\0\0\0\0\0\0", 16)},
        {6769, std::string("2147430003\0\0\0\0\0\0", 16)},
        {6770, std::string("-2147406221\0\0\0\0\0", 16)},
        {9999, std::string("-1724174733\0\0\0\0\0", 16)}};
    for (const auto& [best, bytes] : files) {
        char text[16];
        std::memset(text, 'x', sizeof text);
        encodeBestScore(best, text);
        EXPECT_EQ(std::string(text, 16), bytes) << best;
    }
}

TEST(BestScoreCodec, DecodingChecks) {
    const std::pair<std::string, std::int32_t> files[] = {
        {"1260858995", 5},    // key + 5 * 131072
        {"1260859011", 0},    // ... + 16: bit 4 set
        {"1260859010", 5},    // ... + 15: the other low bits don't count
        {"1260859027", 5},    // ... + 32
        {"1260203634", 0},    // below the key
        {"2570923635", 0},    // 10000 decoded: too big
        {"2570792563", 9999}, // 9999 written without its sign still reads
        {"", 0},
        {"no digits here!!", 0},
        {"9999999999999999", 4689}, // 16 digits, gathered modulo 2^32
        // Non-digits between digits are skipped, a zero byte included; digits behind it count.
        {"1260 334707", 1},
        {std::string("126033\0"
                     "4707",
                     11),
         1},
        {std::string("1260334707\0"
                     "99999",
                     16),
         5266},
        // A minus sign counts only as the first byte.
        {"x-1260334707", 1},
        {"-1260334707", 0},
        {" -2147406221", 0},
        {"-2147406221", 6770}};
    for (const auto& [bytes, best] : files) {
        char text[16] = {}; // zero bytes behind, as after a short read
        std::memcpy(text, bytes.data(), bytes.size());
        EXPECT_EQ(decodeBestScore(text), best) << bytes;
    }
}

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

// A start and an exit of the game with this best score at the end.
void saveBest(const fs::path& file, std::int32_t best) {
    ScoreRecord record(file);
    record.bestScore = best;
}

std::int32_t bestScoreIn(const fs::path& file) {
    ScoreRecord record(file);
    record.file.clear(); // look, don't write
    return record.bestScore;
}

const std::string stored42("1265708659\0\0\0\0\0\0", 16);

TEST_F(ScoreFile, SavedAtExitAndReadBackAtTheNextStart) {
    const fs::path file = folder / "hopla" / "hsd.dat";
    {
        ScoreRecord record(file);
        EXPECT_EQ(record.bestScore, 0);
        EXPECT_FALSE(fs::exists(file)); // reading makes nothing
    }
    EXPECT_EQ(readBytes(file), std::string("1260203635\0\0\0\0\0\0", 16)); // the folder is made
    // A foreign file's digits behind the terminator do not survive a save.
    writeBytes(file, "9999999999999999");
    {
        ScoreRecord record(file);
        EXPECT_EQ(record.bestScore, 4689);
        record.bestScore = 1;
    }
    EXPECT_EQ(readBytes(file), std::string("1260334707\0\0\0\0\0\0", 16));
    EXPECT_EQ(entries(file.parent_path()), 1); // no temporary file left behind
}

TEST_F(ScoreFile, DamagedOrOddFilesReadAsZeroOrTheirFirstSixteenBytes) {
    const fs::path file = folder / "hsd.dat";
    ScoreRecord record{fs::path()}; // loads when told, saves nothing
    const std::pair<std::string, std::int32_t> files[] = {
        {"", 0},
        {std::string("\xff\x00\x13junk\x80--\n\t", 13), 0},
        {"1265708659      77777777", 42}, // bytes beyond the sixteenth don't count
        {"9999999999999999", 4689},
        {"1265708659", 42}}; // short: the rest reads as zero bytes, whatever was read before
    for (const auto& [bytes, best] : files) {
        writeBytes(file, bytes);
        record.file = file;
        loadBestScore(record);
        record.file.clear();
        EXPECT_EQ(record.bestScore, best) << bytes;
    }
    fs::create_directory(folder / "folder.dat"); // opens, but can't be read
    EXPECT_EQ(bestScoreIn(folder / "folder.dat"), 0);
    ASSERT_EQ(::mkfifo((folder / "pipe.dat").c_str(), 0600), 0); // must not hang the start
    EXPECT_EQ(bestScoreIn(folder / "pipe.dat"), 0);
    EXPECT_EQ(bestScoreIn(folder / "missing.dat"), 0);
}

// What a save can run into besides the file system: nothing more, no room for a single byte
// (a file size limit, which binds root too), or the rights of an ordinary player.
enum class Hurdle { none, noRoom, asPlayer };

// Saves bestScore into file in a child process facing that hurdle; returns what the save said
// on stderr, through a pipe, which a file size limit does not touch.
std::string saveAndListen(const fs::path& file, std::int32_t bestScore, Hurdle hurdle) {
    int ends[2];
    if (::pipe(ends) != 0) return "pipe failed";
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(ends[1], 2);
        const rlimit noRoom{0, 0};
        if (hurdle == Hurdle::noRoom &&
            (std::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &noRoom) != 0))
            ::_exit(1);
        if (hurdle == Hurdle::asPlayer && ::geteuid() == 0 &&
            (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(1);
        saveBest(file, bestScore);
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string said;
    char chunk[256];
    for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) > 0;)
        said.append(chunk, static_cast<std::size_t>(n));
    ::close(ends[0]);
    ::waitpid(child, nullptr, 0);
    return said;
}

TEST_F(ScoreFile, AFailedSaveLeavesTheOldFileAndSaysWhyInOneBeepingLine) {
    const fs::path blocker = folder / "blocker";         // a plain file where the folder should be
    const fs::path taken = folder / "taken" / "hsd.dat"; // a folder where the file should be
    const fs::path full = folder / "full" / "hsd.dat";
    const fs::path readOnly = folder / "read-only" / "hsd.dat";
    writeBytes(blocker, "not a folder");
    fs::create_directories(taken / "inside");
    for (const fs::path& file : {full, readOnly}) {
        fs::create_directories(file.parent_path());
        fs::permissions(file.parent_path(), fs::perms::all);
        writeBytes(file, stored42);
    }
    fs::permissions(folder, fs::perms::all);
    fs::permissions(readOnly,
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    const struct {
        fs::path file;
        Hurdle hurdle;
        std::string reason;
    } cases[] = {{blocker / "hopla" / "hsd.dat", Hurdle::none, "Not a directory"},
                 {taken, Hurdle::none, "directory"},
                 {full, Hurdle::noRoom, "File too large"},
                 {readOnly, Hurdle::asPlayer, "Permission denied"}};
    for (const auto& c : cases) {
        const std::string said = saveAndListen(c.file, 9999, c.hurdle);
        ASSERT_FALSE(said.empty()) << c.file;
        EXPECT_EQ(said.front(), '\a');
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
        EXPECT_NE(said.find(c.file.string()), std::string::npos) << said;
        EXPECT_NE(said.find(c.reason), std::string::npos) << said;
    }
    // Everything stays as it was, and no temporary file is left behind.
    EXPECT_EQ(readBytes(blocker), "not a folder");
    EXPECT_TRUE(fs::is_directory(taken / "inside"));
    for (const fs::path& file : {full, readOnly}) EXPECT_EQ(readBytes(file), stored42) << file;
    for (const fs::path& file : {taken, full, readOnly}) EXPECT_EQ(entries(file.parent_path()), 1);
    // An empty path keeps the best score nowhere, and says nothing about it.
    EXPECT_EQ(saveAndListen(fs::path(), 5, Hurdle::none), "");
}

TEST_F(ScoreFile, TheFileLivesInTheUsersDataFolder) {
    // No other test reads these variables.
    ::setenv("HOME", (folder / "home").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
    EXPECT_EQ(bestScoreFilePath(), folder / "data" / "hopla" / "hsd.dat");
    ::setenv("XDG_DATA_HOME", "", 1);
    EXPECT_EQ(bestScoreFilePath(), folder / "home" / ".local" / "share" / "hopla" / "hsd.dat");
    ::unsetenv("XDG_DATA_HOME");
    const fs::path file = bestScoreFilePath();
    EXPECT_EQ(file, folder / "home" / ".local" / "share" / "hopla" / "hsd.dat");
    saveBest(file, 123); // neither folder exists yet: the save makes them
    EXPECT_EQ(bestScoreIn(file), 123);
}

} // namespace
