// The headless sway of a test, or one nested in it: started as nobody with
// a private runtime folder, found by its sockets, driven by swaymsg, grim,
// wtype and the pointer helper.
#include "sway.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace {

constexpr uid_t kNobody = 65534;

// The first entry of `folder` that starts with `prefix` and does not end in
// `skipSuffix`; empty when there is none.
std::string FindEntry(const std::string& folder, const char* prefix, const char* skipSuffix) {
    std::string found;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return found;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string suffix = skipSuffix;
        const bool skipped =
            name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
        if (name.rfind(prefix, 0) == 0 && !skipped) found = name;
    }
    closedir(dir);
    return found;
}

std::vector<std::string> SwayEnvironment(const Sway& sway) {
    return {"XDG_RUNTIME_DIR=" + sway.work, "WAYLAND_DISPLAY=" + sway.socket, "SWAYSOCK=" + sway.ipc};
}

// Starts sway as nobody with `config` and the backend's environment. 1 when
// its sockets are there and its IPC answers.
int LaunchSway(const std::string& config, const std::vector<std::string>& backend, Sway* sway) {
    sway->work = MakeTempDir("sway");
    if (sway->work.empty()) return 0;
    std::ofstream(sway->work + "/config") << config << "default_border none\n";
    chmod(sway->work.c_str(), 0700);
    const bool root = getuid() == 0;
    if (root && chown(sway->work.c_str(), kNobody, kNobody) != 0) return 0;
    if (root && chown((sway->work + "/config").c_str(), kNobody, kNobody) != 0) return 0;
    std::vector<std::string> args = {"sway", "-c", sway->work + "/config"};
    if (root) {
        args.insert(args.begin(), {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
    }
    std::vector<std::string> environment = {"XDG_RUNTIME_DIR=" + sway->work, "WLR_LIBINPUT_NO_DEVICES=1",
                                            "WLR_RENDERER=pixman", "DISPLAY=", "HOME=" + sway->work};
    environment.insert(environment.end(), backend.begin(), backend.end());
    if (!SpawnChild(args, "", environment, &sway->process)) return 0;
    const int64_t deadline = NowMs() + 10000;
    while (NowMs() < deadline) {
        sway->socket = FindEntry(sway->work, "wayland-", ".lock");
        const std::string ipc = FindEntry(sway->work, "sway-ipc.", ".lock");
        if (!sway->socket.empty() && !ipc.empty()) {
            sway->ipc = sway->work + "/" + ipc;
            // The IPC answers once sway has set its outputs up.
            if (SwayMessage(*sway, "-t get_outputs")) return 1;
        }
        SleepMs(20);
    }
    return 0;
}

}  // namespace

std::string SwayMissing() {
    if (RunProgram({"sh", "-c", "command -v sway && command -v grim && command -v wtype"}, "", {}, 10000) != 0) {
        return "sway, grim or wtype is not installed (tools/install-deps.sh test installs them)";
    }
    return "";
}

int StartSway(const char* mode, Sway* sway) {
    return LaunchSway(std::string("output HEADLESS-1 mode ") + mode + " position 0 0\n",
                      {"WLR_BACKENDS=headless", "WAYLAND_DISPLAY="}, sway);
}

int StartNestedSway(const Sway& parent, int outputs, Sway* nested) {
    return LaunchSway("",
                      {"WLR_BACKENDS=wayland", "WLR_WL_OUTPUTS=" + std::to_string(outputs),
                       "WAYLAND_DISPLAY=" + parent.work + "/" + parent.socket},
                      nested);
}

void StopSway(Sway* sway) {
    if (sway->process.pid > 0) {
        kill(sway->process.pid, SIGTERM);
        int status = 0;
        if (!WaitChild(&sway->process, 5000, &status)) KillChild(&sway->process);
    }
    sway->process = Child{};
}

std::vector<std::string> SwayClientEnvironment(const Sway& sway) {
    std::vector<std::string> environment = SwayEnvironment(sway);
    environment.push_back("XDG_CONFIG_HOME=" + sway.work);
    return environment;
}

int SwayMessage(const Sway& sway, const std::string& command) {
    return RunProgram({"sh", "-c", "swaymsg " + command + " >/dev/null"}, "", SwayEnvironment(sway), 10000) == 0;
}

int CaptureOutput(const Sway& sway, const char* output, Picture* picture) {
    const std::string file = MakeTempDir("grim") + "/capture.png";
    if (RunProgram({"grim", "-o", output, file}, "", SwayEnvironment(sway), 10000) != 0) return 0;
    return ReadPng(file, picture);
}

int SendKey(const Sway& sway, const char* key) {
    return RunProgram({"wtype", "-s", "300", "-k", key}, "", SwayEnvironment(sway), 10000) == 0;
}

int SendPointer(const Sway& sway, const std::string& arguments) {
    return RunProgram({"sh", "-c", std::string(ZARVO_TEST_POINTER) + " " + arguments}, "", SwayEnvironment(sway),
                      10000) == 0;
}
