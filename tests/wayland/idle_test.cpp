// zarvo --idle on a headless sway with two outputs: the cover after the idle
// time on both, equal to the renderer's outside the strip; a key uncovers it
// and frees its memory; it comes back; an inhibitor keeps it away; a second
// watcher leaves; SIGTERM ends it with 0.
#include <signal.h>
#include <sys/wait.h>

#include <fstream>

#include "wayland_test.h"

namespace {

constexpr int kIdleMs = 1000;

// The resident memory of process `pid` in kB; -1 when unknown.
long ResidentKb(int pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

class IdleStart : public WaylandTest {
  protected:
    Picture first = Render("1920x1080", 41, 0);
    Picture second = Render("1280x720", 42, 0);
    Rect firstStrip = FrameStripFor(1920, 1080);
    Rect secondStrip = FrameStripFor(1280, 720);

    void SetUp() override {
        WaylandTest::SetUp();
        if (IsSkipped()) return;
        ASSERT_TRUE(SwayMessage(sway, "create_output"));
        ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-2 mode 1280x720 position 1920 0"));
    }
    // Waits for the cover on both outputs; how long it took, -1 when it
    // never came.
    int64_t WaitForCover() {
        const int64_t start = NowMs();
        const Difference a = WaitForOutput("HEADLESS-1", first, firstStrip, 6000);
        const Difference b = WaitForOutput("HEADLESS-2", second, secondStrip, 3000);
        EXPECT_EQ(a.count, 0) << Describe(a) << "\n" << ChildErrors(zarvo);
        EXPECT_EQ(b.count, 0) << Describe(b) << "\n" << ChildErrors(zarvo);
        return a.count == 0 && b.count == 0 ? NowMs() - start : -1;
    }
    // 1 when the first output shows something else than the cover.
    int Uncovered() {
        Picture shown;
        return CaptureOutput(sway, "HEADLESS-1", &shown) && Compare(first, shown, 0, firstStrip).count > 0;
    }
};

TEST_F(IdleStart, CoversAfterTheIdleTimeUncoversOnInputAndComesBack) {
    StartZarvo({"--idle", "1", "--seed", "41", "--redraw-speed", "120"});
    const int64_t started = NowMs();
    Child another;
    ASSERT_TRUE(SpawnChild({ZARVO_PROGRAM, "--idle", "5"}, "", SwayClientEnvironment(sway), &another));
    int status = -1;
    ASSERT_TRUE(WaitChild(&another, 5000, &status));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ChildErrors(another);
    EXPECT_NE(ChildErrors(another).find("an idle watcher already runs in this session (process " +
                                        std::to_string(zarvo.pid) + ")"),
              std::string::npos)
        << ChildErrors(another);

    ASSERT_GE(WaitForCover(), 0);
    EXPECT_GE(NowMs() - started, kIdleMs) << "covered before the session was idle";
    const long coveredKb = ResidentKb(zarvo.pid);
    ASSERT_TRUE(SendKey(sway, "Escape"));
    const int64_t uncovered = NowMs();
    EXPECT_TRUE(Uncovered()) << "a key left the cover";
    EXPECT_EQ(WaitForExit(0), -1) << "a key ended the watcher: " << ChildErrors(zarvo);
    const long waitingKb = ResidentKb(zarvo.pid);
    // Two buffers of each output (24 MB) and the scenes: their pages go.
    EXPECT_LT(waitingKb, coveredKb - 16000) << "covered " << coveredKb << " kB, uncovered " << waitingKb << " kB";
    RecordProperty("covered_kb", std::to_string(coveredKb));
    RecordProperty("uncovered_kb", std::to_string(waitingKb));
    EXPECT_GE(WaitForCover(), 0) << "the cover did not come back";
    EXPECT_GE(NowMs() - uncovered, kIdleMs) << "covered again before the next idle second";

    ASSERT_TRUE(SendKey(sway, "Escape"));
    Child inhibitor;
    ASSERT_TRUE(SpawnChild({ZARVO_TEST_INHIBIT}, "", SwayClientEnvironment(sway), &inhibitor));
    SleepMs(3 * kIdleMs);
    EXPECT_TRUE(Uncovered()) << "covered over an idle inhibitor";
    KillChild(&inhibitor);
    EXPECT_GE(WaitForCover(), 0) << "the cover did not come once the inhibitor went";
    EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
}

}  // namespace
