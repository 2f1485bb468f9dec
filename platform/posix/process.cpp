#include "platform/posix/process.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace platform {

namespace {

volatile std::sig_atomic_t hangupCaught = 0;

void onHangup(int) {
    hangupCaught = 1;
}

} // namespace

void openMissingStandardStreams() {
    // open takes the lowest free descriptor, so going upwards fills exactly the closed ones.
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened >= 0 && opened != fd) ::close(opened); // someone else filled it meanwhile
    }
}

void ignoreBrokenPipes() {
    std::signal(SIGPIPE, SIG_IGN);
}

void catchHangup() {
    struct sigaction current {};
    if (::sigaction(SIGHUP, nullptr, &current) != 0 || current.sa_handler == SIG_IGN) return;
    struct sigaction action {};
    action.sa_handler = onHangup;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGHUP, &action, nullptr);
}

bool takeHangup() {
    if (hangupCaught == 0) return false;
    hangupCaught = 0;
    return true;
}

} // namespace platform
