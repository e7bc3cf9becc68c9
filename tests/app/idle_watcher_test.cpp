// The one-watcher-per-session lock: its file name, a second claim turned
// away with the first one's id, and a file left behind that blocks nothing.
#include "app/idle_watcher.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(IdleWatcherTest, LockPathNamesTheSession) {
    struct Case {
        const char* runtimeDir;
        const char* display;
        size_t size;
        int fits;
        std::string path;
    };
    const std::string tmp = "/tmp/zarvo-idle-" + std::to_string(getuid());
    const Case cases[] = {
        {"/run/user/7", "wayland-1", 512, 1, "/run/user/7/zarvo-idle-wayland-1.lock"},
        {"/run/user/7", nullptr, 512, 1, "/run/user/7/zarvo-idle-wayland-0.lock"},
        {"/run/user/7", "/run/user/7/wayland-2", 512, 1, "/run/user/7/zarvo-idle-wayland-2.lock"},
        {"/run/user/7", "/run/user/7/", 512, 0, ""},
        {"", "wayland-1", 512, 1, tmp + "-wayland-1.lock"},
        {"/run/user/7", "wayland-1", 37, 0, ""},
        {"/run/user/7", "wayland-1", 38, 1, "/run/user/7/zarvo-idle-wayland-1.lock"},
    };
    for (const Case& c : cases) {
        char path[512] = {};
        ASSERT_EQ(IdleWatcherLockPath(c.runtimeDir, c.display, path, c.size), c.fits) << c.size;
        if (c.fits) {
            EXPECT_EQ(std::string(path), c.path);
        }
    }
}

TEST(IdleWatcherTest, OneWatcherHoldsTheLockUntilItLetsGo) {
    const std::string dir = testing::TempDir() + "zarvo-idle-test";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/zarvo-idle-wayland-9.lock";
    // What a watcher that crashed, or a stranger, left in the file.
    for (const char* leftover : {"", "123\n", "not a pid", "-5\n", "99999999999999999999\n"}) {
        std::ofstream(path) << leftover;
        EXPECT_EQ(RunningIdleWatcher(path.c_str()), 0) << leftover;
        IdleWatcherLock first{};
        long other = 0;
        ASSERT_EQ(ClaimIdleWatcher(path.c_str(), &first, &other), kIdleClaimed) << leftover;
        EXPECT_EQ(RunningIdleWatcher(path.c_str()), getpid());
        IdleWatcherLock second{};
        EXPECT_EQ(ClaimIdleWatcher(path.c_str(), &second, &other), kIdleClaimHeld);
        EXPECT_EQ(other, getpid());
        EXPECT_EQ(second.fd, -1);
        ReleaseIdleWatcher(&first);
        ReleaseIdleWatcher(&second);
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_EQ(RunningIdleWatcher(path.c_str()), 0);
        EXPECT_EQ(EndIdleWatcher(path.c_str()), 0);
    }
    IdleWatcherLock lock{};
    long other = 0;
    EXPECT_EQ(ClaimIdleWatcher((dir + "/missing/x.lock").c_str(), &lock, &other), kIdleClaimFailed);
    std::filesystem::remove_all(dir);
}

}  // namespace
