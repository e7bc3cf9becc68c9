// zarvo --fullscreen on two outputs of different sizes, each its own scene
// and seed, or the second black with --monitors primary; the second animates
// on when the first goes; an output added during the run gets its picture.
#include "wayland_test.h"

namespace {

class TwoOutputs : public WaylandTest {
  protected:
    // The second output, 1280 x 720 to the right of the first, made for
    // this test. It stays until the suite's sway ends: sway 1.7 fails to
    // disable a headless output.
    void SetUp() override {
        WaylandTest::SetUp();
        if (IsSkipped()) return;
        AddSecondOutput();
    }
    void TearDown() override {
        WaylandTest::TearDown();
        StopSway(&nested);
    }
    void AddSecondOutput() {
        ASSERT_TRUE(SwayMessage(sway, "create_output"));
        ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-2 mode 1280x720 position 1920 0"));
    }
    // A sway nested in this one with `outputs` outputs (more come with its
    // create_output): each a window, WL-1 over HEADLESS-1 and WL-2 over
    // HEADLESS-2 at their sizes, and taken away by closing its window, as
    // a headless output cannot be.
    void StartNested(int outputs) {
        ASSERT_TRUE(SwayMessage(sway, "'for_window [title=\"wlroots - WL-2\"] move to output HEADLESS-2'"));
        ASSERT_TRUE(StartNestedSway(sway, outputs, &nested)) << nested.work;
    }
    void CloseNestedOutput(const char* output) {
        ASSERT_TRUE(SwayMessage(sway, std::string("'[title=\"wlroots - ") + output + "\"] kill'"));
    }
    // Both animating, the first output, whose scene times the frames, goes:
    // the second's scene takes the timing over and its strip moves on.
    void SecondAnimatesOnWithoutTheFirst() {
        StartNested(2);
        const Rect strip = FrameStripFor(1280, 720);
        const Picture still = Render("1280x720", 44, 0);
        ASSERT_TRUE(SpawnChild({ZARVO_PROGRAM, "--fullscreen", "--seed", "43", "--redraw-speed", "120"}, "",
                               SwayClientEnvironment(nested), &zarvo));
        Difference d = WaitForPictureOn(nested, "WL-1", Render("1920x1080", 43, 0), FrameStripFor(1920, 1080));
        EXPECT_EQ(d.count, 0) << "the first output: " << Describe(d) << ChildErrors(zarvo);
        d = WaitForPictureOn(nested, "WL-2", still, strip);
        EXPECT_EQ(d.count, 0) << "the second output: " << Describe(d) << ChildErrors(zarvo);
        CloseNestedOutput("WL-1");
        EXPECT_EQ(WaitForExit(500), -1) << "ended with the first output: " << ChildErrors(zarvo);
        Picture first, later;
        ASSERT_TRUE(CaptureOutput(nested, "WL-2", &first));
        const Difference moved = WaitForChangeOn(nested, "WL-2", first, &later);
        EXPECT_GT(moved.count, 0) << "the second output's strip stopped with the first output";
        EXPECT_TRUE(Contains(strip, moved.x, moved.y)) << "first change at " << moved.x << ", " << moved.y;
        d = Compare(still, later, 0, strip);
        EXPECT_EQ(d.count, 0) << "outside the strip: " << Describe(d);
        EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
    }
    Sway nested;  // the sway whose outputs can go, when a test starts one
};

TEST_F(TwoOutputs, EachOutputShowsItsOwnSceneAndTheSecondOutlivesTheFirst) {
    const Picture first = Render("1920x1080", 41, 3, "--picture-size fit");
    const Picture second = Render("1280x720", 42, 3, "--picture-size fit");
    for (const char* monitors : {"all", "primary"}) {
        SCOPED_TRACE(std::string("--monitors ") + monitors);
        StartZarvo({"--fullscreen", "--seed", "41", "--still-after", "3", "--redraw-speed", "120", "--picture-size",
                    "fit", "--monitors", monitors});
        Difference d = WaitForOutput("HEADLESS-1", first);
        EXPECT_EQ(d.count, 0) << "the first output: " << Describe(d) << ChildErrors(zarvo);
        d = WaitForOutput("HEADLESS-2", std::string(monitors) == "all" ? second : Black(1280, 720));
        EXPECT_EQ(d.count, 0) << "the second output: " << Describe(d) << ChildErrors(zarvo);
        EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
    }
    SecondAnimatesOnWithoutTheFirst();
}

// An output plugged in during the run gets the next seed's scene; taken
// away again, the run goes on on the first, which has drawn three frames
// more since the second came (the frame count starts again with a scene).
TEST_F(TwoOutputs, AnOutputAddedDuringTheRunGetsItsPictureAndMayGoAgain) {
    StartNested(1);
    const Picture first = Render("1920x1080", 51, 6, "--picture-size fit");
    const Picture second = Render("1280x720", 52, 3, "--picture-size fit");
    ASSERT_TRUE(SpawnChild({ZARVO_PROGRAM, "--fullscreen", "--seed", "51", "--still-after", "3", "--redraw-speed",
                            "120", "--picture-size", "fit"},
                           "", SwayClientEnvironment(nested), &zarvo));
    SleepMs(500);
    ASSERT_TRUE(SwayMessage(nested, "create_output"));
    Difference d = WaitForPictureOn(nested, "WL-2", second);
    EXPECT_EQ(d.count, 0) << "the second output: " << Describe(d) << ChildErrors(zarvo);
    CloseNestedOutput("WL-2");
    EXPECT_EQ(WaitForExit(500), -1) << "ended with the second output: " << ChildErrors(zarvo);
    d = WaitForPictureOn(nested, "WL-1", first);
    EXPECT_EQ(d.count, 0) << "the first output: " << Describe(d) << ChildErrors(zarvo);
    EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
}

}  // namespace
