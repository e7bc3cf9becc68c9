// zarvo on private Xvfb servers: what it shows (against zarvo-render), how it
// animates, and how each mode ends.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>

#include <cstdio>
#include <deque>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness.h"
#include "scene/scene.h"

namespace {

const std::string kZarvo = ZARVO_PROGRAM;
const std::string kRender = ZARVO_RENDER;
constexpr int kStartMs = 15000;  // generous: CI runs two test processes per core

struct Difference {
    long count = 0;
    int x = 0, y = 0;
    uint32_t expected = 0, got = 0;
};

int ChannelGap(uint32_t a, uint32_t b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
}

int Inside(const SceneRect& rect, int x, int y) {
    return x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
}

// Pixels whose channels differ by more than `tolerance`, outside `skip`.
Difference Compare(const Picture& expected, const Picture& got, int tolerance,
                   SceneRect skip = {0, 0, 0, 0}) {
    Difference difference;
    if (expected.width != got.width || expected.height != got.height) {
        difference.count = -1;
        return difference;
    }
    for (int y = 0; y < got.height; ++y) {
        for (int x = 0; x < got.width; ++x) {
            uint32_t want = expected.At(x, y), have = got.At(x, y);
            if (Inside(skip, x, y)) continue;
            if (ChannelGap(want, have, 16) <= tolerance && ChannelGap(want, have, 8) <= tolerance &&
                ChannelGap(want, have, 0) <= tolerance) {
                continue;
            }
            if (difference.count++ == 0) difference = {1, x, y, want, have};
        }
    }
    return difference;
}

std::string Describe(const Difference& d) {
    if (d.count < 0) return "pictures of different sizes";
    char text[160];
    snprintf(text, sizeof text, "%ld pixels differ; first at (%d, %d): expected 0x%06x, got 0x%06x",
             d.count, d.x, d.y, d.expected, d.got);
    return text;
}

// Where the strip lies for a window of this size, as the scene lays it out.
SceneRect FrameStripFor(int width, int height) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    RgbSurface surface{pixels.data(), width, height, width, nullptr};
    static DisplayPaletteInfo trueColour{-1, 0, {}};
    Scene* scene =
        SetUpScene(SceneWindowInfo{width, height, width, 32, &trueColour}, &surface, kDefaultSettings, 1).scene;
    SceneRect strip = scene ? FrameWindowRect(*scene) : SceneRect{0, 0, 0, 0};
    DestroyScene(scene);
    return strip;
}

class ScreenTest : public testing::Test {
protected:
    XServer server;
    std::string config;
    std::deque<Child> children;  // stable addresses as children are added

    void SetUp() override {
        if (RunProgram({"sh", "-c", "command -v Xvfb"}, "", {}, 10000) != 0) {
            GTEST_SKIP() << "Xvfb is not installed (tools/install-deps.sh test installs it)";
        }
    }

    void StartServer(const char* screen) {
        ASSERT_TRUE(StartXServer(screen, &server)) << "expected Xvfb to start with " << screen;
        config = MakeTempDir("config");
    }

    void TearDown() override {
        for (Child& child : children) KillChild(&child);
        StopXServer(&server);
    }

    std::vector<std::string> Environment(const std::string& screenSaverWindow = "") {
        return {"XDG_CONFIG_HOME=" + config, "XSCREENSAVER_WINDOW=" + screenSaverWindow};
    }

    Child* StartZarvo(std::vector<std::string> args, const std::string& screenSaverWindow = "") {
        args.insert(args.begin(), kZarvo);
        children.emplace_back();
        EXPECT_TRUE(SpawnChild(args, server.name, Environment(screenSaverWindow), &children.back()));
        return &children.back();
    }

    Picture Render(const std::string& size, int seed, int ticks, const std::string& extra = "") {
        std::string out = MakeTempDir("render") + "/expected.png";
        std::vector<std::string> args = {kRender, "--size", size, "--seed", std::to_string(seed),
                                         "--ticks", std::to_string(ticks), "--out", out};
        if (!extra.empty()) {
            args.push_back(extra.substr(0, extra.find(' ')));
            args.push_back(extra.substr(extra.find(' ') + 1));
        }
        std::string errors;
        Picture picture;
        EXPECT_EQ(RunProgram(args, "", {}, 60000, &errors), 0) << "zarvo-render: " << errors;
        EXPECT_TRUE(ReadPng(out, &picture)) << "expected a PNG at " << out;
        return picture;
    }

