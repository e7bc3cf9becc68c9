// The idle watcher of this session, found by the lock every watcher holds.
#include "gtk/idle_process.h"

#include <glib.h>

#include "app/idle_watcher.h"

// A new watcher started while the old one still holds the lock would find
// it taken and leave, so the old one's end is waited for (2 s at most).
void EndSessionIdleWatcher() {
    char path[512];
    if (!SessionIdleWatcherLockPath(path, sizeof path) || !EndIdleWatcher(path)) return;
    for (int wait = 0; wait < 100 && RunningIdleWatcher(path) != 0; ++wait) g_usleep(20000);
}

int StartIdleWatcher(const std::string& zarvo, int seconds) {
    const std::string time = std::to_string(seconds);
    const char* argv[] = {zarvo.c_str(), "--idle", time.c_str(), nullptr};
    return g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr,
                         nullptr);
}
