// zarvo under MATE's screen saver: the real daemon, on a private Xvfb and
// session bus, finds the screen savers' desktop entry, and activated with
// Zarvo chosen runs its command in its own window, which then shows the
// scene as the settings that zarvo --save stored say. The daemon starts only
// programs from its own folders and XScreenSaver's; a private mount namespace
// puts zarvo in XScreenSaver's folder for the daemon alone, as the package
// does for everyone.
// GoogleTest first: Xlib defines None and Bool as macros.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "captures.h"
#include "harness.h"

namespace {

const std::string kZarvo = ZARVO_PROGRAM;
const std::string kEntry = ZARVO_SCREEN_SAVER_ENTRY;
const char kHackFolder[] = "/usr/libexec/xscreensaver";
constexpr int kStartMs = 15000;  // generous: CI runs two test processes per core
// A screen wider than the 1024 x 768 picture, so that the stored picture
// size (fill) shows: centred would leave a black frame around it.
constexpr int kWidth = 1152, kHeight = 864;

int WriteFile(const std::string& path, const std::string& text) {
    FILE* file = fopen(path.c_str(), "w");
    if (!file) return 0;
    const int written = fputs(text.c_str(), file) >= 0;
    return fclose(file) == 0 && written;
}

// The strip of the 1024 x 768 scene, as fill scales it onto the screen,
// widened by the pixels that the scaling blends with its neighbours.
Rect FilledStrip() {
    const Rect strip = FrameStripFor(1024, 768);
    const int margin = 3;
    return {strip.x * kWidth / 1024 - margin, strip.y * kHeight / 768 - margin,
            strip.width * kWidth / 1024 + 2 * margin, strip.height * kHeight / 768 + 2 * margin};
}

// The lines of the daemon's log about the job that runs its theme's command.
std::string JobLines(const std::string& log) {
    std::string lines;
    for (size_t at = 0; at < log.size();) {
        size_t end = log.find('\n', at);
        if (end == std::string::npos) end = log.size();
        const std::string line = log.substr(at, end - at);
        if (line.find("job") != std::string::npos) lines += line + "\n";
        at = end + 1;
    }
    return lines;
}

class MateScreenSaverTest : public testing::Test {
  protected:
    XServer server;
    Child bus, daemon;
    std::vector<std::string> environment;  // the session's: its bus, settings and data folders

