// zarvo's command line as a user meets it: messages and exit statuses for bad
// options, --help, and --save over the stored settings (no display needed).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "harness.h"
#include "platform/services.h"
#include "settings/settings.h"

namespace {

const std::string kZarvo = ZARVO_PROGRAM;

int RunZarvo(std::vector<std::string> args, const std::string& config, std::string* errors,
             const std::string& screenSaverWindow = "") {
    args.insert(args.begin(), kZarvo);
    return RunProgram(args, "", {"XDG_CONFIG_HOME=" + config, "XSCREENSAVER_WINDOW=" + screenSaverWindow}, 10000,
                      errors);
}

TEST(CommandLine, BadOptionsGiveAClearMessageAndStatus2) {
    std::string config = MakeTempDir("cli");
    struct Case {
        std::vector<std::string> args;
        const char* named;  // what the message must mention
    } cases[] = {
        {{"--bogus"}, "--bogus"},
        {{"-redraw-speed", "fast"}, "fast"},
        {{"--redraw-speed"}, "--redraw-speed"},
        {{"--circle-walkers=12x"}, "12x"},
        {{"--geometry", "0x100"}, "0x100"},
        {{"--geometry", "640"}, "640"},
        {{"--geometry", "9000x100"}, "9000x100"},
        {{"--window-id", "0"}, "window id"},
        {{"--window-id", "-5"}, "-5"},
        {{"--window-id", "0xZZ"}, "0xZZ"},
        {{"--seed", "4294967296"}, "4294967296"},
        {{"--fullscreen", "--root"}, "exclude"},
        {{"stray"}, "stray"},
        {{"--walkway-speed", "--frames", "3"}, "--walkway-speed is missing its value (\"--frames\" after it"},
        {{"-seed"}, "--seed is missing its value"},
    };
    for (const Case& c : cases) {
        std::string errors;
        EXPECT_EQ(RunZarvo(c.args, config, &errors), 2) << "args: " << c.args[0];
        EXPECT_NE(errors.find("zarvo: "), std::string::npos) << "stderr: " << errors;
        EXPECT_NE(errors.find(c.named), std::string::npos)
            << "expected the message to name " << c.named << ", got: " << errors;
    }
    std::string errors;
    EXPECT_EQ(RunZarvo({}, config, &errors, "junk"), 2);
    EXPECT_NE(errors.find("XSCREENSAVER_WINDOW"), std::string::npos) << "stderr: " << errors;
}

// What a run warns of before it starts, each once: a value clamped into its
// range, and --monitors where it cannot act. No display is needed: the
// warnings come before the display is opened.
TEST(CommandLine, RunWarningsComeOnceBeforeTheDisplay) {
    const std::string config = MakeTempDir("warn");
    const std::string clamped = "zarvo: --walkway-speed -5 is outside 1 to 55; using 1\n";
    const std::string monitors = "zarvo: --monitors acts only with --fullscreen";
    struct Case {
        std::vector<std::string> args;
        std::string warning;  // "": none
    } cases[] = {
        {{"--walkway-speed", "-5"}, clamped},     {{"--walkway-speed=-5", "--walkway-speed", "-5"}, clamped},
        {{"--walkway-speed", "55"}, ""},          {{"--monitors", "primary"}, monitors},
        {{"--root", "--monitors=all"}, monitors}, {{"--fullscreen", "--monitors", "primary"}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--display", ":4699.7"});
        std::string errors;
        EXPECT_EQ(RunZarvo(args, config, &errors), 1) << args[0];
        const std::string before = errors.substr(0, errors.find("zarvo: cannot open display"));
        if (c.warning.empty()) {
            EXPECT_EQ(before, "") << args[0];
            continue;
        }
        const size_t at = before.find(c.warning);
        EXPECT_NE(at, std::string::npos) << args[0] << ": " << errors;
        EXPECT_EQ(before.find(c.warning, at + 1), std::string::npos) << "warned twice: " << errors;
    }
}

TEST(CommandLine, HelpListsEveryOptionWithItsRangeAndDefault) {
    std::string config = MakeTempDir("cli");
    std::string out = config + "/help.txt";
    // Standard output goes to /dev/null in children; the shell keeps it here.
    std::string command = kZarvo + " --help > " + out;
    ASSERT_EQ(system(command.c_str()), 0);
    FILE* file = fopen(out.c_str(), "r");
    ASSERT_NE(file, nullptr);
    std::string help;
    char buffer[4096];
    size_t got = 0;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) help.append(buffer, got);
    fclose(file);
    for (size_t at = 0, end; at < help.size(); at = end + 1) {
        end = help.find('\n', at);
        if (end == std::string::npos) end = help.size();
        EXPECT_LE(end - at, 80u) << "a line wider than 80 columns: " << help.substr(at, end - at);
    }
    const char* options[] = {"--show-settings", "--reset-settings", "--version",   "--frames", "--geometry",
                             "--fullscreen",    "--root",           "--window-id", "--save",   "--help",
                             "--picture-size",  "whole-multiples",  "--monitors",  "primary"};
    for (const char* option : options) {
        EXPECT_NE(help.find(option), std::string::npos) << "expected " << option << " in --help";
    }
    const char* settings[] = {"--circle-speed",    "--circle-walkers", "--walkway-speed",
                              "--walkway-walkers", "--redraw-speed",   "--seat-shuffle"};
    for (int i = 0; i < kSettingCount; ++i) {
        const Setting& s = kDefaultSettings.entries[i];
        std::string range =
            std::to_string(s.min) + " to " + std::to_string(s.max) + ", default " + std::to_string(s.value);
        size_t at = help.find(settings[i]);
        ASSERT_NE(at, std::string::npos) << "expected " << settings[i] << " in --help";
        const std::string block = help.substr(at, help.find("\n  --", at) - at);
        EXPECT_NE(block.find(range), std::string::npos)
            << "expected \"" << range << "\" under " << settings[i] << ", got \"" << block << "\"";
    }
}

SettingsRecord ReadStored(const std::string& config) {
    SettingsRecord record = kDefaultSettings;
    uint8_t bytes[kSettingsRecordSize + 1];
    FILE* file = fopen((config + "/zarvo/Config").c_str(), "rb");
    EXPECT_NE(file, nullptr) << "expected a settings file in " << config;
    if (!file) return record;
    size_t size = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    EXPECT_EQ(size, kSettingsRecordSize);
    EXPECT_EQ(DecodeSettings(bytes, size, &record), 1);
    return record;
}

TEST(CommandLine, SaveStoresClampedValuesOverTheStoredOnes) {
    std::string config = MakeTempDir("save");
    std::string errors;
    ASSERT_EQ(RunZarvo({"--redraw-speed", "500", "-seat-shuffle=50", "--save"}, config, &errors), 0) << errors;
    EXPECT_NE(errors.find("--seat-shuffle 50 is outside 100 to 600; stored 100"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("using"), std::string::npos) << "--save warned as a run: " << errors;
    SettingsRecord first = ReadStored(config);
    EXPECT_EQ(first.entries[RedrawSpeed].value, 120) << "expected 500 clamped to 120";
    EXPECT_EQ(first.entries[SeatShuffle].value, 100) << "expected 50 clamped to 100";
    EXPECT_EQ(first.entries[CircleSpeed].value, kDefaultSettings.entries[CircleSpeed].value);
    ASSERT_EQ(RunZarvo({"--walkway-speed", "7", "--save"}, config, &errors), 0) << errors;
    SettingsRecord second = ReadStored(config);
    EXPECT_EQ(second.entries[IsleSpeed].value, 7);
    EXPECT_EQ(second.entries[RedrawSpeed].value, 120) << "expected the stored value to stay";
    EXPECT_EQ(second.entries[RedrawSpeed].min, 0);
    EXPECT_EQ(second.entries[RedrawSpeed].max, 120);

    // The display settings go beside the record, each kept until given again.
    ASSERT_EQ(RunZarvo({"--picture-size", "fill", "--save"}, config, &errors), 0) << errors;
    ASSERT_EQ(RunZarvo({"--monitors=primary", "--save"}, config, &errors), 0) << errors;
    const DisplaySettings display = ReadDisplaySettingsFrom((config + "/zarvo/Display").c_str());
    EXPECT_EQ(display.pictureSize, kPictureFit);
    EXPECT_EQ(display.monitors, kMonitorsPrimary);
    EXPECT_EQ(ReadStored(config).entries[IsleSpeed].value, 7);

    // A settings folder that cannot be made is reported, not ignored.
    std::string blocked = MakeTempDir("blocked") + "/file";
    FILE* file = fopen(blocked.c_str(), "w");
    ASSERT_NE(file, nullptr);
    fclose(file);
    EXPECT_EQ(RunZarvo({"--redraw-speed", "9", "--save"}, blocked, &errors), 1);
    EXPECT_NE(errors.find("could not store the settings"), std::string::npos) << "stderr: " << errors;
}

// A record or display settings file that cannot be used is named on
// standard error, and --reset-settings removes what --save stored.
TEST(CommandLine, UnusableStoredSettingsAreReportedAndResetRemovesThem) {
    const std::string config = MakeTempDir("stored");
    std::string errors;
    ASSERT_EQ(RunZarvo({"--picture-size=fill", "--save"}, config, &errors), 0) << errors;
    EXPECT_EQ(errors, "");
    const struct {
        std::string bytes;
        const char* problem;
    } cases[] = {
        {std::string(73, '\0'), "more than 72 bytes"},
        {"", "empty"},
        {std::string(16, '\0') + std::string(4, '\x7f'), "outside its range"},
        {std::string("\x14\0\0\0\x96\0\0\0\xe7\x03\0\0", 12), "outside its range"},  // 20, 150, 999
    };
    for (const auto& c : cases) {
        FILE* file = fopen((config + "/zarvo/Config").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        fwrite(c.bytes.data(), 1, c.bytes.size(), file);
        fclose(file);
        EXPECT_EQ(RunZarvo({"--show-settings"}, config, &errors), 0);
        EXPECT_NE(errors.find("cannot be used ("), std::string::npos) << c.problem << ": " << errors;
        EXPECT_NE(errors.find(c.problem), std::string::npos) << errors;
    }
    // The display settings' file likewise, once a run; lines of names it does
    // not know are left for later versions.
    const struct {
        std::string bytes;
        const char* problem;  // null: none
    } displayCases[] = {
        {"picture-size=huge\nmonitors=all\n", "not one of its names"},
        {std::string(4097, '\n'), "more than 4096 bytes"},
        {"", "empty"},
        {std::string("monitors=all\n\0", 14), "not text"},
        {"a-later-setting=on\npicture-size=fill\n", nullptr},
    };
    remove((config + "/zarvo/Config").c_str());
    for (const auto& c : displayCases) {
        for (const char* run : {"--show-settings", "--save"}) {
            FILE* file = fopen((config + "/zarvo/Display").c_str(), "wb");
            ASSERT_NE(file, nullptr);
            fwrite(c.bytes.data(), 1, c.bytes.size(), file);
            fclose(file);
            EXPECT_EQ(RunZarvo({run}, config, &errors), 0) << errors;
            if (c.problem == nullptr) {
                EXPECT_EQ(errors, "") << run;
                continue;
            }
            const size_t at = errors.find("stored display settings in");
            EXPECT_NE(at, std::string::npos) << run << ", " << c.problem << ": " << errors;
            EXPECT_EQ(errors.find("stored display settings in", at + 1), std::string::npos) << "twice: " << errors;
            EXPECT_NE(errors.find(c.problem), std::string::npos) << run << ": " << errors;
        }
    }
    EXPECT_EQ(RunZarvo({"--reset-settings"}, config, &errors), 0) << errors;
    for (const char* name : {"/zarvo/Config", "/zarvo/Display"}) {
        EXPECT_EQ(fopen((config + name).c_str(), "rb"), nullptr) << name << " is still there";
    }
}

TEST(CommandLine, NoDisplayIsReportedWithStatus1) {
    std::string errors;
    std::vector<std::string> args = {kZarvo, "--display", ":4699.7"};
    EXPECT_EQ(RunProgram(args, "", {"XDG_CONFIG_HOME=" + MakeTempDir("nodisplay")}, 10000, &errors), 1);
    EXPECT_NE(errors.find("cannot open display \":4699.7\""), std::string::npos) << "stderr: " << errors;
    EXPECT_EQ(RunProgram({kZarvo}, "", {"XDG_CONFIG_HOME=" + MakeTempDir("nodisplay"), "DISPLAY="}, 10000, &errors), 1);
    EXPECT_NE(errors.find("DISPLAY is not set"), std::string::npos) << "stderr: " << errors;
}

}  // namespace
