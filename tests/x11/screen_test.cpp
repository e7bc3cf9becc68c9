// zarvo on private Xvfb servers: what it shows (against zarvo-render), how it
// animates, and how each mode ends.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <cstdlib>
#include <string>
#include <vector>

#include "captures.h"
#include "harness.h"

namespace {

const std::string kZarvo = ZARVO_PROGRAM;
constexpr int kStartMs = 15000;  // generous: CI runs two test processes per core

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

    // Waits for the picture at (x, y) of the window on the test's server.
    Difference WaitForPicture(Window window, int x, int y, const Picture& expected, int tolerance,
                              Rect skip = {0, 0, 0, 0}) {
        return ::WaitForPicture(server.display, window, x, y, expected, tolerance, skip, kStartMs);
    }

    Picture Capture(Window window, int width, int height) {
        Picture picture;
        EXPECT_TRUE(CaptureWindow(server.display, window, 0, 0, width, height, &picture));
        return picture;
    }

    // Ends within the time with exit status `code`.
    void ExpectExit(Child* child, int code, int timeoutMs = 5000) {
        int status = 0;
        ASSERT_TRUE(WaitChild(child, timeoutMs, &status)) << "expected zarvo to end within " << timeoutMs << " ms";
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

// The renderer's picture through shared memory and without, exactly at 24
// bits; at 16 (5 and 6 bits a channel) each level may move by half a step.
TEST_F(ScreenTest, WindowShowsTheRenderersPictureOnTrueColourDisplays) {
    const struct {
        const char* screen;
        const char* size;
        int seed, ticks, tolerance;
        std::vector<std::string> geometry;
    } depths[] = {{"1024x768x24", "1024x768", 11, 3, 0, {}},
                  {"800x600x16", "800x600", 5, 2, 5, {"--geometry", "800x600"}}};
    for (const auto& depth : depths) {
        SCOPED_TRACE(depth.screen);
        StopXServer(&server);
        ASSERT_NO_FATAL_FAILURE(StartServer(depth.screen));
        const Picture expected = Render(depth.size, depth.seed, depth.ticks);
        for (const char* output : {"--shm", "--no-shm"}) {
            std::vector<std::string> args = depth.geometry;
            args.insert(args.end(), {"--seed", std::to_string(depth.seed), "--still-after", std::to_string(depth.ticks),
                                     "--redraw-speed", "120"});
            if (std::string(output) == "--no-shm") args.push_back(output);
            Child* zarvo = StartZarvo(args);
            EXPECT_NE(WaitForWindowNamed(server.display, "Zarvo", kStartMs), None) << output;
            const Difference difference =
                WaitForPicture(DefaultRootWindow(server.display), 0, 0, expected, depth.tolerance);
            EXPECT_EQ(difference.count, 0) << output << ": " << Describe(difference);
            kill(zarvo->pid, SIGTERM);
            ExpectExit(zarvo, 0);
        }
    }
}

// A resized window sets its scene up again for the new size: at 1280 x 720
// the 1024 x 768 picture centred and cropped, figures and strip where the
// picture has them, exactly as zarvo-render draws that size; and back.
TEST_F(ScreenTest, ResizedWindowShowsTheRenderersPictureAtEachSize) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1280x1024x24"));
    Window root = DefaultRootWindow(server.display);
    Child* zarvo =
        StartZarvo({"--geometry", "1024x768", "--seed", "21", "--still-after", "2", "--redraw-speed", "120"});
    const Window window = WaitForWindowNamed(server.display, "Zarvo", kStartMs);
    ASSERT_NE(window, None);
    for (const char* size : {"1024x768", "1280x720", "1024x768"}) {
        SCOPED_TRACE(size);
        const std::string text = size;
        const std::string width = text.substr(0, text.find('x')), height = text.substr(text.find('x') + 1);
        Xdotool({"windowsize", std::to_string(window), width, height});
        Difference shown = WaitForPicture(root, 0, 0, Render(size, 21, 2), 0);
        EXPECT_EQ(shown.count, 0) << Describe(shown);
    }
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

TEST_F(ScreenTest, EightBitDisplayUsesItsTrueColorVisual) {
    ASSERT_NO_FATAL_FAILURE(StartServer("800x600x8"));
    Picture expected = Render("800x600", 6, 1);
    Child* zarvo = StartZarvo({"--geometry", "800x600", "--seed", "6", "--still-after", "1", "--redraw-speed", "120"});
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
    Rect strip = FrameStripFor(1024, 768);
    ASSERT_GT(strip.width, 0);
    Window root = DefaultRootWindow(server.display);
    StartZarvo({"--seed", "3", "--redraw-speed", "120"});
    Difference outside = WaitForPicture(root, 0, 0, still, 0, strip);
    ASSERT_EQ(outside.count, 0) << "outside the strip: " << Describe(outside);
    Picture first = Capture(root, 1024, 768);
    Difference inside = WaitForChange(server.display, root, {0, 0, 1024, 768}, first, 5000);
    EXPECT_GT(inside.count, 0) << "expected the strip to change between screenshots";
    EXPECT_TRUE(Contains(strip, inside.x, inside.y))
        << "first change at (" << inside.x << ", " << inside.y << ") lies outside the strip";
    Difference after = Compare(still, Capture(root, 1024, 768), 0, strip);
    EXPECT_EQ(after.count, 0) << "outside the strip after frames: " << Describe(after);
}

// XScreenSaver's preview pane is this small: the 640 x 480 scene shrunk
// into it, moving, as zarvo-render --scale-down draws it.
TEST_F(ScreenTest, NarrowWindowShowsTheSmallestSceneShrunkAndMoving) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture first = Render("320x240", 2, 0, "--scale-down");
    Picture expected = Render("320x240", 2, 3, "--scale-down");
    ASSERT_GT(Compare(first, expected, 0).count, 0) << "three ticks should move the shrunk scene";
    Window root = DefaultRootWindow(server.display);
    Child* zarvo = StartZarvo({"--geometry", "320x240", "--seed", "2", "--redraw-speed", "120", "--still-after", "3"});
    Difference shown = WaitForPicture(root, 0, 0, expected, 0);
    EXPECT_EQ(shown.count, 0) << Describe(shown);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
    // --frames ends the program once they are drawn, without a signal.
    ExpectExit(StartZarvo({"--geometry", "320x240", "--redraw-speed", "120", "--frames", "3"}), 0);
}

TEST_F(ScreenTest, FullScreenEndsOnKeyButtonOrAMoveOfMoreThanFourPixels) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture still = Render("1024x768", 8, 0);
    Rect strip = FrameStripFor(1024, 768);
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

// Full screen paints before its first exposure; an exposure after that
// paint (another window mapped over it and gone) must still repaint.
TEST_F(ScreenTest, FullScreenRepaintsWhatAnotherWindowUncovered) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    const Picture expected = Render("1024x768", 13, 3);
    Window root = DefaultRootWindow(server.display);
    Child* zarvo = StartZarvo({"--fullscreen", "--seed", "13", "--still-after", "3", "--redraw-speed", "120"});
    Difference shown = WaitForPicture(root, 0, 0, expected, 0);
    ASSERT_EQ(shown.count, 0) << Describe(shown);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(server.display, DefaultScreen(server.display));
    Window cover = XCreateWindow(server.display, root, 100, 100, 400, 300, 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(server.display, cover);
    XSync(server.display, False);
    ASSERT_NE(Compare(expected, Capture(root, 1024, 768), 0).count, 0) << "expected the cover on screen";
    XDestroyWindow(server.display, cover);
    XSync(server.display, False);
    Difference repainted = WaitForPicture(root, 0, 0, expected, 0);
    EXPECT_EQ(repainted.count, 0) << Describe(repainted);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

// An override-redirect window of the test's own over the animating strip
// for some ticks, then gone: the server sends the full-screen window an
// exposure (it keeps no backing store for it), and the frames that went on
// underneath leave nothing stale: once the animation stops the screen is
// zarvo-render's picture of the last frame.
TEST_F(ScreenTest, FullScreenShowsTheLastFrameAfterAWindowCoveredTheMovingStrip) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    constexpr int kSeed = 19, kStillAfter = 60;
    const Rect strip = FrameStripFor(1024, 768);
    const Picture still = Render("1024x768", kSeed, 0), last = Render("1024x768", kSeed, kStillAfter);
    Window root = DefaultRootWindow(server.display);
    Child* zarvo = StartZarvo({"--fullscreen", "--seed", std::to_string(kSeed), "--still-after",
                               std::to_string(kStillAfter), "--redraw-speed", "100"});
    const Window shown = WaitForWindowNamed(server.display, "Zarvo", kStartMs);
    ASSERT_NE(shown, None);
    Difference outside = WaitForPicture(root, 0, 0, still, 0, strip);
    ASSERT_EQ(outside.count, 0) << Describe(outside);
    XSelectInput(server.display, shown, ExposureMask);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = WhitePixel(server.display, DefaultScreen(server.display));
    Window cover =
        XCreateWindow(server.display, root, strip.x - 30, strip.y - 20, strip.width + 60, strip.height + 40, 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(server.display, cover);
    XSync(server.display, False);
    SleepMs(1000);  // about ten ticks drawn under the cover
    XDestroyWindow(server.display, cover);
    XSync(server.display, False);
    int exposures = 0;
    for (const int64_t end = NowMs() + 2000; NowMs() < end && exposures == 0; SleepMs(20)) {
        XEvent event;
        while (XCheckTypedWindowEvent(server.display, shown, Expose, &event)) ++exposures;
    }
    RecordProperty("exposures", exposures);
    std::printf("exposures of zarvo's window after the cover went: %d\n", exposures);
    Difference settled = WaitForPicture(root, 0, 0, last, 0, {0, 0, 0, 0});
    EXPECT_EQ(settled.count, 0) << "expected frame " << kStillAfter << " everywhere: " << Describe(settled);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

TEST_F(ScreenTest, FullScreenOnANarrowScreenIsRefusedWithTheSizeFound) {
    ASSERT_NO_FATAL_FAILURE(StartServer("600x480x24"));
    Child* zarvo = StartZarvo({"--fullscreen"});
    ExpectExit(zarvo, 1, kStartMs);
    std::string errors = ChildErrors(*zarvo);
    EXPECT_NE(errors.find("zarvo: the scene needs a window at least 640 pixels wide and 256 colours\n"
                          "(8 bits per pixel); this window is 600 x 480 with 24 bits per pixel"),
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

// The pixels of the window that are not white.
long MarkedPixels(Display* display, Window window, int width, int height) {
    Picture picture;
    if (!CaptureWindow(display, window, 0, 0, width, height, &picture)) return -1;
    long count = 0;
    for (uint32_t pixel : picture.pixels) count += pixel != 0xFFFFFF;
    return count;
}

TEST_F(ScreenTest, WindowIdAndXScreenSaverWindowDrawIntoTheGivenWindow) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture expected = Render("640x480", 9, 2);
    Display* display = server.display;
    // Another top-level window, below the target, that zarvo must leave white.
    Window other = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 600, 200, 100, 0, 0,
                                       WhitePixel(display, DefaultScreen(display)));
    XMapWindow(display, other);
    // In the arguments and the environment "HEX" and "DEC" stand for the
    // target's id, "OTHER" for the other window's.
    struct Target {
        const char* how;
        std::vector<std::string> args;
        const char* environment;  // XSCREENSAVER_WINDOW
        bool argb;
        bool virtualRoot;  // the target carries __SWM_VROOT naming itself
    } targets[] = {
        {"--window-id 0x...", {"--window-id", "HEX"}, "", false, false},
        {"--window-id decimal", {"--window-id", "DEC"}, "", false, false},
        {"XSCREENSAVER_WINDOW with --root", {"--root"}, "DEC", false, false},
        {"-window-id before -root, XSCREENSAVER_WINDOW naming another window",
         {"-window-id", "DEC", "-root"},
         "OTHER",
         false,
         false},
        {"--root under a virtual root", {"--root"}, "", false, true},
        {"--window-id of a 32-deep ARGB window", {"--window-id", "HEX"}, "", true, false},
    };
    for (const Target& target : targets) {
        SCOPED_TRACE(target.how);
        Window window = CreateTargetWindow(display, target.argb);
        ASSERT_NE(window, static_cast<Window>(None)) << "expected the test window to be made";
        if (target.virtualRoot) {
            XChangeProperty(display, window, XInternAtom(display, "__SWM_VROOT", False), XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&window), 1);
        }
        XMapWindow(display, window);
        XSync(display, False);
        auto idFor = [&](const std::string& token) {
            char id[32];
            snprintf(id, sizeof id, token == "DEC" ? "%lu" : "0x%lx", token == "OTHER" ? other : window);
            return token == "DEC" || token == "HEX" || token == "OTHER" ? std::string(id) : token;
        };
        std::vector<std::string> args = {"--seed", "9", "--still-after", "2", "--redraw-speed", "120"};
        for (const std::string& arg : target.args) args.push_back(idFor(arg));
        Child* zarvo = StartZarvo(args, idFor(target.environment));
        Difference difference = WaitForPicture(window, 0, 0, expected, 0);
        EXPECT_EQ(difference.count, 0) << Describe(difference);
        if (target.argb) {
            EXPECT_EQ(TranslucentPixels(display, window), 0) << "expected every pixel opaque";
        }
        EXPECT_EQ(MarkedPixels(display, other, 200, 100), 0) << "expected the other window white";
        // The window going away ends zarvo cleanly.
        XDestroyWindow(display, window);
        XSync(display, False);
        ExpectExit(zarvo, 0);
    }
}

// The owner of a given window may clear it without an exposure (a screen
// saver daemon setting its window up can): the picture comes back within a
// few seconds all the same.
TEST_F(ScreenTest, GivenWindowClearedByItsOwnerGetsThePictureBack) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    const Picture still = Render("640x480", 9, 0);
    const Rect strip = FrameStripFor(640, 480);
    const Window window = CreateTargetWindow(server.display, false);
    XMapWindow(server.display, window);
    XSync(server.display, False);
    StartZarvo({"--window-id", std::to_string(window), "--seed", "9", "--redraw-speed", "120"});
    const Difference shown = WaitForPicture(window, 0, 0, still, 0, strip);
    ASSERT_EQ(shown.count, 0) << Describe(shown);
    XClearWindow(server.display, window);
    XSync(server.display, False);
    const Difference back = ::WaitForPicture(server.display, window, 0, 0, still, 0, strip, 5000);
    EXPECT_EQ(back.count, 0) << "5 s after the owner cleared the window: " << Describe(back);
}

TEST_F(ScreenTest, RootWithoutAVirtualRootDrawsOnTheRoot) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture expected = Render("1024x768", 9, 2);
    Child* zarvo = StartZarvo({"--root", "--seed", "9", "--still-after", "2", "--redraw-speed", "120"});
    Difference difference = WaitForPicture(DefaultRootWindow(server.display), 0, 0, expected, 0);
    EXPECT_EQ(difference.count, 0) << Describe(difference);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
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

// A client message carrying WM_DELETE_WINDOW, as the window manager's close
// button sends it when `type` is WM_PROTOCOLS.
void SendDeleteMessage(Display* display, Window window, const char* type) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, type, False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

TEST_F(ScreenTest, WindowClosesOnEscapeQAndTheCloseButtonButNotOtherKeysOrMessages) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Display* display = server.display;
    for (const char* close : {"Escape", "q", "close button"}) {
        SCOPED_TRACE(close);
        Child* zarvo = StartZarvo({});
        Window window = WaitForWindowNamed(display, "Zarvo", kStartMs);
        ASSERT_NE(window, static_cast<Window>(None));
        Xdotool({"mousemove", "500", "400"});  // keys go to the window under the pointer
        Xdotool({"key", "a"});
        SendDeleteMessage(display, window, "ZARVO_NOT_WM_PROTOCOLS");
        ExpectStillRunning(zarvo, 300);
        if (std::string(close) == "close button") {
            SendDeleteMessage(display, window, "WM_PROTOCOLS");
        } else {
            Xdotool({"key", close});
        }
        ExpectExit(zarvo, 0);
    }
}

