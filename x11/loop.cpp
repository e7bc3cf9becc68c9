// The event loop: X events and the frame timer on one thread, waiting on the
// connection with poll; termination signals arrive through a self-pipe.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "x11/zarvo.h"

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

// Errors on the window mean it went away (an XScreenSaver window being
// destroyed); anything else is reported.
void CheckXErrors(FrontEnd* frontEnd) {
    unsigned long resource = 0;
    int error = TakeXError(&resource);
    if (!error) return;
    frontEnd->running = 0;
    if (resource == frontEnd->saver.window || frontEnd->saver.window == 0) {
        frontEnd->exitStatus = 0;
        frontEnd->saver.window = 0;
        return;
    }
    char text[128] = "";
    XGetErrorText(frontEnd->display, error, text, sizeof text);
    fprintf(stderr, "zarvo: X error: %s (resource 0x%lx)\n", text, resource);
    frontEnd->exitStatus = 1;
}

void DrainEvents(FrontEnd* frontEnd) {
    while (frontEnd->running && XPending(frontEnd->display)) {
        XEvent event;
        XNextEvent(frontEnd->display, &event);
        HandleEvent(frontEnd, &event);
    }
    CheckXErrors(frontEnd);
}

int TimeUntilFrame(const FrontEnd* frontEnd) {
    if (!frontEnd->animating) return -1;
    int64_t wait = frontEnd->nextFrameMs - MonotonicMilliseconds();
    if (wait < 0) return 0;
    return wait > 1000000 ? 1000000 : static_cast<int>(wait);
}

void DrawDueFrame(FrontEnd* frontEnd) {
    if (!frontEnd->animating) return;
    int64_t now = MonotonicMilliseconds();
    if (now < frontEnd->nextFrameMs) return;
    DrawFrame(frontEnd);
    // A frame that ran late delays the next one; frames never pile up.
    frontEnd->nextFrameMs += HostFramePeriod(*frontEnd->lead);
    if (frontEnd->nextFrameMs < now) frontEnd->nextFrameMs = now;
    CheckXErrors(frontEnd);
}

}  // namespace

int64_t MonotonicMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int HostFramePeriod(const Scene& scene) {
    const int kWindowsTimerFloorMs = 10;
    int period = FrameTimerPeriod(scene);
    return period < kWindowsTimerFloorMs ? kWindowsTimerFloorMs : period;
}

void HoldTerminationSignals() {
    sigset_t held = TerminationSignals();
    sigprocmask(SIG_BLOCK, &held, nullptr);
}

int OpenSignalPipe() {
    int fds[2];
    const int opened = pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0;
    if (opened) {
        signalWriteFd = fds[1];
        struct sigaction action{};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int signalNumber : kTerminationSignals) sigaction(signalNumber, &action, nullptr);
    }
    sigset_t held = TerminationSignals();
    sigprocmask(SIG_UNBLOCK, &held, nullptr);
    return opened ? fds[0] : -1;
}

void RunEventLoop(FrontEnd* frontEnd) {
    pollfd watched[2] = {{ConnectionNumber(frontEnd->display), POLLIN, 0},
                         {frontEnd->signalFd, POLLIN, 0}};
    nfds_t count = frontEnd->signalFd >= 0 ? 2 : 1;
    while (frontEnd->running) {
        DrainEvents(frontEnd);
        if (!frontEnd->running) break;
        int ready = poll(watched, count, TimeUntilFrame(frontEnd));
        if (ready > 0 && count == 2 && (watched[1].revents & POLLIN)) {
            frontEnd->running = 0;
            frontEnd->exitStatus = 0;
            break;
        }
        DrawDueFrame(frontEnd);
    }
}
