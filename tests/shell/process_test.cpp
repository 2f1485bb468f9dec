// The process's side of the session: closed standard descriptors filled before anything else
// can take them, a broken pipe that fails a write instead of ending the game, and the hang-up
// caught as a close request.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The device and inode of what the descriptor holds; (0, 0) when it is closed.
std::pair<dev_t, ino_t> identity(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) return {0, 0};
    return {st.st_dev, st.st_ino};
}

// Runs check in a child process; its exit status is what the test sees.
int inChild(int (*check)()) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(check());
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// 0 and 2 closed, 1 a pipe: only 0 and 2 change, and the next file opened lands above them.
int fillsOnlyTheClosedDescriptors() {
    int ends[2];
    if (::pipe(ends) != 0 || ::dup2(ends[1], 1) != 1) return 1;
    const auto pipe = identity(1);
    ::close(0);
    ::close(2);
    platform::openMissingStandardStreams();
    struct stat null {};
    if (::stat("/dev/null", &null) != 0) return 2;
    const std::pair<dev_t, ino_t> devNull{null.st_dev, null.st_ino};
    if (identity(0) != devNull || identity(2) != devNull) return 3;
    if (identity(1) != pipe) return 4;
    if ((::fcntl(2, F_GETFL) & O_ACCMODE) != O_RDWR) return 5;
    return ::open("/dev/null", O_RDONLY) > 2 ? 0 : 6;
}

int takesEachHangupOnce() {
    platform::catchHangup();
    if (platform::takeHangup()) return 1;
    ::raise(SIGHUP); // would end the process, were it not caught
    if (!platform::takeHangup()) return 2;
    return platform::takeHangup() ? 3 : 0;
}

int keepsIgnoringAnIgnoredHangup() {
    std::signal(SIGHUP, SIG_IGN); // as under nohup
    platform::catchHangup();
    ::raise(SIGHUP);
    return platform::takeHangup() ? 1 : 0;
}

// A write into a pipe nobody reads any more fails, and the process lives on to say so.
int survivesAWriteToAClosedPipe() {
    platform::ignoreBrokenPipes();
    int ends[2];
    if (::pipe(ends) != 0) return 1;
    ::close(ends[0]);
    const char byte = 0;
    return ::write(ends[1], &byte, 1) == -1 && errno == EPIPE ? 0 : 2;
}

TEST(Process, ClosedStandardDescriptorsGetDevNullAndOpenOnesStay) {
    EXPECT_EQ(inChild(fillsOnlyTheClosedDescriptors), 0);
}

TEST(Process, AHangupBecomesACloseRequestUnlessItWasIgnored) {
    EXPECT_EQ(inChild(takesEachHangupOnce), 0);
    EXPECT_EQ(inChild(keepsIgnoringAnIgnoredHangup), 0);
}

TEST(Process, AWriteToAClosedConnectionFailsWithoutEndingTheGame) {
    EXPECT_EQ(inChild(survivesAWriteToAClosedPipe), 0);
}

} // namespace
