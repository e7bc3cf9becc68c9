// zarvo --fullscreen on a display of two monitors (Xorg's dummy driver:
// 1024 x 768, the primary, and 800 x 600 to its right): a scene on each, or
// on the primary only.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <string>
#include <vector>

#include "captures.h"
#include "harness.h"

#ifndef ZARVO_TWO_MONITORS
#error "ZARVO_TWO_MONITORS names tests/e2e/two-monitors.sh"
#endif

namespace {

constexpr int kStartMs = 15000;

class TwoMonitorsTest : public testing::Test {
  protected:
    std::string work, displayName;
    Display* display = nullptr;
    Child zarvo;

    void SetUp() override {
        if (RunProgram({"sh", "-c", "command -v Xorg && test -e /usr/lib/xorg/modules/drivers/dummy_drv.so"}, "", {},
                       10000) != 0) {
            GTEST_SKIP() << "Xorg's dummy driver is not installed (tools/install-deps.sh test installs it)";
        }
        work = MakeTempDir("two-monitors");
        const std::string start = "bash " ZARVO_TWO_MONITORS " start " + work + " 150 >" + work + "/display";
        ASSERT_EQ(RunProgram({"sh", "-c", start}, "", {}, 30000), 0) << "see " << work;
        std::ifstream(work + "/display") >> displayName;
        display = XOpenDisplay(displayName.c_str());
        ASSERT_NE(display, nullptr) << "cannot open " << displayName;
    }

    void TearDown() override {
        KillChild(&zarvo);
        if (display) XCloseDisplay(display);
        if (!work.empty()) RunProgram({"bash", ZARVO_TWO_MONITORS, "stop", work}, "", {}, 20000);
    }

    void ExpectArea(int x, int y, const Picture& expected, const char* what) {
        const Difference d =
            WaitForPicture(display, DefaultRootWindow(display), x, y, expected, 0, {0, 0, 0, 0}, kStartMs);
        EXPECT_EQ(d.count, 0) << what << ": " << Describe(d);
    }
};

// Each monitor shows zarvo-render's picture at its own size and seed (the
// primary the run's, the next one more), or black where the monitors
// setting leaves it out; the root's corner below the smaller one stays black.
TEST_F(TwoMonitorsTest, FullScreenDrawsOnEachMonitorOrThePrimaryOnly) {
    const Picture primary = Render("1024x768", 21, 3, "--picture-size fit");
    const Picture second = Render("800x600", 22, 3, "--picture-size fit");
    for (const char* monitors : {"all", "primary"}) {
        SCOPED_TRACE(std::string("--monitors ") + monitors);
        ASSERT_TRUE(SpawnChild({ZARVO_PROGRAM, "--fullscreen", "--seed", "21", "--still-after", "3", "--redraw-speed",
                                "120", "--picture-size", "fit", "--monitors", monitors},
                               displayName, {"XDG_CONFIG_HOME=" + work}, &zarvo));
        ExpectArea(0, 0, primary, "the primary");
        ExpectArea(1024, 0, std::string(monitors) == "all" ? second : Black(800, 600), "the second monitor");
        ExpectArea(1024, 600, Black(800, 168), "below the second monitor");
        kill(zarvo.pid, SIGTERM);
        int status = 0;
        ASSERT_TRUE(WaitChild(&zarvo, 5000, &status));
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ChildErrors(zarvo);
    }
}

}  // namespace
