// Parsing of zarvo's options: both dash forms, values, clamping, window ids
// and the XScreenSaver window from the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "../settings/config_folder.h"
#include "platform/services.h"
#include "app/options.h"
#include "app/stored_settings.h"

namespace {

struct Parsed {
    int ok;
    ZarvoOptions options;
    char error[256];
};

Parsed Parse(const std::vector<const char*>& args) {
    std::vector<char*> argv = {const_cast<char*>("zarvo")};
    for (const char* arg : args) argv.push_back(const_cast<char*>(arg));
    Parsed parsed{};
    parsed.ok =
        ParseOptions(static_cast<int>(argv.size()), argv.data(), &parsed.options, parsed.error, sizeof parsed.error);
    return parsed;
}

TEST(Options, NoArgumentsGiveA1024x768WindowAndNoSettings) {
    Parsed p = Parse({});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.mode, kModeWindow);
    EXPECT_EQ(p.options.width, 1024);
    EXPECT_EQ(p.options.height, 768);
    EXPECT_EQ(p.options.frameLimit, -1);
    for (int i = 0; i < kSettingCount; ++i) EXPECT_FALSE(p.options.settings.given[i]) << i;
}

TEST(Options, OneOrTwoDashesAndValuesAfterASpaceOrEquals) {
    for (auto args : {std::vector<const char*>{"-geometry", "640x480", "-redraw-speed", "40"},
                      std::vector<const char*>{"--geometry=640x480", "--redraw-speed=40"}}) {
        const Parsed p = Parse(args);
        ASSERT_TRUE(p.ok) << p.error;
        const ZarvoOptions& options = p.options;
        EXPECT_EQ(options.width, 640);
        EXPECT_EQ(options.height, 480);
        EXPECT_TRUE(options.settings.given[RedrawSpeed]);
        EXPECT_EQ(options.settings.value[RedrawSpeed], 40);
    }
}

TEST(Options, SettingValuesAreClampedToTheBuiltInRanges) {
    struct Case {
        const char* option;
        const char* value;
        int index;
        int expected;
    } cases[] = {
        {"--circle-speed", "5", CircleSpeed, 20},
        {"--circle-speed", "151", CircleSpeed, 150},
        {"--circle-walkers", "-7", CircleWalkers, 30},
        {"--walkway-speed", "55", IsleSpeed, 55},
        {"--walkway-walkers", "1000", IsleWalkers, 100},
        {"--redraw-speed", "0", RedrawSpeed, 0},
        {"--redraw-speed", "121", RedrawSpeed, 120},
        {"--seat-shuffle", "600", SeatShuffle, 600},
        {"--seat-shuffle", "99", SeatShuffle, 100},
        {"--walkway-walkers", "99999999999999", IsleWalkers, 100},
        {"--walkway-walkers", "-99999999999999999999999", IsleWalkers, 5},
    };
    for (const Case& c : cases) {
        Parsed p = Parse({c.option, c.value});
        ASSERT_TRUE(p.ok) << c.option << " " << c.value << ": " << p.error;
        EXPECT_EQ(p.options.settings.value[c.index], c.expected)
            << c.option << " " << c.value << ": expected " << c.expected << ", got "
            << p.options.settings.value[c.index];
    }
}

TEST(Options, SettingOptionsReplaceOnlyTheGivenValues) {
    Parsed p = Parse({"--walkway-walkers", "77"});
    ASSERT_TRUE(p.ok) << p.error;
    SettingsRecord record = kDefaultSettings;
    record.entries[CircleWalkers].value = 99;  // as if stored
    ApplySettingOptions(&p.options, &record);
    EXPECT_EQ(record.entries[IsleWalkers].value, 77);
    EXPECT_EQ(record.entries[CircleWalkers].value, 99);
    EXPECT_EQ(record.entries[IsleWalkers].min, kDefaultSettings.entries[IsleWalkers].min);
}