// 200 frames at redraw speed 120, one every 1 ms by the scene's period, last
// two seconds from the first paint at the 10 ms floor; without it they are
// over within about a third of a second.
TEST_F(ScreenTest, FramesComeNoFasterThanEveryTenMilliseconds) {
    ASSERT_NO_FATAL_FAILURE(StartServer("1024x768x24"));
    Picture still = Render("1024x768", 3, 0);
    Rect strip = FrameStripFor(1024, 768);
    Window root = DefaultRootWindow(server.display);
    // The first paint comes after the start, so frames still come 600 ms
    // after it however late the test sees the picture.
    int64_t started = NowMs();
    StartZarvo({"--seed", "3", "--redraw-speed", "120", "--still-after", "200"});
    Difference shown = WaitForPicture(root, 0, 0, still, 0, strip);
    ASSERT_EQ(shown.count, 0) << "outside the strip: " << Describe(shown);
    int64_t wait = started + 600 - NowMs();
    if (wait > 0) SleepMs(static_cast<int>(wait));
    Picture first;
    ASSERT_TRUE(CaptureWindow(server.display, root, strip.x, strip.y, strip.width, strip.height, &first));
    Difference moved = WaitForChange(server.display, root, strip, first, 1000);
    EXPECT_GT(moved.count, 0) << "expected frames still coming 600 ms after the start";
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
    Child* zarvo =
        StartZarvo({"--walkway-walkers", "90", "--seed", "4", "--still-after", "6", "--redraw-speed", "120"});
    Difference difference = WaitForPicture(DefaultRootWindow(server.display), 0, 0, expected, 0);
    EXPECT_EQ(difference.count, 0) << Describe(difference);
    kill(zarvo->pid, SIGTERM);
    ExpectExit(zarvo, 0);
}

