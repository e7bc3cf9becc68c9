// zarvo --idle on a headless sway with two outputs: the cover after the idle
// time on both, equal to the renderer's outside the strip; a key uncovers it
// and frees its memory; it comes back; an inhibitor keeps it away; a second
// watcher leaves; SIGTERM ends it with 0.
#include <sys/wait.h>

#include <algorithm>
#include <fstream>

#include "app/idle_watcher.h"
#include "wayland_test.h"

namespace {

long ResidentKb(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line) && line.rfind("VmRSS:", 0) != 0) {}
    return line.empty() ? -1 : std::stol(line.substr(6));
}

// AddressSanitizer's allocator keeps freed memory in quarantine and has no
// malloc_trim, so a sanitized zarvo cannot show its pages going back.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kHeapGivesBackPages = false;
#else
constexpr bool kHeapGivesBackPages = true;
#endif

class IdleStart : public WaylandTest {
  protected:
    Picture first = Render("1024x768", 41, 0), second = Render("800x600", 42, 0);
    Rect firstStrip = FrameStripFor(1024, 768), secondStrip = FrameStripFor(800, 600);

    void SetUp() override {
        WaylandTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-1 mode 1024x768"));
        ASSERT_TRUE(SwayMessage(sway, "create_output"));
        ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-2 mode 800x600 position 1024 0"));
    }
    int CoveredBoth() {
        const Difference a = WaitForOutput("HEADLESS-1", first, firstStrip, 6000);
        const Difference b = WaitForOutput("HEADLESS-2", second, secondStrip, 3000);
        return a.count == 0 && b.count == 0;
    }
    int Uncovered() {
        Picture shown;
        return CaptureOutput(sway, "HEADLESS-1", &shown) && Compare(first, shown, 0, firstStrip).count > 0;
    }
    // Uncovered 500 ms after the last input at `since`, while the session
    // cannot yet be idle; a capture that came later proves nothing.
    void ExpectUncoveredBeforeIdle(int64_t since, const char* what) {
        SleepMs(static_cast<int>(std::max<int64_t>(0, since + 500 - NowMs())));
        const int uncovered = Uncovered();
        if (NowMs() - since < 950) {
            EXPECT_TRUE(uncovered) << what;
        }
    }
};

TEST_F(IdleStart, CoversAfterTheIdleTimeUncoversOnInputAndComesBack) {
    StartZarvo({"--idle", "1", "--seed", "41", "--redraw-speed", "120"});
    const int64_t started = NowMs();
    char lock[512];
    ASSERT_TRUE(IdleWatcherLockPath(sway.work.c_str(), sway.socket.c_str(), lock, sizeof lock));
    while (RunningIdleWatcher(lock) != zarvo.pid && NowMs() - started < 3000) SleepMs(10);
    ASSERT_EQ(RunningIdleWatcher(lock), zarvo.pid) << "the watcher did not claim the session";
    ExpectUncoveredBeforeIdle(started, "covered before the session was idle");
    const long waitingKb = ResidentKb(zarvo.pid);
    Child another;
    ASSERT_TRUE(SpawnChild({ZARVO_PROGRAM, "--idle", "5"}, "", SwayClientEnvironment(sway), &another));
    int status = -1;
    ASSERT_TRUE(WaitChild(&another, 5000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ChildErrors(another);
    const std::string named = "already runs in this session (process " + std::to_string(zarvo.pid) + ")";
    EXPECT_NE(ChildErrors(another).find(named), std::string::npos) << ChildErrors(another);

    ASSERT_TRUE(CoveredBoth()) << ChildErrors(zarvo);
    const long coveredKb = ResidentKb(zarvo.pid);
    ASSERT_TRUE(SendKey(sway, "Escape"));
    ExpectUncoveredBeforeIdle(NowMs(), "a key left the cover, or it came back at once");
    EXPECT_EQ(WaitForExit(0), -1) << "a key ended the watcher: " << ChildErrors(zarvo);
    const long uncoveredKb = ResidentKb(zarvo.pid);
    // Two buffers of each output (10 MB) and the scenes: their pages go.
    if (kHeapGivesBackPages) {
        EXPECT_LT(uncoveredKb, coveredKb - 8000) << coveredKb << " kB covered, " << uncoveredKb << " kB uncovered";
    }
    EXPECT_TRUE(CoveredBoth()) << "the cover did not come back";

    ASSERT_TRUE(SendKey(sway, "Escape"));
    Child inhibitor;  // a window holding an idle inhibitor, as a playing video does
    ASSERT_TRUE(SpawnChild({ZARVO_TEST_INHIBIT}, "", SwayClientEnvironment(sway), &inhibitor));
    SleepMs(2500);
    EXPECT_TRUE(Uncovered()) << "covered over an idle inhibitor";
    // What the heap kept of two covers went back too (megabytes, untrimmed).
    const long afterTwoKb = ResidentKb(zarvo.pid);
    if (kHeapGivesBackPages) {
        EXPECT_LT(afterTwoKb, waitingKb + 1536) << waitingKb << " kB waiting, " << afterTwoKb << " kB after two covers";
    }
    KillChild(&inhibitor);
    EXPECT_TRUE(CoveredBoth()) << "the cover did not come once the inhibitor went";
    EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
}

}  // namespace
