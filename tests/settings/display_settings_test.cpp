// The display settings: their names, the text form read from any bytes, and
// the store beside the settings record (a file, or two registry values).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/services.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "tests/settings/config_folder.h"
#endif

namespace {

const DisplaySettings kEveryCombination[] = {
    {kPictureCentred, kMonitorsAll},
    {kPictureCentred, kMonitorsPrimary},
    {kPictureWholeMultiples, kMonitorsAll},
    {kPictureWholeMultiples, kMonitorsPrimary},
    {kPictureFit, kMonitorsAll},
    {kPictureFit, kMonitorsPrimary},
    {kPictureCover, kMonitorsAll},
    {kPictureCover, kMonitorsPrimary},
};

std::string Describe(const DisplaySettings& s) {
    return std::to_string(s.pictureSize) + "/" + std::to_string(s.monitors);
}

void ExpectSettings(const DisplaySettings& got, const DisplaySettings& expected, const std::string& what) {
    EXPECT_EQ(Describe(got), Describe(expected)) << what;
}

// The names, the old name fill (read as fit, written as fit), and the
// stored numbers 0 to 3 (fill's 2 stays fit's).
TEST(DisplaySettingsTest, NamesParseExactlyAndUnknownNumbersGiveDefaults) {
    struct {
        const char* text;
        int known;
        PictureSize size;
        const char* name;
    } sizes[] = {{"centred", 1, kPictureCentred, "centred"},
                 {"whole-multiples", 1, kPictureWholeMultiples, "whole-multiples"},
                 {"fit", 1, kPictureFit, "fit"},
                 {"cover", 1, kPictureCover, "cover"},
                 {"fill", 1, kPictureFit, "fit"},
                 {"Fill", 0, kPictureCentred, nullptr},
                 {"fil", 0, kPictureCentred, nullptr},
                 {"fill ", 0, kPictureCentred, nullptr},
                 {"", 0, kPictureCentred, nullptr},
                 {"2", 0, kPictureCentred, nullptr}};
    for (const auto& c : sizes) {
        PictureSize size = kPictureCentred;
        EXPECT_EQ(ParsePictureSize(c.text, std::strlen(c.text), &size), c.known) << '"' << c.text << '"';
        EXPECT_EQ(size, c.size) << '"' << c.text << '"';
        if (c.known) {
            EXPECT_STREQ(PictureSizeName(c.size), c.name);
        }
    }
    MonitorChoice monitors = kMonitorsAll;
    EXPECT_EQ(ParseMonitorChoice("primary", 7, &monitors), 1);
    EXPECT_EQ(monitors, kMonitorsPrimary);
    EXPECT_EQ(ParseMonitorChoice("primary", 6, &monitors), 0) << "only the given length counts";
    EXPECT_EQ(ParseMonitorChoice(nullptr, 3, &monitors), 0);
    EXPECT_STREQ(MonitorChoiceName(kMonitorsAll), "all");

    const struct {
        int64_t size, monitors;
        DisplaySettings expected;
    } numbers[] = {{0, 0, {kPictureCentred, kMonitorsAll}},           {2, 1, {kPictureFit, kMonitorsPrimary}},
                   {1, 2, {kPictureWholeMultiples, kMonitorsAll}},    {3, 1, {kPictureCover, kMonitorsPrimary}},
                   {4, 1, {kPictureCentred, kMonitorsPrimary}},       {-1, -1, kDefaultDisplaySettings},
                   {0xFFFFFFFF, 0x100000001, kDefaultDisplaySettings}};
    for (const auto& n : numbers) {
        ExpectSettings(DisplaySettingsFromNumbers(n.size, n.monitors), n.expected,
                       std::to_string(n.size).append(", ").append(std::to_string(n.monitors)));
    }
}

TEST(DisplaySettingsTest, TextFormReadsWhatItKnowsAndPassesOverTheRest) {
    const std::string longLine(100000, 'x');
    static const char kWithNul[] = "picture-size=fi\0ll\nmonitors=primary";
    const char* unknown = "a setting's value is not one of its names";
    const struct {
        std::string text;
        DisplaySettings expected;
        const char* problem;  // null: none
    } cases[] = {
        {"picture-size=fill\nmonitors=primary\n", {kPictureFit, kMonitorsPrimary}, nullptr},
        {"picture-size=cover\n", {kPictureCover, kMonitorsAll}, nullptr},
        {"monitors=primary\r\npicture-size=whole-multiples", {kPictureWholeMultiples, kMonitorsPrimary}, nullptr},
        {" picture-size =\tfill \r\n", {kPictureFit, kMonitorsAll}, nullptr},
        {"", kDefaultDisplaySettings, nullptr},
        {"picture-size=fill\npicture-size=huge\n", kDefaultDisplaySettings, unknown},
        {"picture-size=huge\npicture-size=fill\n", {kPictureFit, kMonitorsAll}, unknown},
        {"picture-size=2\nmonitors=1\n", kDefaultDisplaySettings, unknown},
        {"picture-size=fill\nmonitors=\n", {kPictureFit, kMonitorsAll}, unknown},
        {"picture-size\nfill\n=fill\nPicture-Size=fill\n", kDefaultDisplaySettings, nullptr},
        {"picture-size=fill=fill\n", kDefaultDisplaySettings, unknown},
        {std::string(kWithNul, sizeof kWithNul - 1), {kPictureCentred, kMonitorsPrimary}, "it is not text"},
        {longLine + "picture-size=fill\n" + longLine + "\nmonitors=primary",
         {kPictureCentred, kMonitorsPrimary},
         nullptr},
        {"# a comment\n\n\n\nmonitors=primary\n", {kPictureCentred, kMonitorsPrimary}, nullptr},
        {"a-later-setting=on\nmonitors=primary\n", {kPictureCentred, kMonitorsPrimary}, nullptr},
    };
    for (const auto& c : cases) {
        ExpectSettings(ParseDisplaySettings(c.text.data(), c.text.size()), c.expected, c.text.substr(0, 60));
        const char* problem = DisplaySettingsProblem(c.text.data(), c.text.size());
        EXPECT_STREQ(problem, c.problem) << c.text.substr(0, 60);
    }
    ExpectSettings(ParseDisplaySettings(nullptr, 10), kDefaultDisplaySettings, "no text");

    // Over another base (--background's cover): it stands in where no known
    // picture size is named, and the text says whether one is.
    const DisplaySettings base = {kPictureCover, kMonitorsPrimary};
    const struct {
        const char* text;
        DisplaySettings expected;
        int names;
    } over[] = {{"monitors=all\n", {kPictureCover, kMonitorsAll}, 0},
                {"picture-size=fill\n", {kPictureFit, kMonitorsPrimary}, 1},
                {"picture-size=centred\nmonitors=huge\n", {kPictureCentred, kMonitorsPrimary}, 1},
                {"picture-size=fit\npicture-size=huge\n", base, 0}};
    for (const auto& c : over) {
        int names = -1;
        ExpectSettings(ParseDisplaySettings(c.text, std::strlen(c.text), base, &names), c.expected, c.text);
        EXPECT_EQ(names, c.names) << c.text;
    }

    // Every record reads back as written.
    for (const DisplaySettings& s : kEveryCombination) {
        char text[128];
        const size_t length = FormatDisplaySettings(s, text, sizeof text);
        ASSERT_GT(length, 0u);
        ExpectSettings(ParseDisplaySettings(text, length), s, text);
        EXPECT_EQ(FormatDisplaySettings(s, text, length), 0u) << "no room for the terminator";
        // Without the picture size: the base's stands in.
        const size_t without = FormatDisplaySettings(s, text, sizeof text, 0);
        ExpectSettings(ParseDisplaySettings(text, without, base), {base.pictureSize, s.monitors}, text);
    }
}

#ifdef _WIN32
class DisplayStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }
    void SetRaw(const char* name, DWORD type, const void* bytes, DWORD size) {
        HKEY handle = nullptr;
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
        RegSetValueExA(handle, name, 0, type, static_cast<const BYTE*>(bytes), size);
        RegCloseKey(handle);
    }
    DWORD Dword(const char* name, DWORD* type) {
        HKEY handle = nullptr;
        DWORD value = 0xFFFFFFFF, size = sizeof value;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return value;
        RegQueryValueExA(handle, name, nullptr, type, reinterpret_cast<BYTE*>(&value), &size);
        RegCloseKey(handle);
        return value;
    }
    std::string key = "Software\\Quillmark\\ScreenSavers\\ZarvoDisplayTest" + std::to_string(GetCurrentProcessId());
};

