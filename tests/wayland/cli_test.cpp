// zarvo's protocol choice from the command line and the environment: the
// X11 forms refused on Wayland, a compositor that does not answer,
// --background refused on X11, and --idle where it cannot watch.
#include "wayland_test.h"

namespace {

using CommandLine = WaylandTest;

TEST_F(CommandLine, RefusalsAndFallbacks) {
    struct Case {
        const char* what;
        std::vector<std::string> args;
        std::vector<std::string> environment;  // over the sway client's
        int status;
        const char* message;  // in standard error
        const char* absent;   // not in standard error
    };
    const Case cases[] = {
        {"--root on Wayland", {"--root"}, {}, 2, "--root and --window-id draw into X11 windows", "cannot open"},
        {"--window-id on Wayland", {"--window-id", "0x400001"}, {}, 2, "on Wayland use --fullscreen or", "cannot open"},
        {"no compositor and no X display",
         {},
         {"WAYLAND_DISPLAY=zarvo-nowhere", "DISPLAY="},
         1,
         "no Wayland compositor answers at \"zarvo-nowhere\" (WAYLAND_DISPLAY) and no X display",
         "cannot open"},
        {"no compositor: an X display is tried",
         {},
         {"WAYLAND_DISPLAY=zarvo-nowhere", "DISPLAY=:93"},
         1,
         "cannot open display \":93\"",
         "no Wayland compositor answers"},
        {"--wayland where none answers",
         {"--wayland"},
         {"WAYLAND_DISPLAY=zarvo-nowhere"},
         1,
         "cannot connect to the Wayland compositor",
         "cannot open display"},
        {"--background on X11",
         {"--x11", "--background"},
         {},
         2,
         "--background is for Wayland; on X11, --root",
         "cannot open display"},
        {"--idle where the compositor tells no one of idleness, clamped",
         {"--idle", "0"},
         {"ZARVO_WAYLAND_NO_KDE_IDLE=1", "ZARVO_WAYLAND_NO_EXT_IDLE=1"},
         1,
         "--idle 0 is outside 1 to 86400; using 1\nzarvo: this Wayland compositor tells no client when the session "
         "is idle",
         "cannot open"},
        {"--idle on X11",
         {"--x11", "--idle", "60"},
         {"DISPLAY=:93"},
         2,
         "On X11, let XScreenSaver start zarvo",
         "cannot"},
        {"--idle without a display",
         {"--idle", "60"},
         {"WAYLAND_DISPLAY=", "DISPLAY="},
         1,
         "--idle watches a Wayland session, and WAYLAND_DISPLAY is not set",
         "cannot"},
        {"--idle with --background", {"--idle", "60", "--background"}, {}, 2, "--idle excludes --root", "cannot"},
        {"--monitors acts with --background",
         {"--background", "--monitors", "primary", "--frames", "0"},
         {},
         0,
         "",
         "--monitors acts only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartZarvo(c.args, c.environment);
        EXPECT_EQ(WaitForExit(5000), c.status) << ChildErrors(zarvo);
        EXPECT_NE(ChildErrors(zarvo).find(c.message), std::string::npos) << ChildErrors(zarvo);
        EXPECT_EQ(ChildErrors(zarvo).find(c.absent), std::string::npos) << ChildErrors(zarvo);
    }
}

}  // namespace
