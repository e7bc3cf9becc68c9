// zarvo's other modes on a headless sway: --background under the windows,
// the overlay over a full-screen window, the window mode set up again when
// the compositor resizes it, full screen without the layer shell, and an
// output at scale 2.
#include <signal.h>

#include "wayland_test.h"

namespace {

using Modes = WaylandTest;

std::vector<std::string> Arguments(int seed, std::vector<std::string> more) {
    std::vector<std::string> args = {
        "--seed", std::to_string(seed), "--still-after", "3", "--redraw-speed", "120", "--picture-size", "fit"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

Picture Rendered(const char* size, int seed) { return Render(size, seed, 3, "--picture-size fit"); }

// The renderer's picture of a window narrower than the smallest layout.
Picture RenderedShrunk(const char* size, int seed) {
    const std::string out = MakeTempDir("render") + "/shrunk.png";
    EXPECT_EQ(RunProgram({ZARVO_RENDER, "--size", size, "--seed", std::to_string(seed), "--ticks", "3", "--scale-down",
                          "--out", out},
                         "", {}, 60000),
              0);
    Picture picture;
    EXPECT_TRUE(ReadPng(out, &picture));
    return picture;
}

// With no picture size given or stored, the background fills the output
// (cover).
TEST_F(Modes, BackgroundSitsUnderWindowsIgnoresKeysAndEndsOnSigterm) {
    const Picture background = Render("1920x1080", 61, 3, "--picture-size cover");
    const Picture window = Rendered("1920x1080", 62);
    for (const char* layer : {"background", "bottom"}) {
        SCOPED_TRACE(layer);
        StartZarvo({"--seed", "61", "--still-after", "3", "--redraw-speed", "120", "--background", "--layer", layer});
        Difference d = WaitForOutput("HEADLESS-1", background);
        ASSERT_EQ(d.count, 0) << Describe(d) << ChildErrors(zarvo);
        ASSERT_TRUE(SendKey(sway, "Escape"));
        EXPECT_EQ(WaitForExit(kInputMs), -1) << "a key ended the background: " << ChildErrors(zarvo);
        Child other;
        std::vector<std::string> args = {ZARVO_PROGRAM};
        for (const std::string& arg : Arguments(62, {})) args.push_back(arg);
        ASSERT_TRUE(SpawnChild(args, "", SwayClientEnvironment(sway), &other));
        d = WaitForOutput("HEADLESS-1", window);
        EXPECT_EQ(d.count, 0) << "the window over the background: " << Describe(d) << ChildErrors(other);
        KillChild(&other);
        EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
    }
}

// Another client's full-screen window is covered, and the cover takes the
// keyboard from it.
TEST_F(Modes, TheOverlayCoversAFullScreenWindow) {
    Child other;
    std::vector<std::string> args = {ZARVO_PROGRAM};
    for (const std::string& arg : Arguments(63, {})) args.push_back(arg);
    ASSERT_TRUE(SpawnChild(args, "", SwayClientEnvironment(sway), &other));
    ASSERT_EQ(WaitForOutput("HEADLESS-1", Rendered("1920x1080", 63)).count, 0) << ChildErrors(other);
    ASSERT_TRUE(SwayMessage(sway, "fullscreen enable"));
    StartZarvo(Arguments(64, {"--fullscreen"}));
    const Difference d = WaitForOutput("HEADLESS-1", Rendered("1920x1080", 64));
    EXPECT_EQ(d.count, 0) << Describe(d) << ChildErrors(zarvo);
    ASSERT_TRUE(SendKey(sway, "Escape"));
    EXPECT_EQ(WaitForExit(kInputMs), 0) << ChildErrors(zarvo);
    int status = 0;
    EXPECT_FALSE(WaitChild(&other, 300, &status)) << "the key reached the window under the cover";
    KillChild(&other);
}

// The window fills its tile; a new output size gives it a new size, and its
// scene is set up again for it, shrunk below the smallest layout.
TEST_F(Modes, TheWindowIsSetUpAgainWhenResized) {
    StartZarvo(Arguments(65, {}));
    Difference d = WaitForOutput("HEADLESS-1", Rendered("1920x1080", 65));
    EXPECT_EQ(d.count, 0) << "1920x1080: " << Describe(d) << ChildErrors(zarvo);
    ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-1 mode 1280x720"));
    d = WaitForOutput("HEADLESS-1", Rendered("1280x720", 65));
    EXPECT_EQ(d.count, 0) << "1280x720: " << Describe(d) << ChildErrors(zarvo);
    ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-1 mode 600x450"));
    d = WaitForOutput("HEADLESS-1", RenderedShrunk("600x450", 65));
    EXPECT_EQ(d.count, 0) << "600x450: " << Describe(d) << ChildErrors(zarvo);
    ASSERT_TRUE(SendKey(sway, "Escape"));
    EXPECT_EQ(WaitForExit(kInputMs), 0) << ChildErrors(zarvo);
}

// Without the layer shell (here: told to ignore it) --fullscreen is one
// full-screen window, said once on standard error, still ended by a key.
TEST_F(Modes, FullScreenWithoutTheLayerShellIsAFullScreenWindow) {
    StartZarvo(Arguments(66, {"--fullscreen"}), {"ZARVO_WAYLAND_NO_LAYER_SHELL=1"});
    const Difference d = WaitForOutput("HEADLESS-1", Rendered("1920x1080", 66));
    EXPECT_EQ(d.count, 0) << Describe(d) << ChildErrors(zarvo);
    ASSERT_TRUE(SendKey(sway, "a"));
    EXPECT_EQ(WaitForExit(kInputMs), 0) << ChildErrors(zarvo);
    const std::string errors = ChildErrors(zarvo);
    const std::string message = "the compositor has no layer shell; covering one output with a full-screen window";
    const size_t first = errors.find(message);
    EXPECT_NE(first, std::string::npos) << errors;
    EXPECT_EQ(errors.find(message, first + 1), std::string::npos) << "said more than once: " << errors;
}

// An output at scale 2 gets a buffer of device pixels: the capture, in
// device pixels, equals the renderer's picture at the device size.
TEST_F(Modes, AnOutputAtScaleTwoGetsDevicePixels) {
    ASSERT_TRUE(SwayMessage(sway, "output HEADLESS-1 scale 2"));
    StartZarvo(Arguments(67, {"--fullscreen"}));
    Difference d = WaitForOutput("HEADLESS-1", Rendered("1920x1080", 67));
    EXPECT_EQ(d.count, 0) << "full screen: " << Describe(d) << ChildErrors(zarvo);
    EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
    // A window learns its output's scale when it enters it.
    StartZarvo(Arguments(68, {}));
    d = WaitForOutput("HEADLESS-1", Rendered("1920x1080", 68));
    EXPECT_EQ(d.count, 0) << "window: " << Describe(d) << ChildErrors(zarvo);
    EXPECT_EQ(Terminate(), 0) << ChildErrors(zarvo);
}

}  // namespace
