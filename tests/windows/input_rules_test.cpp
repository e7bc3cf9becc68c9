// The quiet time after a password verification; on Windows also the desktop
// setting that asks for one.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "windows/windows_host.h"

namespace {

TEST(PasswordQuietTime, CloseRequestsWithin200msOfAVerificationAreIgnored) {
    EXPECT_EQ(WithinPasswordQuietTime(1000, 1000), 1);
    EXPECT_EQ(WithinPasswordQuietTime(1199, 1000), 1);
    EXPECT_EQ(WithinPasswordQuietTime(1200, 1000), 0);
    EXPECT_EQ(WithinPasswordQuietTime(50000, 1000), 0);
}

TEST(PasswordQuietTime, NoVerificationYetMeansNoQuietTime) {
    EXPECT_EQ(WithinPasswordQuietTime(0, kNoPasswordCheckYet), 0);
    EXPECT_EQ(WithinPasswordQuietTime(0xFFFFFFFFu, kNoPasswordCheckYet), 0);
}

TEST(PasswordQuietTime, TickCountsWrapAround) {
    EXPECT_EQ(WithinPasswordQuietTime(5, 0xFFFFFFF0u), 1) << "21 ms across the wrap";
    EXPECT_EQ(WithinPasswordQuietTime(0x100, 0xFFFFFFF0u), 0) << "272 ms across the wrap";
}

#ifdef _WIN32
TEST(PasswordSetting, AStringIsNoPasswordOnlyEmptyOrZeroAndOtherTypesCountAsAnInteger) {
    // A key of the test's own stands for Control Panel\Desktop.
    const std::string name =
        "Software\\Quillmark\\ScreenSavers\\ZarvoDesktopTest" + std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, name.c_str(), &key), ERROR_SUCCESS);
    EXPECT_EQ(DesktopAsksForPassword(key), 0) << "no value";
    struct Case {
        DWORD type;
        std::string bytes;
        int asks;
    } cases[] = {
        {REG_SZ, {"0", 2}, 0},
        {REG_SZ, {"1", 2}, 1},
        {REG_SZ, {"00", 3}, 0},
        {REG_SZ, {"10", 3}, 1},
        {REG_SZ, {"", 1}, 0},
        {REG_SZ, {" 0\t", 4}, 0},
        // Anything else asks for the password, as a lock should.
        {REG_SZ, {" 1", 3}, 1},
        {REG_SZ, {"yes", 4}, 1},
        {REG_SZ, {"0x1", 4}, 1},
        {REG_SZ, std::string(40, '0') + '1' + '\0', 1},  // longer than the value read
        {REG_EXPAND_SZ, {"0", 2}, 0},
        {REG_DWORD, {"\0\0\0\0", 4}, 0},
        {REG_DWORD, {"\0\0\0\1", 4}, 1},
        {REG_BINARY, {"\0\1", 2}, 1},
        {REG_BINARY, {"\1\0\0\0\0", 5}, 0},  // longer than 4 bytes
    };
    for (const Case& c : cases) {
        RegSetValueExA(key, "ScreenSaveUsePassword", 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                       static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(DesktopAsksForPassword(key), c.asks) << "type " << c.type << ", \"" << c.bytes << "\"";
    }
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_CURRENT_USER, name.c_str());
}
#endif

}  // namespace
