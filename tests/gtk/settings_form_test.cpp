// The settings window's parts that need no display: the form over the
// stored files, its full-screen command, and the idle start's entry and
// line per desktop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "../settings/config_folder.h"
#include "app/options.h"
#include "app/stored_settings.h"
#include "gtk/idle_start.h"
#include "gtk/settings_form.h"

namespace {

class SettingsWindowParts : public ConfigFolderTest {
  protected:
    void SetUp() override {
        ConfigFolderTest::SetUp();
        setenv("XDG_CONFIG_HOME", directory.c_str(), 1);
    }
    std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::stringstream bytes;
        bytes << file.rdbuf();
        return file ? bytes.str() : "(none)";
    }
};

TEST_F(SettingsWindowParts, EachDesktopGetsItsRouteAndLine) {
    const struct {
        const char* desktop;
        int wayland;
        IdleRoute route;
        const char* line;
    } rows[] = {
        {"KDE", 1, kIdleAutostart, "zarvo --idle 300"},
        {"ubuntu:GNOME", 1, kIdleUnavailable, "zarvo --idle 300"},
        {"X-Cinnamon:xfce", 1, kIdleAutostart, "zarvo --idle 300"},
        {"sway", 1, kIdlePasteLine, "exec zarvo --idle 300"},
        {"Hyprland", 1, kIdlePasteLine, "exec-once = zarvo --idle 300"},
        {"niri", 1, kIdlePasteLine, "spawn-at-startup \"zarvo\" \"--idle\" \"300\""},
        {"river", 1, kIdlePasteLine, "riverctl spawn \"zarvo --idle 300\""},
        {"swayfx", 1, kIdlePasteLine, "zarvo --idle 300"},
        {nullptr, 1, kIdlePasteLine, "zarvo --idle 300"},
        {"MATE", 0, kIdleX11, "zarvo --idle 300"},
    };
    for (const auto& row : rows) {
        const IdleDesktop desktop = IdleDesktopOf(row.desktop, row.wayland);
        EXPECT_EQ(desktop.route, row.route) << (row.desktop ? row.desktop : "(unset)");
        EXPECT_EQ(IdlePasteLine(desktop, 300), row.line) << (row.desktop ? row.desktop : "(unset)");
    }
}

TEST_F(SettingsWindowParts, AutostartEntryIsWrittenReadAndRemovedButNeverAnotherOne) {
    const std::string path = directory + "/autostart/zarvo-idle.desktop";
    std::string error;
    ASSERT_TRUE(StoreAutostart(600, &error)) << error;
    EXPECT_EQ(Read(path), AutostartEntry(600));
    EXPECT_EQ(StoredAutostartSeconds(), 600);
    ASSERT_TRUE(StoreAutostart(0, &error)) << error;
    EXPECT_EQ(Read(path), "(none)");
    EXPECT_TRUE(StoreAutostart(0, &error)) << "removing none is no failure";
    const std::string theirs = "[Desktop Entry]\nExec=zarvo --idle 60\n# X-Zarvo-Idle=true\n";
    std::ofstream(path) << theirs;
    EXPECT_EQ(StoredAutostartSeconds(), 0);
    EXPECT_FALSE(StoreAutostart(120, &error));
    EXPECT_FALSE(StoreAutostart(0, &error));
    EXPECT_NE(error.find("not Zarvo's"), std::string::npos) << error;
    EXPECT_EQ(Read(path), theirs);
}

TEST_F(SettingsWindowParts, DamagedFilesOpenAsDefaultsSayingSoAndStayUntouched) {
    const std::string record(73, '\x01');
    WriteFile("Config", record.data(), record.size());
    WriteFile("Display", "picture-size=huge\n", 18);
    const SettingsForm form = LoadSettingsForm();
    EXPECT_EQ(memcmp(&form.record, &kDefaultSettings, sizeof form.record), 0);
    EXPECT_EQ(form.display.pictureSize, kDefaultDisplaySettings.pictureSize);
    EXPECT_EQ(form.note.find('\n'), std::string::npos) << "one line";
    EXPECT_NE(form.note.find("The stored settings in " + directory + "/zarvo/Config cannot be used (it holds more"),
              std::string::npos)
        << form.note;
    EXPECT_NE(form.note.find("display settings in " + directory + "/zarvo/Display"), std::string::npos) << form.note;
    EXPECT_EQ(Read(directory + "/zarvo/Config"), record);
    EXPECT_EQ(Read(directory + "/zarvo/Display"), "picture-size=huge\n");
}

// Save names a picture size as --save does: when the window changed it or
// the stored file named one; else the file leaves it out, so that
// --background keeps covering its outputs.
TEST_F(SettingsWindowParts, SaveStoresAPictureSizeOnlyWhenChangedOrAlreadyStored) {
    const struct {
        const char* stored;
        PictureSize chosen;
        int names;
    } rows[] = {{"", kPictureCentred, 0}, {"", kPictureFit, 1}, {"picture-size=cover\n", kPictureCover, 1}};
    for (const auto& row : rows) {
        WriteFile("Display", row.stored, strlen(row.stored));
        SettingsForm form = LoadSettingsForm();
        form.display.pictureSize = row.chosen;
        ASSERT_EQ(SaveSettingsForm(form), 0) << row.chosen;
        int names = -1;
        const DisplaySettings saved = ReadStoredDisplaySettings({kPictureCover, kMonitorsAll}, &names);
        EXPECT_EQ(names, row.names) << row.chosen;
        EXPECT_EQ(saved.pictureSize, row.names ? row.chosen : kPictureCover) << row.chosen;
    }
}

TEST_F(SettingsWindowParts, ValuesAreClampedAndTheFullScreenCommandCarriesThemAll) {
    SettingsForm form = LoadSettingsForm();
    EXPECT_EQ(form.note, "");
    const struct {
        int index;
        long value, kept;
    } rows[] = {{CircleSpeed, 151, 150}, {CircleWalkers, 29, 30}, {IsleSpeed, 7, 7},
                {IsleWalkers, -5, 5},    {RedrawSpeed, 120, 120}, {SeatShuffle, 1L << 40, 600}};
    for (const auto& row : rows) {
        SetFormValue(&form, row.index, row.value);
        EXPECT_EQ(form.record.entries[row.index].value, row.kept) << row.index;
    }
    form.display = {kPictureCover, kMonitorsPrimary};
    std::vector<std::string> command = FullScreenCommand(form, "/opt/zarvo");
    std::vector<char*> argv;
    for (std::string& part : command) argv.push_back(part.data());
    ZarvoOptions options{};
    char error[256] = "";
    ASSERT_TRUE(ParseOptions(static_cast<int>(argv.size()), argv.data(), &options, error, sizeof error)) << error;
    EXPECT_EQ(options.mode, kModeFullScreen);
    SettingsRecord given = kDefaultSettings;
    ApplySettingOptions(&options, &given);
    EXPECT_EQ(memcmp(&given, &form.record, sizeof given), 0);
    DisplaySettings display = kDefaultDisplaySettings;
    ApplyDisplayOptions(&options, &display);
    EXPECT_EQ(display.pictureSize, kPictureCover);
    EXPECT_EQ(display.monitors, kMonitorsPrimary);
}

}  // namespace