// Each given display option replaces its stored value; the other stays.
TEST(Options, DisplayOptionsReplaceOnlyTheGivenValues) {
    struct Case {
        std::vector<const char*> args;
        DisplaySettings expected;
    };
    const DisplaySettings stored = {kPictureCover, kMonitorsPrimary};
    const Case cases[] = {
        {{}, stored},
        {{"--picture-size", "centred"}, {kPictureCentred, kMonitorsPrimary}},
        {{"--picture-size", "fill"}, {kPictureFit, kMonitorsPrimary}},
        {{"--picture-size=fit", "--picture-size=cover"}, stored},
        {{"-picture-size=whole-multiples", "--monitors", "all"}, {kPictureWholeMultiples, kMonitorsAll}},
        {{"--monitors=all", "--monitors=primary"}, stored},
    };
    for (const Case& c : cases) {
        const Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        DisplaySettings display = stored;
        ApplyDisplayOptions(&p.options, &display);
        EXPECT_EQ(display.pictureSize, c.expected.pictureSize) << c.args.size() << " arguments";
        EXPECT_EQ(display.monitors, c.expected.monitors) << c.args.size() << " arguments";
    }
}

TEST(Options, BadValuesAndUnknownOptionsAreRefusedWithAMessage) {
    const std::vector<std::vector<const char*>> bad = {
        {"--nonsense"},
        {"--redraw-speed"},
        {"--redraw-speed", ""},
        {"--redraw-speed", "1.5"},
        {"--redraw-speed", "4 "},
        {"--redraw-speed", " 4"},
        {"--redraw-speed", "+4"},
        {"--circle-walkers", "- 7"},
        {"--geometry", "x480"},
        {"--geometry", "640x"},
        {"--geometry", "-640x480"},
        {"--geometry", "8193x10"},
        {"--geometry", "10x8193"},
        {"--geometry", "0x10"},
        {"--geometry", "10x0"},
        {"--geometry", "=640x480"},
        {"--geometry", "640X480"},
        {"--geometry", "4294967297x1"},
        {"--geometry", "640x480-10-20"},
        {"--frames", "-1"},
        {"--frames", "+5"},
        {"--frames", " 5"},
        {"--seed", "-1"},
        {"--window-id", "7", "--fullscreen"},
        {"--fullscreen", "--root"},
        {"-fullscreen", "-window-id", "7"},
        {"plain"},
        {"-"},
        {"--=5"},
        {"--a-very-long-option-name-that-exceeds-the-buffer=1"},
        {"--help=yes"},
        {"--picture-size", "Fill"},
        {"--picture-size", ""},
        {"--picture-size", "fill "},
        {"--monitors", "second"},
        {"--monitors"},
        {"--save=1"},
        {"-version="},
        {"--frames", "1000001"},
        {"--still-after", "99999999999999999999"},
        {"--idle", "1.5"},
        {"--idle", "60", "--root"},
        {"--window-id", "7", "--idle", "60"},
    };
    for (const auto& args : bad) {
        std::vector<char*> argv = {const_cast<char*>("zarvo")};
        for (const char* arg : args) argv.push_back(const_cast<char*>(arg));
        ZarvoOptions options;
        char error[256] = "";
        std::string line;
        for (const char* arg : args) line += std::string(" \"") + arg + "\"";
        EXPECT_FALSE(ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, error, sizeof error))
            << "expected" << line << " to be refused";
        EXPECT_NE(error[0], '\0') << "expected a message for" << line;
    }
}

TEST(Options, ModesAndTestOptions) {
    Parsed full =
        Parse({"--fullscreen", "--no-shm", "--seed", "4294967295", "--frames", "0", "-still-after=7", "--version"});
    ASSERT_TRUE(full.ok) << full.error;
    EXPECT_EQ(full.options.mode, kModeFullScreen);
    EXPECT_TRUE(full.options.noShm);
    EXPECT_EQ(full.options.seed, 4294967295u);
    EXPECT_EQ(full.options.frameLimit, 0);
    EXPECT_EQ(full.options.stillAfter, 7);
    EXPECT_TRUE(full.options.version);
    for (auto idle : {std::pair<const char*, int>{"-5", 1}, {"86400", 86400}, {"99999999999", 86400}}) {
        const Parsed watcher = Parse({"--idle", idle.first});
        EXPECT_TRUE(watcher.ok && watcher.options.mode == kModeFullScreen) << idle.first;
        EXPECT_EQ(watcher.options.idleSeconds, idle.second) << idle.first;
        EXPECT_EQ(watcher.options.idleClamped, idle.first[0] != '8') << idle.first;
    }
    Parsed window = Parse({"-window-id", "0x1e00007"});
    ASSERT_TRUE(window.ok) << window.error;
    EXPECT_EQ(window.options.mode, kModePreview);
    EXPECT_EQ(window.options.windowId, 0x1e00007ul);
    for (auto sides : {std::pair<const char*, int>{"1x1", 1}, {"8192x8192", 8192}}) {
        Parsed limit = Parse({"--geometry", sides.first});
        ASSERT_TRUE(limit.ok) << sides.first << ": " << limit.error;
        EXPECT_EQ(limit.options.width, sides.second);
        EXPECT_EQ(limit.options.height, sides.second);
    }
    Parsed placed = Parse({"--geometry", "800x600+10+20", "--save", "-h"});
    ASSERT_TRUE(placed.ok) << placed.error;
    EXPECT_TRUE(placed.options.positionGiven);
    EXPECT_EQ(placed.options.x, 10);
    EXPECT_EQ(placed.options.y, 20);
    EXPECT_TRUE(placed.options.save);
    EXPECT_TRUE(placed.options.help);
}