TEST_F(DisplayStoreTest, TwoDwordsBesideTheRecordWhichStaysWhole) {
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), kDefaultDisplaySettings, "no key");
    SettingsRecord record = kDefaultSettings;
    record.entries[RedrawSpeed].value = 77;
    WriteSettingsTo(key.c_str(), record);
    for (const DisplaySettings& s : kEveryCombination) {
        EXPECT_EQ(WriteDisplaySettingsTo(key.c_str(), s), 1);
        ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), s, "read back");
        DWORD type = 0;
        EXPECT_EQ(Dword("PictureSize", &type), DWORD(s.pictureSize));
        EXPECT_EQ(type, DWORD(REG_DWORD));
        EXPECT_EQ(Dword("Monitors", &type), DWORD(s.monitors));
    }
    EXPECT_EQ(WriteDisplaySettingsTo(key.c_str(), {kPictureCover, kMonitorsPrimary}, 0), 1) << "no picture size";
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureCentred, kMonitorsPrimary}, "no picture size");
    DWORD type = 0;
    EXPECT_EQ(Dword("PictureSize", &type), 0xFFFFFFFFu) << "the value is gone";
    SettingsRecord read = kDefaultSettings;
    EXPECT_EQ(ReadSettingsFrom(key.c_str(), &read), 1) << "Config is still 72 bytes";
    EXPECT_EQ(read.entries[RedrawSpeed].value, 77);
}