    // Captures until the window shows `expected` (within tolerance, outside
    // `skip`) or the time is up; the last difference found.
    Difference WaitForPicture(Window window, int x, int y, const Picture& expected, int tolerance,
                              SceneRect skip = {0, 0, 0, 0}, int timeoutMs = kStartMs) {
        Difference difference{-2};
        int64_t deadline = NowMs() + timeoutMs;
        do {
            Picture got;
            if (CaptureWindow(server.display, window, x, y, expected.width, expected.height, &got)) {
                difference = Compare(expected, got, tolerance, skip);
                if (difference.count == 0) break;
            }
            SleepMs(50);
        } while (NowMs() < deadline);
        return difference;
    }

    Picture Capture(Window window, int width, int height) {
        Picture picture;
        EXPECT_TRUE(CaptureWindow(server.display, window, 0, 0, width, height, &picture));
        return picture;
    }

    // Ends within the time with exit status `code`.
    void ExpectExit(Child* child, int code, int timeoutMs = 5000) {
        int status = 0;
        ASSERT_TRUE(WaitChild(child, timeoutMs, &status))
            << "expected zarvo to end within " << timeoutMs << " ms";
        ASSERT_TRUE(WIFEXITED(status)) << "expected a normal exit, got wait status " << status;
        EXPECT_EQ(WEXITSTATUS(status), code) << "stderr: " << ChildErrors(*child);
    }

    void ExpectStillRunning(Child* child, int forMs) {
        int status = 0;
        EXPECT_FALSE(WaitChild(child, forMs, &status)) << "expected zarvo to keep running";
    }

    void Xdotool(std::vector<std::string> args) {
        args.insert(args.begin(), "xdotool");
        ASSERT_EQ(RunProgram(args, server.name, {}, 10000), 0) << "xdotool failed";
    }
};

TEST_F(ScreenTest, WindowShowsTheRenderersPictureExactlyOnA24BitDisplay) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture expected = Render("1024x768", 11, 3);
    Window root = DefaultRootWindow(server.display);
    for (const char* output : {"--shm", "--no-shm"}) {
        std::vector<std::string> args = {"--seed", "11", "--frames", "3", "--redraw-speed", "120"};
        if (std::string(output) == "--no-shm") args.push_back(output);
        Child* zarvo = StartZarvo(args);
        EXPECT_NE(WaitForWindowNamed(server.display, "Zarvo", kStartMs), None);
        Difference difference = WaitForPicture(root, 0, 0, expected, 0);
        EXPECT_EQ(difference.count, 0) << output << ": " << Describe(difference);
        kill(zarvo->pid, SIGTERM);
        ExpectExit(zarvo, 0);
    }
}

TEST_F(ScreenTest, SixteenBitDisplayShowsTheRightColours) {
    ASSERT_NO_FATAL_FAILURE(StartServer("800x600x16"));
    Picture expected = Render("800x600", 5, 2);
    Window root = DefaultRootWindow(server.display);
    for (const char* output : {"--shm", "--no-shm"}) {
        std::vector<std::string> args = {"--geometry", "800x600", "--seed", "5", "--frames", "2",
                                         "--redraw-speed", "120"};
        if (std::string(output) == "--no-shm") args.push_back(output);
        Child* zarvo = StartZarvo(args);
        // 5 and 6 bits per channel: each level may move by half a step.
        Difference difference = WaitForPicture(root, 0, 0, expected, 5);
        EXPECT_EQ(difference.count, 0) << output << ": " << Describe(difference);
        kill(zarvo->pid, SIGTERM);
        ExpectExit(zarvo, 0);
    }
}

TEST_F(ScreenTest, EightBitDisplayUsesItsTrueColorVisual) {
    ASSERT_NO_FATAL_FAILURE(StartServer("800x600x8"));
    Picture expected = Render("800x600", 6, 1);
    Child* zarvo = StartZarvo({"--geometry", "800x600", "--seed", "6", "--frames", "1",
                               "--redraw-speed", "120"});
    // The root keeps the PseudoColor default visual: read the window itself.
    Window window = WaitForWindowNamed(server.display, "Zarvo", kStartMs);
    ASSERT_NE(window, static_cast<Window>(None));
    // 3 bits of red and green, 2 of blue: half a step is 18 and 43 levels.
    Difference difference = WaitForPicture(window, 0, 0, expected, 43);
    EXPECT_EQ(difference.count, 0) << Describe(difference);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

TEST_F(ScreenTest, OnlyTheFrameStripChangesBetweenScreenshots) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture still = Render("1024x768", 3, 0);
    SceneRect strip = FrameStripFor(1024, 768);
    ASSERT_GT(strip.width, 0);
    Window root = DefaultRootWindow(server.display);
    StartZarvo({"--seed", "3", "--redraw-speed", "120"});
    Difference outside = WaitForPicture(root, 0, 0, still, 0, strip);
    ASSERT_EQ(outside.count, 0) << "outside the strip: " << Describe(outside);
    Picture first = Capture(root, 1024, 768);
    Difference inside{};
    int64_t deadline = NowMs() + 5000;
    Picture later;
    while (inside.count == 0 && NowMs() < deadline) {
        SleepMs(100);
        later = Capture(root, 1024, 768);
        inside = Compare(first, later, 0);
    }
    EXPECT_GT(inside.count, 0) << "expected the strip to change between screenshots";
    EXPECT_TRUE(Inside(strip, inside.x, inside.y))
        << "first change at (" << inside.x << ", " << inside.y << ") lies outside the strip";
    Difference after = Compare(still, later, 0, strip);
    EXPECT_EQ(after.count, 0) << "outside the strip after frames: " << Describe(after);
}

