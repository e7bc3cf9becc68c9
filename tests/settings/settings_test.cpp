// The settings record's defaults and stored bytes, and the store: a value of
// another length, the file's atomic replacement, the registry key on Windows.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>
#include <string>
#include <vector>

#include "platform/services.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/replace_file.h"
#include "tests/settings/config_folder.h"
#endif

namespace {

std::vector<uint8_t> Encoded(const SettingsRecord& record) {
    std::vector<uint8_t> bytes(kSettingsRecordSize);
    EncodeSettings(record, bytes.data());
    return bytes;
}

int32_t Field(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<int32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                                static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

TEST(SettingsRecordTest, DefaultsAreTheBuiltInRangesAndValues) {
    const int32_t expected[kSettingCount][3] = {{20, 150, 100}, {30, 125, 50}, {1, 55, 30},
                                                {5, 100, 50},   {0, 120, 2},   {100, 600, 120}};
    for (int i = 0; i < kSettingCount; ++i) {
        EXPECT_EQ(kDefaultSettings.entries[i].min, expected[i][0]) << "entry " << i;
        EXPECT_EQ(kDefaultSettings.entries[i].max, expected[i][1]) << "entry " << i;
        EXPECT_EQ(kDefaultSettings.entries[i].value, expected[i][2]) << "entry " << i;
    }
}

TEST(SettingsRecordTest, StoredFormIsEighteenLittleEndianIntegers) {
    SettingsRecord record = kDefaultSettings;
    record.entries[SeatShuffle].value = -2;
    record.entries[IsleWalkers].min = 0x12345678;
    const std::vector<uint8_t> bytes = Encoded(record);
    EXPECT_EQ(Field(bytes, 0), 20);
    EXPECT_EQ(Field(bytes, 8), 100);
    EXPECT_EQ(Field(bytes, 12 * 3), 0x12345678);
    EXPECT_EQ(bytes[36], 0x78) << "least significant byte first";
    EXPECT_EQ(Field(bytes, 12 * 5 + 8), -2);
    EXPECT_EQ(bytes[68], 0xFE);
    EXPECT_EQ(bytes[71], 0xFF);
}

TEST(SettingsRecordTest, DecodingAWholeValueReplacesEveryField) {
    SettingsRecord written = kDefaultSettings;
    for (int i = 0; i < kSettingCount; ++i) written.entries[i] = {i * 3 - 100, i * 3 + 1000, -i};
    const std::vector<uint8_t> bytes = Encoded(written);
    SettingsRecord read = kDefaultSettings;
    ASSERT_EQ(DecodeSettings(bytes.data(), bytes.size(), &read), 1);
    EXPECT_EQ(0, std::memcmp(&read, &written, sizeof read));
}

TEST(SettingsRecordTest, ValueOfSeventyThreeBytesOrEmptyLoadsNothing) {
    std::vector<uint8_t> bytes(73, 0xAB);
    SettingsRecord record = kDefaultSettings;
    EXPECT_EQ(DecodeSettings(bytes.data(), bytes.size(), &record), 0);
    EXPECT_EQ(DecodeSettings(bytes.data(), 0, &record), 0);
    EXPECT_EQ(DecodeSettings(nullptr, 72, &record), 0);
    EXPECT_EQ(0, std::memcmp(&record, &kDefaultSettings, sizeof record)) << "the record is unchanged";
}

TEST(SettingsRecordTest, ShortValueReplacesOnlyTheBytesItHas) {
    const uint8_t bytes[14] = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0x7F, 0x01};
    SettingsRecord record = kDefaultSettings;
    ASSERT_EQ(DecodeSettings(bytes, sizeof bytes, &record), 1);
    EXPECT_EQ(record.entries[CircleSpeed].min, 1);
    EXPECT_EQ(record.entries[CircleSpeed].max, 2);
    EXPECT_EQ(record.entries[CircleSpeed].value, 3);
    EXPECT_EQ(record.entries[CircleWalkers].min, 0x017F) << "two new low bytes over 30's high bytes";
    EXPECT_EQ(record.entries[CircleWalkers].max, 125);
    EXPECT_EQ(record.entries[SeatShuffle].value, 120);
}

#ifdef _WIN32
// A key of the test's own, so the real settings of the prefix are never touched.
std::string TestKey() { return "Software\\Quillmark\\ScreenSavers\\ZarvoTest" + std::to_string(GetCurrentProcessId()); }

void SetRawValue(const std::string& key, const std::vector<uint8_t>& bytes, DWORD type) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(handle, "Config", 0, type, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
}

class SettingsStoreTest : public ::testing::Test {
  protected:
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }
    std::string key = TestKey();
};