TEST(Options, WindowIdWinsOverRootInEitherOrderDashFormAndEnvironment) {
    const std::vector<std::vector<const char*>> forms = {
        {"--root", "--window-id", "0x1e00007"},
        {"-root", "-window-id", "0x1e00007"},
        {"--window-id=31457287", "--root"},
        {"-window-id", "0x1e00007", "-root", "--root"},
    };
    for (const auto& args : forms) {
        for (const char* environment : {"", "0x400001"}) {
            std::vector<char*> argv = {const_cast<char*>("zarvo")};
            std::string line;
            for (const char* arg : args) {
                argv.push_back(const_cast<char*>(arg));
                line += std::string(" ") + arg;
            }
            SCOPED_TRACE(line + " with XSCREENSAVER_WINDOW=" + environment);
            ZarvoOptions options;
            char error[256] = "";
            ASSERT_TRUE(ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, error, sizeof error) &&
                        ApplyScreenSaverWindow(&options, environment, error, sizeof error))
                << error;
            EXPECT_EQ(options.mode, kModePreview);
            EXPECT_EQ(options.windowId, 0x1e00007ul);
        }
    }
}

TEST(WindowId, DecimalOrHexWithinTheResourceIdBits) {
    unsigned long id = 0;
    EXPECT_TRUE(ParseWindowId("12345", &id));
    EXPECT_EQ(id, 12345ul);
    EXPECT_TRUE(ParseWindowId("0X1FFFFFFF", &id));
    EXPECT_EQ(id, 0x1FFFFFFFul);
    for (const char* bad :
         {"", "0", "0x", "0x0", "0x20000000", "-1", "+5", "0x-5", "12a", "0777x", "99999999999999999999999", " 5"}) {
        EXPECT_FALSE(ParseWindowId(bad, &id)) << "expected \"" << bad << "\" to be refused";
    }
}

TEST(ScreenSaverWindow, TheEnvironmentNamesTheWindowUnlessAModeSaysOtherwise) {
    char error[256];
    Parsed plain = Parse({});
    ASSERT_TRUE(ApplyScreenSaverWindow(&plain.options, "0x400001", error, sizeof error));
    EXPECT_EQ(plain.options.mode, kModePreview);
    EXPECT_EQ(plain.options.windowId, 0x400001ul);

    Parsed root = Parse({"--root"});
    ASSERT_TRUE(ApplyScreenSaverWindow(&root.options, "4194305", error, sizeof error));
    EXPECT_EQ(root.options.mode, kModePreview);
    EXPECT_EQ(root.options.windowId, 4194305ul);

    Parsed given = Parse({"--window-id", "77"});
    ASSERT_TRUE(ApplyScreenSaverWindow(&given.options, "0x400001", error, sizeof error));
    EXPECT_EQ(given.options.windowId, 77ul);

    Parsed full = Parse({"--fullscreen"});
    ASSERT_TRUE(ApplyScreenSaverWindow(&full.options, "0x400001", error, sizeof error));
    EXPECT_EQ(full.options.mode, kModeFullScreen);

    Parsed unset = Parse({});
    ASSERT_TRUE(ApplyScreenSaverWindow(&unset.options, "", error, sizeof error));
    EXPECT_EQ(unset.options.mode, kModeWindow);

    Parsed junk = Parse({});
    EXPECT_FALSE(ApplyScreenSaverWindow(&junk.options, "window", error, sizeof error));
}