TEST_F(ScreenTest, NarrowWindowOnAWideScreenShowsTheStillPreviewPicture) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture expected = Render("320x240", 2, 0, "--screen-width 1024");
    Window root = DefaultRootWindow(server.display);
    Child* zarvo = StartZarvo({"--geometry", "320x240", "--seed", "2", "--redraw-speed", "120"});
    Difference shown = WaitForPicture(root, 0, 0, expected, 0);
    EXPECT_EQ(shown.count, 0) << Describe(shown);
    SleepMs(600);  // about 600 frames' worth at this redraw speed
    Difference later = Compare(expected, Capture(root, 320, 240), 0);
    EXPECT_EQ(later.count, 0) << "expected no animation: " << Describe(later);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

TEST_F(ScreenTest, FullScreenEndsOnKeyButtonOrAMoveOfMoreThanFourPixels) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture still = Render("1024x768", 8, 0);
    SceneRect strip = FrameStripFor(1024, 768);
    Window root = DefaultRootWindow(server.display);
    struct Dismissal {
        const char* what;
        std::vector<std::string> input;
    } dismissals[] = {
        {"key press", {"key", "a"}},
        {"button press", {"click", "1"}},
        {"move by 3 + 2 pixels", {"mousemove", "203", "202"}},
    };
    for (const Dismissal& dismissal : dismissals) {
        SCOPED_TRACE(dismissal.what);
        Xdotool({"mousemove", "200", "200"});
        Child* zarvo = StartZarvo({"--fullscreen", "--seed", "8", "--redraw-speed", "100"});
        Difference shown = WaitForPicture(root, 0, 0, still, 0, strip);
        ASSERT_EQ(shown.count, 0) << Describe(shown);
        Xdotool({"mousemove", "202", "202"});  // |dx| + |dy| = 4: not enough
        ExpectStillRunning(zarvo, 500);
        Xdotool(dismissal.input);
        ExpectExit(zarvo, 0);
    }
}

TEST_F(ScreenTest, FullScreenOnANarrowScreenIsRefusedWithTheMinimumConfigurationText) {
    ASSERT_NO_FATAL_FAILURE(StartServer("600x480x24"));
    Child* zarvo = StartZarvo({"--fullscreen"});
    ExpectExit(zarvo, 1, kStartMs);
    std::string errors = ChildErrors(*zarvo);
    EXPECT_NE(errors.find("Minimum configuration required:\n256 colors, 640 x 480 resolution"),
              std::string::npos)
        << "stderr: " << errors;
}

// A 640 x 480 window of the test's own, of the default visual or a 32-deep
// (ARGB) one as compositing desktops use.
Window CreateTargetWindow(Display* display, bool argb) {
    Window root = DefaultRootWindow(display);
    XVisualInfo info{};
    if (!argb || !XMatchVisualInfo(display, DefaultScreen(display), 32, TrueColor, &info)) {
        return argb ? None
                    : XCreateSimpleWindow(display, root, 100, 50, 640, 480, 0, 0,
                                          WhitePixel(display, DefaultScreen(display)));
    }
    XSetWindowAttributes attributes{};
    attributes.colormap = XCreateColormap(display, root, info.visual, AllocNone);
    attributes.background_pixel = 0xFFFFFFFF;
    return XCreateWindow(display, root, 100, 50, 640, 480, 0, 32, InputOutput, info.visual,
                         CWColormap | CWBackPixel | CWBorderPixel, &attributes);
}

// Pixels of a 32-deep window whose alpha byte is not opaque.
long TranslucentPixels(Display* display, Window window) {
    XImage* image = XGetImage(display, window, 0, 0, 640, 480, AllPlanes, ZPixmap);
    if (!image) return -1;
    long count = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) count += (XGetPixel(image, x, y) >> 24) != 0xFF;
    }
    XDestroyImage(image);
    return count;
}

