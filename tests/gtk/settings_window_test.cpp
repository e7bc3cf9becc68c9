// zarvo-settings itself, under Xvfb and under a headless sway: its title, its
// preview against zarvo-render, a slider moved by keys and stored by Save as
// zarvo --save stores it, Cancel, and a damaged record.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "captures.h"
#include "sway.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return file ? bytes.str() : "(none)";
}

// Where `part` lies in `whole` exactly; {-1, -1} when nowhere.
Rect Find(const Picture& whole, const Picture& part) {
    for (int y = 0; y + part.height <= whole.height; ++y) {
        for (int x = 0; x + part.width <= whole.width; ++x) {
            int row = 0;
            while (row < part.height &&
                   std::equal(part.pixels.begin() + row * part.width, part.pixels.begin() + (row + 1) * part.width,
                              whole.pixels.begin() + (y + row) * whole.width + x)) {
                ++row;
            }
            if (row == part.height) return {x, y, part.width, part.height};
        }
    }
    return {-1, -1, 0, 0};
}

// The preview zarvo-settings shows for this seed after `ticks` frames.
Picture RenderPreview(int seed, int ticks, const std::string& home) {
    const std::string out = MakeTempDir("render") + "/preview.png";
    Picture picture;
    EXPECT_EQ(RunProgram({ZARVO_RENDER, "--size", "320x240", "--scale-down", "--seed", std::to_string(seed), "--ticks",
                          std::to_string(ticks), "--out", out},
                         "", {"XDG_CONFIG_HOME=" + home}, 60000),
              0);
    EXPECT_TRUE(ReadPng(out, &picture));
    return picture;
}

// One display server, X11 or Wayland, with what a test does on it.
class SettingsWindowTest : public testing::TestWithParam<const char*> {
  protected:
    XServer x;
    Sway sway;
    Child settings;
    std::string home;

    bool Wayland() const { return std::string(GetParam()) == "sway"; }

    void SetUp() override {
        if (Wayland()) {
            const std::string missing = SwayMissing();
            if (!missing.empty()) GTEST_SKIP() << missing;
            ASSERT_TRUE(StartSway("1024x768", &sway));
        } else {
            if (!HasProgram("xdotool")) GTEST_SKIP() << "xdotool is not installed";
            ASSERT_TRUE(StartXServer("1024x768x24", &x));
        }
        home = MakeTempDir("settings-home");
    }
    void TearDown() override {
        KillChild(&settings);
        StopSway(&sway);
        StopXServer(&x);
    }
    std::vector<std::string> Environment(const std::string& configHome) {
        std::vector<std::string> environment = {"XDG_CONFIG_HOME=" + configHome, "HOME=" + configHome, "GTK_A11Y=none",
                                                "XDG_CURRENT_DESKTOP="};
        if (!Wayland()) return environment;
        std::vector<std::string> client = SwayClientEnvironment(sway);
        client.erase(client.end() - 1);  // its own XDG_CONFIG_HOME
        environment.insert(environment.end(), client.begin(), client.end());
        return environment;
    }
    void Start(int seed, int ticks) {
        ASSERT_TRUE(SpawnChild({ZARVO_SETTINGS, "--seed", std::to_string(seed), "--still-after", std::to_string(ticks)},
                               Wayland() ? "" : x.name, Environment(home), &settings));
    }
    int Capture(Picture* picture) {
        if (Wayland()) return CaptureOutput(sway, "HEADLESS-1", picture);
        return CaptureWindow(x.display, DefaultRootWindow(x.display), 0, 0, 1024, 768, picture);
    }
    // 1 when a window of this title is shown.
    int HasTitle(const char* title) {
        if (!Wayland()) return WaitForWindowNamed(x.display, title, 20000) != None;
        const std::string check = std::string("swaymsg -t get_tree | grep -q '\"name\": \"") + title + "\"'";
        for (int64_t deadline = NowMs() + 20000; NowMs() < deadline; SleepMs(100)) {
            if (RunProgram({"sh", "-c", check}, "", SwayClientEnvironment(sway), 10000) == 0) return 1;
        }
        return 0;
    }
    // Waits until the screen shows `expected`; where, or x -1.
    Rect WaitFor(const Picture& expected) {
        Rect found = {-1, -1, 0, 0};
        for (int64_t deadline = NowMs() + 20000; found.x < 0 && NowMs() < deadline; SleepMs(200)) {
            Picture screen;
            if (Capture(&screen)) found = Find(screen, expected);
        }
        return found;
    }
    // XKB names ("Right", "alt+s") for either server.
    void Keys(const std::vector<std::string>& keys) {
        for (const std::string& key : keys) {
            if (!Wayland()) {
                // Focused first, then typed through XTEST: a key that closes
                // the window must not be sent to a window that is gone.
                const std::string focus = "xdotool search --name '^Zarvo Settings$' windowfocus --sync";
                EXPECT_EQ(RunProgram({"sh", "-c", focus}, x.name, {}, 10000), 0) << key;
                EXPECT_EQ(RunProgram({"xdotool", "key", key}, x.name, {}, 10000), 0) << key;
            } else if (key.rfind("alt+", 0) == 0) {
                EXPECT_EQ(RunProgram({"wtype", "-M", "alt", "-k", key.substr(4), "-m", "alt"}, "",
                                     SwayClientEnvironment(sway), 10000),
                          0);
            } else {
                EXPECT_TRUE(SendKey(sway, key.c_str()));
            }
            SleepMs(300);
        }
    }
    int WaitForExit() {
        int status = 0;
        if (!WaitChild(&settings, 15000, &status)) return -1;
        settings.pid = 0;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
    }
};

