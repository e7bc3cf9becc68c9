// zarvo --fullscreen on two outputs of different sizes, each its own scene
// and seed, or the second black with --monitors primary; an output added
// during the run gets its picture.
#include "wayland_test.h"

namespace {

class TwoOutputs : public WaylandTest {
  protected:
    // The second output, 1280 x 720 to the right of the first, made for
    // this test and removed after it.
    void SetUp() override {
        WaylandTest::SetUp();
        if (IsSkipped()) return;
        AddSecondOutput();
    }
    void TearDown() override {
        WaylandTest::TearDown();
        if (missing.empty()) SwayMessage(sway, "output HEADLESS-2 disable");
    }
    void AddSecondOutput() {
        ASSERT_TRUE(SwayMessage(sway, "create_output"));
        ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-2 mode 1280x720 position 1920 0"));
    }
};

TEST_F(TwoOutputs, EachOutputShowsItsOwnSceneOrThePrimaryAlone) {
    const Picture first = Render("1920x1080", 41, 3, "--picture-size fill");
    const Picture second = Render("1280x720", 42, 3, "--picture-size fill");
    for (const char* monitors : {"all", "primary"}) {
        SCOPED_TRACE(std::string("--monitors ") + monitors);
        StartZarvo({"--fullscreen", "--seed", "41", "--still-after", "3", "--redraw-speed", "120", "--picture-size",
                    "fill", "--monitors", monitors});
        Difference d = WaitForOutput("HEADLESS-1", first);
        EXPECT_EQ(d.count, 0) << "the first output: " << Describe(d) << ChildErrors(zarvo);
        d = WaitForOutput("HEADLESS-2", std::string(monitors) == "all" ? second : Black(1280, 720));
        EXPECT_EQ(d.count, 0) << "the second output: " << Describe(d) << ChildErrors(zarvo);
        EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
    }
}

using OutputAdded = WaylandTest;

// An output plugged in during the run gets the next seed's scene; turned off
// again, the run goes on on the first.
TEST_F(OutputAdded, AnOutputAddedDuringTheRunGetsItsPicture) {
    const Picture second = Render("1280x720", 52, 3, "--picture-size fill");
    StartZarvo(
        {"--fullscreen", "--seed", "51", "--still-after", "3", "--redraw-speed", "120", "--picture-size", "fill"});
    SleepMs(500);
    ASSERT_TRUE(SwayMessage(sway, "create_output"));
    ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-2 mode 1280x720 position 1920 0"));
    const Difference d = WaitForOutput("HEADLESS-2", second);
    EXPECT_EQ(d.count, 0) << Describe(d) << ChildErrors(zarvo);
    ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-2 disable"));
    EXPECT_EQ(WaitForExit(500), -1) << "ended with the second output: " << ChildErrors(zarvo);
    EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
}

}  // namespace