// A private XDG_CONFIG_HOME for the stored files, gone after the test even
// when it fails half-way.
class StoredOptions : public ConfigFolderTest {
  protected:
    void SetUp() override {
        ConfigFolderTest::SetUp();
        setenv("XDG_CONFIG_HOME", directory.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_CONFIG_HOME");
        ConfigFolderTest::TearDown();
    }
};

}  // namespace

// XScreenSaver leaves out an option whose slider sits at its default, so its
// runs must not fall back on what an earlier --save stored; a run of its own,
// or one that asks with --stored-settings, keeps the stored settings. Each
// case: arguments, XSCREENSAVER_WINDOW.
TEST_F(StoredOptions, StoredSettingsServeOnlyRunsOfZarvosOwn) {
    SettingsRecord stored = kDefaultSettings;
    stored.entries[CircleWalkers].value = 125;
    stored.entries[IsleWalkers].value = 100;
    char path[4096];
    ASSERT_TRUE(SettingsFilePath(path, sizeof path));
    ASSERT_TRUE(WriteSettings(stored));
    ASSERT_TRUE(WriteDisplaySettings({kPictureFit, kMonitorsPrimary}));
    struct Case {
        std::vector<const char*> args;
        const char* envWindow;
        bool usesStored;
        PictureSize size;
    } cases[] = {
        {{}, nullptr, true, kPictureFit},
        {{"--fullscreen"}, nullptr, true, kPictureFit},
        {{"--geometry", "640x480"}, "", true, kPictureFit},
        {{"--background"}, nullptr, true, kPictureFit},
        {{}, "0x200001", false, kPictureCentred},
        {{"--root"}, nullptr, false, kPictureCentred},
        {{"--window-id", "0x400002"}, nullptr, false, kPictureCentred},
        {{"--root", "--window-id", "77"}, nullptr, false, kPictureCentred},
        {{"--fullscreen"}, "0x200001", false, kPictureCentred},
        // MATE's and XFCE's screen savers start their entry's fixed command.
        {{"--stored-settings"}, "0x200001", true, kPictureFit},
        {{"--root", "--stored-settings"}, nullptr, true, kPictureFit},
        // An XScreenSaver entry written before fill was called fit.
        {{"--root", "--picture-size", "fill"}, nullptr, false, kPictureFit},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        ASSERT_TRUE(ApplyScreenSaverWindow(&p.options, c.envWindow, p.error, sizeof p.error));
        p.options.settings.given[SeatShuffle] = 1;
        p.options.settings.value[SeatShuffle] = 300;
        SettingsRecord record;
        DisplaySettings display;
        ChooseSettings(&p.options, c.envWindow, &record, &display);
        const SettingsRecord& expected = c.usesStored ? stored : kDefaultSettings;
        const std::string label =
            std::to_string(c.args.size()) + " arguments, window " + (c.envWindow ? c.envWindow : "unset");
        EXPECT_EQ(record.entries[CircleWalkers].value, expected.entries[CircleWalkers].value) << label;
        EXPECT_EQ(record.entries[IsleWalkers].value, expected.entries[IsleWalkers].value) << label;
        EXPECT_EQ(record.entries[SeatShuffle].value, 300) << label << ": the command line wins";
        EXPECT_EQ(display.pictureSize, c.size) << label;
    }
}