TEST_P(SettingsWindowTest, OpensWithThePreviewAndSavesAKeyedValueAsZarvoSaveDoes) {
    Start(5, 3);
    ASSERT_TRUE(HasTitle("Zarvo Settings"));
    const Rect preview = WaitFor(RenderPreview(5, 3, home));
    EXPECT_GE(preview.x, 0) << "the preview never equalled zarvo-render's 320x240 picture of seed 5 after 3 ticks";
    // Alt+S under X11, Enter (the default button) under sway.
    Keys({"Right", "Right", "Left", Wayland() ? "Return" : "alt+s"});
    EXPECT_EQ(WaitForExit(), 0) << ChildErrors(settings);
    const std::string expected = MakeTempDir("saved");
    ASSERT_EQ(
        RunProgram({ZARVO_PROGRAM, "--save", "--circle-speed", "101"}, "", {"XDG_CONFIG_HOME=" + expected}, 10000), 0);
    EXPECT_EQ(ReadFile(home + "/zarvo/Config"), ReadFile(expected + "/zarvo/Config"));
    EXPECT_EQ(ReadFile(home + "/zarvo/Display"), ReadFile(expected + "/zarvo/Display"));
}

TEST_P(SettingsWindowTest, DamagedRecordOpensAsDefaultsSayingSoAndCancelWritesNothing) {
    const std::string damaged(73, '\x07');
    std::filesystem::create_directories(home + "/zarvo");
    std::ofstream(home + "/zarvo/Config", std::ios::binary) << damaged;
    Start(9, 2);
    ASSERT_TRUE(HasTitle("Zarvo Settings"));
    EXPECT_GE(WaitFor(RenderPreview(9, 2, MakeTempDir("defaults"))).x, 0) << "the preview is not the defaults'";
    Keys({"Right", "Escape"});
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_NE(ChildErrors(settings).find("stored settings in " + home +
                                         "/zarvo/Config cannot be used (it holds more "
                                         "than 72 bytes); using the defaults"),
              std::string::npos)
        << ChildErrors(settings);
    EXPECT_EQ(ReadFile(home + "/zarvo/Config"), damaged);
    EXPECT_EQ(ReadFile(home + "/zarvo/Display"), "(none)");
}

INSTANTIATE_TEST_SUITE_P(Servers, SettingsWindowTest, testing::Values("xvfb", "sway"));

}  // namespace

namespace {

TEST(SettingsCommandLine, NoDisplayAndBadOptionsEndWithAMessage) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* message;
    } rows[] = {
        {{}, 1, "no display to open the window on"},
        {{"--seed", "-1"}, 2, "--seed"},
        {{"--still-after"}, 2, "lacks its value"},
        {{"--colour", "red"}, 2, "unknown option '--colour'"},
    };
    for (const auto& row : rows) {
        std::vector<std::string> args = {ZARVO_SETTINGS};
        args.insert(args.end(), row.args.begin(), row.args.end());
        std::string errors;
        EXPECT_EQ(RunProgram(args, "", {"DISPLAY=", "WAYLAND_DISPLAY=", "GTK_A11Y=none"}, 10000, &errors), row.status)
            << row.message;
        EXPECT_NE(errors.find(row.message), std::string::npos) << errors;
    }
}

}  // namespace
