// zarvo --fullscreen on a headless sway: the layer-shell cover against
// zarvo-render's pictures, input and signals that end it, and a compositor
// that goes away.
#include <signal.h>
#include <sys/wait.h>

#include "settings/picture_sizes.h"
#include "wayland_test.h"

namespace {

constexpr int kQuickMs = 1000;  // input ends the cover within this

using FullScreen = WaylandTest;

// Each picture size equals the renderer's at the output's size, and SIGTERM
// ends the run with 0.
TEST_F(FullScreen, EachPictureSizeEqualsTheRenderer) {
    for (const PictureSizeEntry& entry : kPictureSizes) {
        const char* size = entry.name;
        SCOPED_TRACE(size);
        const Picture expected = Render("1920x1080", 31, 3, std::string("--picture-size ") + size);
        StartZarvo(
            {"--fullscreen", "--seed", "31", "--still-after", "3", "--redraw-speed", "120", "--picture-size", size});
        const Difference d = WaitForOutput("HEADLESS-1", expected);
        EXPECT_EQ(d.count, 0) << Describe(d) << "\n" << ChildErrors(zarvo);
        EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
    }
}

// Outside the strip the picture stands; inside it the frames move.
TEST_F(FullScreen, OnlyTheStripMoves) {
    const Rect strip = FrameStripFor(1920, 1080);
    ASSERT_GT(strip.width, 0);
    const Picture still = Render("1920x1080", 32, 0);
    StartZarvo({"--fullscreen", "--seed", "32", "--redraw-speed", "120"});
    const Difference outside = WaitForOutput("HEADLESS-1", still, strip);
    ASSERT_EQ(outside.count, 0) << "outside the strip: " << Describe(outside);
    Picture first, later;
    ASSERT_TRUE(CaptureOutput(sway, "HEADLESS-1", &first));
    const Difference moved = WaitForChangeOn(sway, "HEADLESS-1", first, &later);
    EXPECT_GT(moved.count, 0) << "the strip never moved";
    EXPECT_TRUE(Contains(strip, moved.x, moved.y)) << "first change at " << moved.x << ", " << moved.y;
    EXPECT_EQ(Compare(still, later, 0, strip).count, 0) << "outside the strip after frames";
    EXPECT_EQ(Terminate(), 0);
}

// A key, a button and a pointer move past the threshold each end the cover
// with 0 within a second; a move below it does not.
TEST_F(FullScreen, InputEndsItButASmallMoveDoesNot) {
    struct Case {
        const char* what;
        std::string before;  // the pointer's requests that leave zarvo running
        std::string last;    // those that end it; empty: a key
    };
    // Each helper run is a pointer device of its own, which enters the
    // cover at its first move: the later moves count from there.
    const Case cases[] = {
        {"a key", "", ""},
        {"a button", "move 1 1", "move 1 1 click"},
        {"a move past the threshold, after one below it", "move 1 0 move 2 0", "move 1 0 move 5 0"},
    };
    const Picture still = Render("1920x1080", 33, 0);
    const Rect strip = FrameStripFor(1920, 1080);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartZarvo({"--fullscreen", "--seed", "33", "--still-after", "0"});
        ASSERT_EQ(WaitForOutput("HEADLESS-1", still, strip).count, 0);
        if (!c.before.empty()) {
            ASSERT_TRUE(SendPointer(sway, c.before));
            EXPECT_EQ(WaitForExit(kQuickMs), -1) << "ended by a small move: " << ChildErrors(zarvo);
        }
        Child input;
        if (c.last.empty()) {
            ASSERT_TRUE(SpawnChild({"wtype", "-s", "300", "-k", "Escape"}, "", SwayClientEnvironment(sway), &input));
        } else {
            ASSERT_TRUE(SpawnChild({"sh", "-c", std::string(ZARVO_TEST_POINTER) + " " + c.last}, "",
                                   SwayClientEnvironment(sway), &input));
        }
        // The helpers wait 300 ms before their input, then 100 ms per request.
        EXPECT_EQ(WaitForExit(400 + 100 * 3 + kQuickMs), 0) << ChildErrors(zarvo);
        int status = 0;
        EXPECT_TRUE(WaitChild(&input, 5000, &status) && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << ChildErrors(input);
        KillChild(&input);
        KillChild(&zarvo);
    }
}

// The compositor killed under it: a message and exit 1.
TEST(FullScreenAlone, ACompositorThatGoesAwayEndsItWithOne) {
    const std::string missing = SwayMissing();
    if (!missing.empty()) GTEST_SKIP() << missing;
    Sway sway;
    ASSERT_TRUE(StartSway("1024x768", &sway)) << sway.work;
    Child zarvo;
    ASSERT_TRUE(SpawnChild({ZARVO_PROGRAM, "--fullscreen", "--seed", "3", "--redraw-speed", "120"}, "",
                           SwayClientEnvironment(sway), &zarvo));
    SleepMs(1000);
    kill(sway.process.pid, SIGKILL);
    int status = 0;
    ASSERT_TRUE(WaitChild(&zarvo, 3000, &status)) << "zarvo runs on without its compositor";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << ChildErrors(zarvo);
    EXPECT_NE(ChildErrors(zarvo).find("Wayland compositor closed the connection"), std::string::npos)
        << ChildErrors(zarvo);
    StopSway(&sway);
}

}  // namespace
