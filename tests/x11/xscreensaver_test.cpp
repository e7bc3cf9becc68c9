// zarvo as XScreenSaver runs it: the real daemon blanks a private Xvfb with
// zarvo from a programs: entry, and the settings tool's preview command draws
// into a window of the test's own. The daemon refuses to start hacks for
// root, so as root it runs as an unprivileged user made for the purpose.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "captures.h"
#include "harness.h"

namespace {

const std::string kZarvo = ZARVO_PROGRAM;
const char kUser[] = "zarvo-xscreensaver";  // kept between runs
constexpr int kStartMs = 15000;             // generous: CI runs two test processes per core

// The daemon's user, made when missing (a second test process may make it
// at the same moment, so only its existence afterwards counts).
const passwd* DaemonUser() {
    if (!getpwnam(kUser)) {
        RunProgram({"useradd", "--system", "--user-group", "--no-create-home", "--home-dir", "/nonexistent", "--shell",
                    "/usr/sbin/nologin", kUser},
                   "", {}, 30000);
    }
    return getpwnam(kUser);
}

class XScreenSaverTest : public testing::Test {
  protected:
    XServer server;
    std::vector<std::string> asDaemonUser;  // the command prefix that runs as that user
    Child daemon;

    void SetUp() override {
        if (!HasProgram("Xvfb")) {
            GTEST_SKIP() << "Xvfb is not installed (tools/install-deps.sh test installs it)";
        }
        ASSERT_TRUE(StartXServer("1024x768x24", &server)) << "expected Xvfb to start";
    }

    void TearDown() override {
        if (daemon.pid > 0) {
            RunAsDaemonUser({"xscreensaver-command", "-exit"});
            int status = 0;
            if (!WaitChild(&daemon, 5000, &status)) kill(daemon.pid, SIGTERM);
            if (!WaitChild(&daemon, 2000, &status)) KillChild(&daemon);
        }
        StopXServer(&server);  // takes any client left behind with it
    }

    int RunAsDaemonUser(std::vector<std::string> args) {
        args.insert(args.begin(), asDaemonUser.begin(), asDaemonUser.end());
        return RunProgram(args, server.name, {}, 10000);
    }

    // A HOME whose ~/.xscreensaver runs `hack` alone, blanks only when told,
    // without locking or fading, and the command prefix that runs as the
    // daemon's user with it. 0 when that user cannot be had.
    int PrepareDaemonUser(const std::string& hack) {
        std::string home = MakeTempDir("xscreensaver-home");
        std::string config = home + "/.xscreensaver";
        FILE* file = fopen(config.c_str(), "w");
        if (!file) return 0;
        fprintf(file,
                "timeout: 1:00:00\ncycle: 0:00:00\nlock: False\nfade: False\nunfade: False\n"
                "splash: False\ndpmsEnabled: False\nmode: one\nselected: 0\n"
                "programs: %s --root --seed 3 --redraw-speed 120\n",
                hack.c_str());
        fclose(file);
        // The stored settings, too, are the run's own.
        asDaemonUser = {"env", "HOME=" + home, "XDG_CONFIG_HOME=" + home, "DISPLAY=" + server.name};
        if (getuid() != 0) return 1;  // the test's own user will do
        const passwd* user = DaemonUser();
        if (!user || !HasProgram("runuser")) return 0;
        for (const std::string& path : {home, config}) {
            if (chown(path.c_str(), user->pw_uid, user->pw_gid) != 0) return 0;
        }
        asDaemonUser.insert(asDaemonUser.begin(), {"runuser", "-u", kUser, "--"});
        return 1;
    }

    // A copy of zarvo that the daemon's user can run: the build tree may lie
    // in a folder only root can enter.
    std::string CopyOfZarvo() {
        std::string folder = MakeTempDir("xscreensaver-hack");
        chmod(folder.c_str(), 0755);
        std::string copy = folder + "/zarvo";
        if (RunProgram({"cp", kZarvo, copy}, "", {}, 10000) != 0) return "";
        chmod(copy.c_str(), 0755);
        return copy;
    }
};

TEST_F(XScreenSaverTest, DaemonBlanksTheScreenWithZarvoAndItsStripMoves) {
    if (!HasProgram("xscreensaver") || !HasProgram("xscreensaver-command")) {
        GTEST_SKIP() << "XScreenSaver is not installed (tools/install-deps.sh test installs it)";
    }
    std::string hack = CopyOfZarvo();
    ASSERT_FALSE(hack.empty()) << "expected a copy of " << kZarvo;
    if (!PrepareDaemonUser(hack)) {
        GTEST_SKIP() << "the daemon will not start hacks for root, and user " << kUser
                     << " could not be made or used (useradd, runuser)";
    }
    std::vector<std::string> start = asDaemonUser;
    start.insert(start.end(), {"xscreensaver", "-no-splash", "-verbose"});
    ASSERT_TRUE(SpawnChild(start, server.name, {}, &daemon));
    // -activate fails until the daemon has started listening.
    int64_t deadline = NowMs() + kStartMs;
    int activated = 0;
    while (!(activated = RunAsDaemonUser({"xscreensaver-command", "-activate"}) == 0) && NowMs() < deadline) {
        SleepMs(200);
    }
    ASSERT_TRUE(activated) << "xscreensaver-command -activate never succeeded; daemon log:\n" << ChildErrors(daemon);

    Picture still = Render("1024x768", 3, 0);
    Rect strip = FrameStripFor(1024, 768);
    Window root = DefaultRootWindow(server.display);
    Difference shown = WaitForPicture(server.display, root, 0, 0, still, 0, strip, kStartMs);
    ASSERT_EQ(shown.count, 0) << "outside the strip: " << Describe(shown) << "\ndaemon log:\n" << ChildErrors(daemon);
    Picture first;
    ASSERT_TRUE(CaptureWindow(server.display, root, strip.x, strip.y, strip.width, strip.height, &first));
    Difference moved = WaitForChange(server.display, root, strip, first, 5000);
    EXPECT_GT(moved.count, 0) << "expected the strip to change between screenshots";
}

TEST_F(XScreenSaverTest, SettingsPreviewCommandDrawsIntoTheGivenWindow) {
    Display* display = server.display;
    Picture expected = Render("640x480", 9, 2);
    Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 100, 50, 640, 480, 0, 0,
                                        WhitePixel(display, DefaultScreen(display)));
    XMapWindow(display, window);
    XSync(display, False);
    char id[32];
    snprintf(id, sizeof id, "0x%lx", window);
    // The settings tool appends --window-id to zarvo.xml's command and its
    // settings, and names the same window in the environment.
    Child zarvo;
    ASSERT_TRUE(SpawnChild(
        {kZarvo, "--root", "--seed", "9", "--still-after", "2", "--redraw-speed", "120", "--window-id", id},
        server.name, {std::string("XSCREENSAVER_WINDOW=") + id, "XDG_CONFIG_HOME=" + MakeTempDir("config")}, &zarvo));
    Difference shown = WaitForPicture(display, window, 0, 0, expected, 0, {0, 0, 0, 0}, kStartMs);
    EXPECT_EQ(shown.count, 0) << Describe(shown) << "\nzarvo: " << ChildErrors(zarvo);
    XDestroyWindow(display, window);
    XSync(display, False);
    int status = 0;
    EXPECT_TRUE(WaitChild(&zarvo, 5000, &status)) << "expected zarvo to end with its window";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "wait status " << status;
    KillChild(&zarvo);
}

}  // namespace