TEST_F(SettingsStoreTest, WrittenRecordIsReadBackAsSeventyTwoBinaryBytes) {
    SettingsRecord written = kDefaultSettings;
    written.entries[RedrawSpeed].value = 77;
    EXPECT_EQ(WriteSettingsTo(key.c_str(), written), 1);
    HKEY handle = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    RegQueryValueExA(handle, "Config", nullptr, &type, nullptr, &size);
    char keyClass[64] = {};
    DWORD classSize = sizeof keyClass;
    RegQueryInfoKeyA(handle, keyClass, &classSize, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    RegCloseKey(handle);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(size, 72u);
    EXPECT_STREQ(keyClass, "Application Per-User Date");
    SettingsRecord read = kDefaultSettings;
    EXPECT_EQ(ReadSettingsFrom(key.c_str(), &read), 1);
    EXPECT_EQ(read.entries[RedrawSpeed].value, 77);
}

TEST_F(SettingsStoreTest, MissingLongAndShortValues) {
    SettingsRecord record = kDefaultSettings;
    EXPECT_EQ(ReadSettingsFrom(key.c_str(), &record), 0) << "no key";
    SetRawValue(key, std::vector<uint8_t>(73, 1), REG_BINARY);
    EXPECT_EQ(ReadSettingsFrom(key.c_str(), &record), 0) << "73 bytes";
    EXPECT_EQ(0, std::memcmp(&record, &kDefaultSettings, sizeof record));
    SetRawValue(key, {9, 0, 0, 0}, REG_SZ);
    EXPECT_EQ(ReadSettingsFrom(key.c_str(), &record), 1) << "another type is taken as raw bytes";
    EXPECT_EQ(record.entries[CircleSpeed].min, 9);
    EXPECT_EQ(record.entries[CircleSpeed].max, 150);
}
#else
class SettingsStoreTest : public ConfigFolderTest {
  protected:
    void SetUp() override {
        ConfigFolderTest::SetUp();
        path = directory + "/zarvo/Config";
    }
    void WriteRaw(const std::vector<uint8_t>& bytes) { WriteFile("Config", bytes.data(), bytes.size()); }
    std::vector<std::string> DirectoryEntries() {
        std::vector<std::string> names;
        DIR* dir = opendir((directory + "/zarvo").c_str());
        while (dirent* entry = dir ? readdir(dir) : nullptr) {
            if (entry->d_name[0] != '.') names.emplace_back(entry->d_name);
        }
        if (dir) closedir(dir);
        return names;
    }
    std::string path;
};

TEST_F(SettingsStoreTest, WrittenRecordIsTheSeventyTwoBytesAndNoTemporaryStays) {
    SettingsRecord written = kDefaultSettings;
    written.entries[IsleSpeed].value = 44;
    EXPECT_EQ(WriteSettingsTo(path.c_str(), written), 1);
    struct stat info = {};
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 72);
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"Config"});
    SettingsRecord read = kDefaultSettings;
    EXPECT_EQ(ReadSettingsFrom(path.c_str(), &read), 1);
    EXPECT_EQ(read.entries[IsleSpeed].value, 44);
    written.entries[IsleSpeed].value = 45;
    WriteSettingsTo(path.c_str(), written);
    ReadSettingsFrom(path.c_str(), &read);
    EXPECT_EQ(read.entries[IsleSpeed].value, 45) << "a second write replaces the first";
}

TEST_F(SettingsStoreTest, MissingLongAndShortFiles) {
    SettingsRecord record = kDefaultSettings;
    EXPECT_EQ(ReadSettingsFrom(path.c_str(), &record), 0) << "no file";
    WriteRaw(std::vector<uint8_t>(73, 1));
    EXPECT_EQ(ReadSettingsFrom(path.c_str(), &record), 0) << "73 bytes";
    WriteRaw({});
    EXPECT_EQ(ReadSettingsFrom(path.c_str(), &record), 0) << "empty file";
    EXPECT_EQ(0, std::memcmp(&record, &kDefaultSettings, sizeof record));
    WriteRaw({9, 0, 0, 0});
    EXPECT_EQ(ReadSettingsFrom(path.c_str(), &record), 1);
    EXPECT_EQ(record.entries[CircleSpeed].min, 9);
    EXPECT_EQ(record.entries[CircleSpeed].max, 150);
}

TEST_F(SettingsStoreTest, AnythingButARegularFileIsNoRecord) {
    mkdir((directory + "/zarvo").c_str(), 0700);
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    SettingsRecord record = kDefaultSettings;
    auto reading = std::async(std::launch::async, [&] { return ReadSettingsFrom(path.c_str(), &record); });
    const bool finished = reading.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
    if (!finished) close(open(path.c_str(), O_WRONLY | O_NONBLOCK));  // a writer that ends at once lets it go
    EXPECT_TRUE(finished) << "reading a FIFO waits for a writer";
    EXPECT_EQ(reading.get(), 0);
    EXPECT_EQ(0, std::memcmp(&record, &kDefaultSettings, sizeof record));
}

