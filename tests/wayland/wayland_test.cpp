// The Wayland suites' fixture: one sway for a suite, a zarvo per test.
#include "wayland_test.h"

#include <signal.h>
#include <sys/wait.h>

Sway WaylandTest::sway;
std::string WaylandTest::missing;

void WaylandTest::SetUpTestSuite() {
    missing = SwayMissing();
    if (missing.empty() && !StartSway("1920x1080", &sway)) missing = "headless sway did not start in " + sway.work;
}

void WaylandTest::TearDownTestSuite() { StopSway(&sway); }

void WaylandTest::SetUp() {
    if (!missing.empty()) GTEST_SKIP() << missing;
}

void WaylandTest::TearDown() { KillChild(&zarvo); }

void WaylandTest::StartZarvo(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    std::vector<std::string> args = {ZARVO_PROGRAM};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = SwayClientEnvironment(sway);
    env.insert(env.end(), environment.begin(), environment.end());
    ASSERT_TRUE(SpawnChild(args, "", env, &zarvo));
}

Difference WaitForPictureOn(const Sway& sway, const char* output, const Picture& expected, Rect skip, int timeoutMs) {
    Difference difference{-2};
    const int64_t deadline = NowMs() + timeoutMs;
    do {
        Picture got;
        if (CaptureOutput(sway, output, &got)) {
            difference = Compare(expected, got, 0, skip);
            if (difference.count == 0) break;
        }
        SleepMs(50);
    } while (NowMs() < deadline);
    return difference;
}

Difference WaitForChangeOn(const Sway& sway, const char* output, const Picture& first, Picture* later, int timeoutMs) {
    Difference moved{-2};
    const int64_t deadline = NowMs() + timeoutMs;
    while (NowMs() < deadline && moved.count <= 0) {
        SleepMs(100);
        if (CaptureOutput(sway, output, later)) moved = Compare(first, *later, 0);
    }
    return moved;
}

Difference WaylandTest::WaitForOutput(const char* output, const Picture& expected, Rect skip, int timeoutMs) {
    return WaitForPictureOn(sway, output, expected, skip, timeoutMs);
}

int WaylandTest::WaitForExit(int timeoutMs) {
    int status = 0;
    if (!WaitChild(&zarvo, timeoutMs, &status)) return -1;
    zarvo.pid = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}

int WaylandTest::Terminate() {
    if (zarvo.pid > 0) kill(zarvo.pid, SIGTERM);
    return WaitForExit(5000);
}