// The smallest rectangle holding every pixel that is not black.
Rect LitArea(const Picture& picture) {
    int left = picture.width, top = picture.height, right = 0, bottom = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.At(x, y) == 0) continue;
            left = std::min(left, x), right = std::max(right, x + 1);
            top = std::min(top, y), bottom = std::max(bottom, y + 1);
        }
    }
    return right > left ? Rect{left, top, right - left, bottom - top} : Rect{0, 0, 0, 0};
}

// Full screen at each picture size shows zarvo-render's picture for the
// same screen, and the picture lies where the size puts it; so does a
// screen-sized window someone else made (the root here, XScreenSaver's
// window of a monitor elsewhere).
TEST_F(ScreenTest, PictureSizesShowTheRenderersPictureWhereTheSizePutsIt) {
    struct Case {
        const char* size;
        Rect picture;
        const char* mode = "--fullscreen";
    };
    struct Screen {
        const char* server;
        const char* size;
        int width, height;
        std::vector<Case> cases;
    };
    const Screen screens[] = {
        {"1920x1080x24",
         "1920x1080",
         1920,
         1080,
         {{"centred", {448, 156, 1024, 768}},
          {"whole-multiples", {448, 156, 1024, 768}},
          {"fit", {240, 0, 1440, 1080}},
          {"fill", {240, 0, 1440, 1080}, "--root"},
          {"cover", {0, 0, 1920, 1080}, "--root"}}},
        {"3840x2160x24",
         "3840x2160",
         3840,
         2160,
         {{"whole-multiples", {896, 312, 2048, 1536}}, {"fit", {480, 0, 2880, 2160}}}},
    };
    for (const Screen& screen : screens) {
        ASSERT_NO_FATAL_FAILURE(StartServer(screen.server));
        Window root = DefaultRootWindow(server.display);
        for (const Case& c : screen.cases) {
            SCOPED_TRACE(std::string(screen.size) + " " + c.size + " " + c.mode);
            const Picture expected = Render(screen.size, 12, 3, std::string("--picture-size ") + c.size);
            Child* zarvo = StartZarvo(
                {c.mode, "--seed", "12", "--still-after", "3", "--redraw-speed", "120", "--picture-size", c.size});
            Difference difference = WaitForPicture(root, 0, 0, expected, 0);
            EXPECT_EQ(difference.count, 0) << Describe(difference);
            const Rect lit = LitArea(Capture(root, screen.width, screen.height));
            EXPECT_TRUE(lit.x == c.picture.x && lit.y == c.picture.y && lit.width == c.picture.width &&
                        lit.height == c.picture.height)
                << "picture at " << lit.width << "x" << lit.height << "+" << lit.x << "+" << lit.y;
            kill(zarvo->pid, SIGTERM);
            ExpectExit(zarvo, 0);
        }
        StopXServer(&server);
    }
}

}  // namespace