TEST_F(SettingsStoreTest, FailedWriteLeavesTheStoredRecordAlone) {
    SettingsRecord first = kDefaultSettings;
    first.entries[CircleSpeed].value = 33;
    WriteSettingsTo(path.c_str(), first);
    // A location under the record file itself cannot be written.
    const std::string blocked = path + "/Config";
    SettingsRecord second = kDefaultSettings;
    EXPECT_EQ(WriteSettingsTo(blocked.c_str(), second), 1) << "failures are silent";
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"Config"}) << "no temporary is left behind";
    SettingsRecord read = kDefaultSettings;
    ReadSettingsFrom(path.c_str(), &read);
    EXPECT_EQ(read.entries[CircleSpeed].value, 33);
}

std::string Contents(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return file ? bytes.str() : "(missing)";
}

// ReplaceFile in a child under a file-size limit of `limit` bytes, SIGXFSZ
// ignored so that a write past it fails (EFBIG) as on a full disk; the child
// keeps the limit to itself. Its result, or -1 when it did not end normally.
int ReplaceUnderSizeLimit(const std::string& path, const std::string& bytes, rlim_t limit) {
    const pid_t child = fork();
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit cap = {limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &cap) != 0) _exit(2);
        _exit(ReplaceFile(path.c_str(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(SettingsStoreTest, AWriteCutShortFailsAndALongerLeftoverDoesNotBleedIn) {
    const std::string old(72, 'o'), cut(100, 'c'), fresh(72, 'n');
    WriteRaw(std::vector<uint8_t>(old.begin(), old.end()));
    EXPECT_EQ(ReplaceUnderSizeLimit(path, cut, 40), 0) << "a write past the file-size limit fails";
    EXPECT_EQ(Contents(path), old) << "and leaves the old file byte for byte";
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"Config"}) << "no temporary is left behind";
    EXPECT_EQ(ReplaceUnderSizeLimit(path, cut, 4096), 1) << "the same write with room";
    EXPECT_EQ(Contents(path), cut);

    // A save killed before its rename leaves a temporary longer than the next.
    const std::string leftover(200, 'x');
    WriteFile("Config.new", leftover.data(), leftover.size());
    EXPECT_EQ(ReplaceFile(path.c_str(), reinterpret_cast<const uint8_t*>(fresh.data()), fresh.size()), 1);
    EXPECT_EQ(Contents(path), fresh) << "the leftover's tail is not kept";
    EXPECT_EQ(DirectoryEntries(), std::vector<std::string>{"Config"});
}

// A path of `length` characters in folders under `top`, ending in "/Config".
std::string PathOfLength(const std::string& top, size_t length) {
    std::string path = top;
    while (path.size() + 200 + 7 < length) path += "/" + std::string(199, 'd');
    path += "/" + std::string(length - path.size() - 8, 'e') + "/Config";
    return path;
}

TEST_F(SettingsStoreTest, APathWithoutRoomForItsTemporaryNameStoresNothing) {
    const std::string bytes(72, 's');
    const auto replace = [&](const std::string& path) {
        return ReplaceFile(path.c_str(), reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    };
    // The system takes paths of up to 4095 characters; "PATH.new" must fit.
    const std::string fits = PathOfLength(directory, 4091), tooLong = PathOfLength(directory + "/x", 4092);
    ASSERT_EQ(fits.size(), 4091u);
    ASSERT_EQ(tooLong.size(), 4092u);
    EXPECT_EQ(replace(fits), 1);
    EXPECT_EQ(Contents(fits), bytes);
    EXPECT_EQ(replace(tooLong), 0);
    EXPECT_EQ(access((directory + "/x").c_str(), F_OK), -1) << "not even a folder is made";
}

TEST_F(SettingsStoreTest, FileLivesUnderXdgConfigHomeOrDotConfig) {
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = savedConfig ? savedConfig : "";
    const char* savedHomeValue = std::getenv("HOME");
    const std::string savedHome = savedHomeValue ? savedHomeValue : "";
    char buffer[4096];
    setenv("XDG_CONFIG_HOME", directory.c_str(), 1);
    ASSERT_EQ(SettingsFilePath(buffer, sizeof buffer), 1);
    EXPECT_EQ(std::string(buffer), path);
    SettingsRecord record = kDefaultSettings;
    record.entries[SeatShuffle].value = 321;
    WriteSettings(record);
    record = kDefaultSettings;
    EXPECT_EQ(ReadSettings(&record), 1);
    EXPECT_EQ(record.entries[SeatShuffle].value, 321);

    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    setenv("HOME", "/home/someone", 1);
    ASSERT_EQ(SettingsFilePath(buffer, sizeof buffer), 1);
    EXPECT_STREQ(buffer, "/home/someone/.config/zarvo/Config") << "a relative XDG_CONFIG_HOME is ignored";
    EXPECT_EQ(SettingsFilePath(buffer, 10), 0) << "a path that does not fit";
    if (savedConfig)
        setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (savedHomeValue)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}
#endif

}  // namespace
