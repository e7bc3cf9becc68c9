// The idle watcher found through /proc: a process of this user whose
// command line is zarvo --idle.
#include "gtk/idle_process.h"

#include <dirent.h>
#include <glib.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

bool IsWatcher(const char* pid) {
    const std::string folder = std::string("/proc/") + pid;
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || info.st_uid != getuid()) return false;
    gchar* text = nullptr;
    gsize size = 0;
    if (!g_file_get_contents((folder + "/cmdline").c_str(), &text, &size, nullptr)) return false;
    const char* program = strrchr(text, '/') ? strrchr(text, '/') + 1 : text;
    const size_t first = strlen(text) + 1;
    const bool watcher = strcmp(program, "zarvo") == 0 && first < size && strcmp(text + first, "--idle") == 0;
    g_free(text);
    return watcher;
}

}  // namespace

pid_t FindIdleWatcher() {
    DIR* proc = opendir("/proc");
    pid_t found = 0;
    for (dirent* entry = proc ? readdir(proc) : nullptr; entry != nullptr && found == 0; entry = readdir(proc)) {
        const long pid = strtol(entry->d_name, nullptr, 10);
        if (pid > 0 && pid != getpid() && IsWatcher(entry->d_name)) found = static_cast<pid_t>(pid);
    }
    if (proc != nullptr) closedir(proc);
    return found;
}

void EndIdleWatcher() {
    const pid_t pid = FindIdleWatcher();
    if (pid > 0) kill(pid, SIGTERM);
}

int StartIdleWatcher(const std::string& zarvo, int seconds) {
    const std::string time = std::to_string(seconds);
    const char* argv[] = {zarvo.c_str(), "--idle", time.c_str(), nullptr};
    return g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                         nullptr, nullptr);
}