TEST_F(ScreenTest, WindowIdAndXScreenSaverWindowDrawIntoTheGivenWindow) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture expected = Render("640x480", 9, 2);
    Display* display = server.display;
    struct Target {
        const char* how;
        bool hex;
        bool environment;
        bool argb;
    } targets[] = {{"--window-id 0x...", true, false, false},
                   {"--window-id decimal", false, false, false},
                   {"XSCREENSAVER_WINDOW with --root", false, true, false},
                   {"--window-id of a 32-deep ARGB window", true, false, true}};
    for (const Target& target : targets) {
        SCOPED_TRACE(target.how);
        Window window = CreateTargetWindow(display, target.argb);
        ASSERT_NE(window, static_cast<Window>(None)) << "expected the test window to be made";
        XMapWindow(display, window);
        XSync(display, False);
        char id[32];
        snprintf(id, sizeof id, target.hex ? "0x%lx" : "%lu", window);
        std::vector<std::string> args = {"--seed", "9", "--frames", "2", "--redraw-speed", "120"};
        if (target.environment) {
            args.push_back("--root");
        } else {
            args.insert(args.end(), {"--window-id", id});
        }
        Child* zarvo = StartZarvo(args, target.environment ? id : "");
        Difference difference = WaitForPicture(window, 0, 0, expected, 0);
        EXPECT_EQ(difference.count, 0) << Describe(difference);
        if (target.argb) {
            EXPECT_EQ(TranslucentPixels(display, window), 0) << "expected every pixel opaque";
        }
        // The window going away ends zarvo cleanly.
        XDestroyWindow(display, window);
        XSync(display, False);
        ExpectExit(zarvo, 0);
    }
}

TEST_F(ScreenTest, SigtermEndsTheRunCleanly) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Child* zarvo = StartZarvo({"--redraw-speed", "120"});
    ASSERT_NE(WaitForWindowNamed(server.display, "Zarvo", kStartMs), None);
    SleepMs(300);  // a few hundred frames in flight
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
    EXPECT_EQ(WaitForWindowNamed(server.display, "Zarvo", 200), static_cast<Window>(None))
        << "expected the window to be gone";
}

TEST_F(ScreenTest, WindowClosesOnEscapeQAndTheCloseButtonButNotOtherKeys) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Display* display = server.display;
    for (const char* close : {"Escape", "q", "close button"}) {
        SCOPED_TRACE(close);
        Child* zarvo = StartZarvo({});
        Window window = WaitForWindowNamed(display, "Zarvo", kStartMs);
        ASSERT_NE(window, static_cast<Window>(None));
        Xdotool({"mousemove", "500", "400"});  // keys go to the window under the pointer
        Xdotool({"key", "a"});
        ExpectStillRunning(zarvo, 300);
        if (std::string(close) == "close button") {
            XEvent event{};
            event.xclient.type = ClientMessage;
            event.xclient.window = window;
            event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
            event.xclient.format = 32;
            event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
            event.xclient.data.l[1] = CurrentTime;
            XSendEvent(display, window, False, NoEventMask, &event);
            XSync(display, False);
        } else {
            Xdotool({"key", close});
        }
        ExpectExit(zarvo, 0);
    }
}

TEST_F(ScreenTest, StoredSettingsAndOptionsShapeTheScene) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    // Stored: 120 circling walkers; the option then sets 90 walkway walkers.
    ASSERT_EQ(RunProgram({kZarvo, "--circle-walkers", "120", "--save"}, "", Environment(), 10000), 0);
    SettingsRecord both = kDefaultSettings;
    both.entries[CircleWalkers].value = 120;
    both.entries[IsleWalkers].value = 90;
    uint8_t bytes[kSettingsRecordSize];
    EncodeSettings(both, bytes);
    std::string file = MakeTempDir("settings") + "/Config";
    FILE* out = fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    ASSERT_EQ(fwrite(bytes, 1, sizeof bytes, out), sizeof bytes);
    fclose(out);
    Picture expected = Render("1024x768", 4, 6, "--settings " + file);
    Picture defaults = Render("1024x768", 4, 6);
    ASSERT_NE(Compare(expected, defaults, 0).count, 0) << "expected the settings to change the frame";
    Child* zarvo = StartZarvo({"--walkway-walkers", "90", "--seed", "4", "--frames", "6",
                               "--redraw-speed", "120"});
    Difference difference = WaitForPicture(DefaultRootWindow(server.display), 0, 0, expected, 0);
    EXPECT_EQ(difference.count, 0) << Describe(difference);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

}  // namespace
