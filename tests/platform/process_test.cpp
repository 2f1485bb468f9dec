// The process's side of the session: a broken pipe that fails a write instead of ending the
// game, and the hang-up caught as a close request. (Closed standard descriptors are filled
// before the display can take them: the end-to-end test closed_stderr starts the game so.)
#include "platform/posix/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs check in a child process; its exit status is what the test sees.
int inChild(int (*check)()) {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(check());
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
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

TEST(Process, AHangupIsACloseRequestUnlessIgnoredAndABrokenPipeOnlyFailsAWrite) {
    EXPECT_EQ(inChild(takesEachHangupOnce), 0);
    EXPECT_EQ(inChild(keepsIgnoringAnIgnoredHangup), 0);
    EXPECT_EQ(inChild(survivesAWriteToAClosedPipe), 0);
}

} // namespace