// --background fills its outputs (cover) unless a picture size is given or
// stored, by name or old name; --save stores a picture size only when one
// was given or stored, so that saving other settings keeps it so.
TEST_F(StoredOptions, BackgroundCoversUnlessAPictureSizeIsGivenOrStored) {
    char path[4096];
    ASSERT_TRUE(DisplaySettingsFilePath(path, sizeof path));
    struct Case {
        const char* stored;  // the Display file; null: none
        std::vector<const char*> args;
        PictureSize size;
        bool storesPictureSize;  // a --save with these arguments writes one
    } cases[] = {
        {nullptr, {"--background"}, kPictureCover, false},
        {"monitors=primary\n", {"--background"}, kPictureCover, false},
        {"picture-size=centred\n", {"--background"}, kPictureCentred, true},
        {"picture-size=fill\n", {"--background"}, kPictureFit, true},
        {"picture-size=huge\n", {"--background"}, kPictureCover, false},
        {nullptr, {"--background", "--picture-size", "fill"}, kPictureFit, true},
        {nullptr, {"--fullscreen"}, kPictureCentred, false},
        {"picture-size=cover\n", {"--fullscreen"}, kPictureCover, true},
        {nullptr, {"--circle-speed", "50"}, kPictureCentred, false},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(path);
        if (c.stored) {
            std::filesystem::create_directories(std::filesystem::path(path).parent_path());
            FILE* file = fopen(path, "w");
            ASSERT_NE(file, nullptr);
            fputs(c.stored, file);
            fclose(file);
        }
        const std::string label =
            std::string(c.stored ? c.stored : "no file ") + std::to_string(c.args.size()) + " arguments, " + c.args[0];
        Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        SettingsRecord record;
        DisplaySettings display;
        const int stores = ChooseSettings(&p.options, nullptr, &record, &display);
        EXPECT_EQ(display.pictureSize, c.size) << label;
        ASSERT_EQ(SaveSettings(&p.options, record, display, stores), 0) << label;
        int names = -1;
        const DisplaySettings saved = ReadStoredDisplaySettings({kPictureCover, kMonitorsAll}, &names);
        EXPECT_EQ(names, c.storesPictureSize) << label << ": the saved file names a picture size";
        EXPECT_EQ(saved.pictureSize, c.storesPictureSize ? c.size : kPictureCover) << label;
    }
}

// The display protocol a run speaks: forced, else the Wayland compositor
// that answers, else X11; neither when WAYLAND_DISPLAY names nothing that
// answers and no X display is named.
TEST(Options, DisplayProtocolChoice) {
    struct Case {
        const char* what;
        std::vector<const char*> args;
        const char* wayland;
        int answers;
        const char* x11;
        int expected;
    };
    const Case cases[] = {
        {"a compositor that answers", {}, "wayland-1", 1, ":0", kProtocolWayland},
        {"--x11 over an answering compositor", {"--x11"}, "wayland-1", 1, ":0", kProtocolX11},
        {"--wayland without WAYLAND_DISPLAY", {"--wayland"}, nullptr, 0, ":0", kProtocolWayland},
        {"a silent compositor falls back to X11", {}, "wayland-9", 0, ":0", kProtocolX11},
        {"a silent compositor and no X display", {}, "wayland-9", 0, nullptr, kProtocolAuto},
        {"an empty X display counts as none", {}, "wayland-9", 0, "", kProtocolAuto},
        {"no WAYLAND_DISPLAY: X11, which names a missing DISPLAY", {}, nullptr, 0, nullptr, kProtocolX11},
        {"an empty WAYLAND_DISPLAY is unset", {}, "", 1, nullptr, kProtocolX11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << p.error;
        EXPECT_EQ(ChooseDisplayProtocol(p.options.protocol, c.wayland, c.answers, c.x11), c.expected);
    }
}

// --background and --layer: the layer taken, and the modes it excludes.
TEST(Options, BackgroundAndLayer) {
    struct Case {
        std::vector<const char*> args;
        int ok;
        int background;
        int layer;
        const char* error;  // a part of the message when refused
    };
    const Case cases[] = {
        {{"--background"}, 1, 1, 0, ""},
        {{"--background", "--layer", "bottom"}, 1, 1, 1, ""},
        {{"--layer=background", "-background"}, 1, 1, 0, ""},
        {{"--layer", "top"}, 0, 0, 0, "--layer needs background or bottom"},
        {{"--background", "--fullscreen"}, 0, 0, 0, "--background excludes"},
        {{"--root", "--background"}, 0, 0, 0, "--background excludes"},
        {{"--background", "--window-id", "0x200"}, 0, 0, 0, "--background excludes"},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        SCOPED_TRACE(c.args.front());
        ASSERT_EQ(p.ok, c.ok) << p.error;
        if (!c.ok) {
            EXPECT_NE(std::string(p.error).find(c.error), std::string::npos) << p.error;
            continue;
        }
        EXPECT_EQ(p.options.background, c.background);
        EXPECT_EQ(p.options.layer, c.layer);
    }
}
