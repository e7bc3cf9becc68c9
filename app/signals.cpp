// Termination signals reach the loop as a byte in a pipe, so the handler does
// nothing a signal may interrupt badly and the loop ends at a clean point.
#include "app/signals.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace {

int signalWriteFd = -1;

constexpr int kTerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

sigset_t TerminationSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    for (int signalNumber : kTerminationSignals) sigaddset(&signals, signalNumber);
    return signals;
}

void OnTerminationSignal(int) {
    int saved = errno;
    char byte = 1;
    if (write(signalWriteFd, &byte, 1) < 0) {
        // The pipe is full: a wake-up is already pending.
    }
    errno = saved;
}

}  // namespace

void HoldTerminationSignals() {
    sigset_t held = TerminationSignals();
    sigprocmask(SIG_BLOCK, &held, nullptr);
}

int OpenSignalPipe() {
    int fds[2];
    const int opened = pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0;
    if (opened) {
        signalWriteFd = fds[1];
        struct sigaction action {};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signalNumber : kTerminationSignals) sigaction(signalNumber, &action, nullptr);
    }
    sigset_t held = TerminationSignals();
    sigprocmask(SIG_UNBLOCK, &held, nullptr);
    return opened ? fds[0] : -1;
}

DisplayWait WaitForDisplay(int displayFd, int signalFd, int timeoutMs) {
    pollfd watched[2] = {{displayFd, POLLIN, 0}, {signalFd, POLLIN, 0}};
    const nfds_t count = signalFd >= 0 ? 2 : 1;
    const int ready = poll(watched, count, timeoutMs);
    if (ready <= 0) return kWaitTimedOut;
    if (count == 2 && (watched[1].revents & POLLIN)) return kWaitSignalled;
    return kWaitDisplay;
}

int64_t MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}