TEST_F(DisplayStoreTest, OddValuesReadAsDefaults) {
    const DWORD unknown = 9, fill = 2, primary = 1;
    const uint8_t eight[8] = {2, 0, 0, 0, 0, 0, 0, 0};
    SetRaw("PictureSize", REG_DWORD, &unknown, 4);
    SetRaw("Monitors", REG_DWORD, &primary, 4);
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureCentred, kMonitorsPrimary}, "unknown number");
    SetRaw("PictureSize", REG_SZ, "2", 2);
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureCentred, kMonitorsPrimary}, "a string");
    SetRaw("PictureSize", REG_BINARY, &fill, 4);
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureCentred, kMonitorsPrimary}, "binary");
    SetRaw("PictureSize", REG_QWORD, eight, 8);
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureCentred, kMonitorsPrimary}, "a QWORD");
    SetRaw("PictureSize", REG_DWORD, eight, 2);
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureCentred, kMonitorsPrimary}, "two bytes");
    SetRaw("PictureSize", REG_DWORD, &fill, 4);
    SetRaw("Monitors", REG_BINARY, eight, 8);
    ExpectSettings(ReadDisplaySettingsFrom(key.c_str()), {kPictureFit, kMonitorsAll}, "long monitors");
}
#else
class DisplayStoreTest : public ConfigFolderTest {
  protected:
    void SetUp() override {
        ConfigFolderTest::SetUp();
        path = directory + "/zarvo/Display";
    }
    void WriteRaw(const std::string& bytes) { WriteFile("Display", bytes.data(), bytes.size()); }
    std::string path;
};

TEST_F(DisplayStoreTest, FileBesideTheRecordWhichStaysWhole) {
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved ? saved : "";
    setenv("XDG_CONFIG_HOME", directory.c_str(), 1);
    char buffer[4096];
    ASSERT_EQ(DisplaySettingsFilePath(buffer, sizeof buffer), 1);
    EXPECT_EQ(std::string(buffer), path);
    EXPECT_EQ(DisplaySettingsFilePath(buffer, path.size()), 0) << "no room for the terminator";
    ExpectSettings(ReadDisplaySettings(), kDefaultDisplaySettings, "no file");

    SettingsRecord stored = kDefaultSettings;
    stored.entries[SeatShuffle].value = 321;
    WriteSettings(stored);
    for (const DisplaySettings& s : kEveryCombination) {
        EXPECT_EQ(WriteDisplaySettings(s), 1);
        ExpectSettings(ReadDisplaySettings(), s, "read back");
    }
    EXPECT_EQ(WriteDisplaySettings({kPictureCover, kMonitorsPrimary}, 0), 1);
    ExpectSettings(ReadDisplaySettings(), {kPictureCentred, kMonitorsPrimary}, "no picture size");
    SettingsRecord read = kDefaultSettings;
    EXPECT_EQ(ReadSettings(&read), 1) << "Config is still 72 bytes";
    EXPECT_EQ(read.entries[SeatShuffle].value, 321);
    if (saved)
        setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

TEST_F(DisplayStoreTest, OddFilesReadAsDefaultsAndAFailedWriteKeepsTheOld) {
    WriteRaw("picture-size=fill\nmonitors=primary\n");
    ExpectSettings(ReadDisplaySettingsFrom(path.c_str()), {kPictureFit, kMonitorsPrimary}, "a file by hand");
    WriteRaw("monitors=primary\n" + std::string(5000, ' '));
    ExpectSettings(ReadDisplaySettingsFrom(path.c_str()), kDefaultDisplaySettings, "larger than ours can be");
    std::string garbage(3000, '\0');
    std::mt19937 random(6);
    for (char& c : garbage) c = char(random());
    WriteRaw(garbage);
    const DisplaySettings s = ReadDisplaySettingsFrom(path.c_str());
    EXPECT_TRUE(s.pictureSize < kPictureSizeCount && s.monitors < kMonitorChoiceCount) << "random bytes";
    ExpectSettings(ReadDisplaySettingsFrom((directory + "/zarvo").c_str()), kDefaultDisplaySettings, "a folder");

    WriteDisplaySettingsTo(path.c_str(), {kPictureWholeMultiples, kMonitorsAll});
    EXPECT_EQ(WriteDisplaySettingsTo((path + "/Display").c_str(), {kPictureFit, kMonitorsAll}), 0);
    ExpectSettings(ReadDisplaySettingsFrom(path.c_str()), {kPictureWholeMultiples, kMonitorsAll}, "kept");
    EXPECT_EQ(access((path + ".new").c_str(), F_OK), -1) << "no temporary is left behind";
}
#endif

}  // namespace