    void SetUp() override {
        for (const char* program : {"Xvfb", "mate-screensaver", "mate-screensaver-command", "dbus-daemon", "unshare"}) {
            if (!HasProgram(program)) {
                GTEST_SKIP() << program << " is not installed (tools/install-deps.sh test installs it)";
            }
        }
        struct stat folder;
        if (stat(kHackFolder, &folder) != 0 || !S_ISDIR(folder.st_mode)) {
            GTEST_SKIP() << kHackFolder << " is missing (tools/install-deps.sh test installs xscreensaver)";
        }
        ASSERT_TRUE(StartXServer((std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x24").c_str(), &server))
            << "expected Xvfb to start";
    }

    void TearDown() override {
        if (daemon.pid > 0) {
            RunProgram({"mate-screensaver-command", "--exit"}, server.name, environment, 5000);
            int status = 0;
            if (!WaitChild(&daemon, 5000, &status)) kill(daemon.pid, SIGTERM);
            if (!WaitChild(&daemon, 2000, &status)) KillChild(&daemon);
        }
        if (bus.pid > 0) {
            kill(bus.pid, SIGTERM);
            int status = 0;
            if (!WaitChild(&bus, 2000, &status)) KillChild(&bus);
        }
        StopXServer(&server);  // takes any client left behind with it
    }

    // The session: the entry where the desktop's data lies, the daemon's
    // settings (Zarvo alone, activated only when told, no lock) and zarvo's
    // stored picture size. 1 when all is written.
    int PrepareSession(const std::string& home) {
        const std::string entries = home + "/share/applications/screensavers";
        const std::string settings = home + "/.config/glib-2.0/settings";
        if (RunProgram({"mkdir", "-p", entries, settings}, "", {}, 10000) != 0 ||
            RunProgram({"cp", kEntry, entries + "/zarvo.desktop"}, "", {}, 10000) != 0) {
            return 0;
        }
        // The daemon hands its programs HOME but not XDG_CONFIG_HOME, so
        // zarvo finds what --save stored under ~/.config only.
        environment = {"HOME=" + home,
                       "XDG_CONFIG_HOME=" + home + "/.config",
                       "XDG_DATA_DIRS=" + home + "/share:/usr/share",
                       "XDG_CURRENT_DESKTOP=MATE",
                       "GSETTINGS_BACKEND=keyfile",
                       "NO_AT_BRIDGE=1",
                       "DBUS_SESSION_BUS_ADDRESS=unix:path=" + home + "/bus"};
        std::string errors;
        if (RunProgram({kZarvo, "--picture-size", "fill", "--save"}, "", environment, 10000, &errors) != 0) {
            ADD_FAILURE() << "zarvo --save: " << errors;
            return 0;
        }
        return WriteFile(settings + "/keyfile",
                         "[org/mate/screensaver]\nmode='single'\nthemes=['screensavers-zarvo']\n"
                         "idle-activation-enabled=false\nlock-enabled=false\n");
    }

    // The session bus, then the daemon in a mount namespace of its own where
    // XScreenSaver's folder holds zarvo. 1 once the daemon answers.
    int StartDaemon(const std::string& home) {
        const std::string hacks = MakeTempDir("mate-hacks");
        if (symlink(kZarvo.c_str(), (hacks + "/zarvo").c_str()) != 0) return 0;
        if (!SpawnChild({"dbus-daemon", "--session", "--nofork", "--address=unix:path=" + home + "/bus"}, "", {},
                        &bus)) {
            return 0;
        }
        std::vector<std::string> start = {"unshare"};
        if (getuid() != 0) start.push_back("--map-root-user");  // mounting needs root, if only in the namespace
        start.insert(start.end(), {"--mount", "--propagation", "private", "sh", "-c",
                                   "mount --bind \"$0\" \"$1\" && exec mate-screensaver --no-daemon --debug >&2", hacks,
                                   kHackFolder});
        if (!SpawnChild(start, server.name, environment, &daemon)) return 0;
        // The daemon answers once it holds its name on the bus.
        const int64_t deadline = NowMs() + kStartMs;
        while (NowMs() < deadline) {
            if (RunProgram({"mate-screensaver-command", "--query"}, server.name, environment, 5000) == 0) return 1;
            int status = 0;
            if (WaitChild(&daemon, 0, &status)) return 0;  // it ended
            SleepMs(100);
        }
        return 0;
    }
};

TEST_F(MateScreenSaverTest, ListsZarvoAndShowsItWithTheStoredSettings) {
    const int64_t started = NowMs();
    const std::string home = MakeTempDir("mate-home");
    ASSERT_TRUE(PrepareSession(home)) << "expected the session's files under " << home;
    if (!StartDaemon(home)) {
        const std::string log = ChildErrors(daemon);
        if (log.rfind("unshare:", 0) == 0 || log.rfind("mount:", 0) == 0) {
            GTEST_SKIP() << "no mount namespace to put zarvo where the daemon looks for it: " << log;
        }
        FAIL() << "expected mate-screensaver to answer on its bus; its log:\n"
               << log << "\nthe bus: " << ChildErrors(bus);
    }
    ASSERT_EQ(RunProgram({"mate-screensaver-command", "--activate"}, server.name, environment, 5000), 0);

    // Outside the strip the picture is the same whatever the seed; the
    // daemon's command gives none.
    const Picture still = Render(std::to_string(kWidth) + "x" + std::to_string(kHeight), 1, 0, "--picture-size fill");
    const Rect strip = FilledStrip();
    const Window root = DefaultRootWindow(server.display);
    const Difference shown = WaitForPicture(server.display, root, 0, 0, still, 0, strip, kStartMs);
    const std::string log = ChildErrors(daemon);
    // The daemon names the command it found for the theme in its list.
    EXPECT_NE(log.find("zarvo --stored-settings"), std::string::npos)
        << "expected the daemon to find Zarvo's entry among its themes; its log on the job:\n"
        << JobLines(log);
    ASSERT_EQ(shown.count, 0) << "outside the strip, with the stored picture size (fill): " << Describe(shown)
                              << "\nthe daemon's log on the job:\n"
                              << JobLines(log);
    Picture first;
    ASSERT_TRUE(CaptureWindow(server.display, root, strip.x, strip.y, strip.width, strip.height, &first));
    const Difference moved = WaitForChange(server.display, root, strip, first, 5000);
    EXPECT_GT(moved.count, 0) << "expected the strip to change between screenshots";
    printf("mate-screensaver showed Zarvo %lld ms after the test began\n", static_cast<long long>(NowMs() - started));
}

}  // namespace
