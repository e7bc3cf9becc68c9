// The autostart entry of the idle watcher and the line for compositors that
// run no such entries.
#include "gtk/idle_start.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "platform/replace_file.h"

namespace {

constexpr char kMark[] = "X-Zarvo-Idle=true";
constexpr char kExec[] = "Exec=zarvo --idle ";
constexpr size_t kEntryCapacity = 4096;

struct DesktopRow {
    const char* name;  // as XDG_CURRENT_DESKTOP lists it
    IdleRoute route;
};

// GNOME first: Ubuntu lists "ubuntu:GNOME".
constexpr DesktopRow kDesktops[] = {
    {"GNOME", kIdleUnavailable},  {"KDE", kIdleAutostart},  {"XFCE", kIdleAutostart},
    {"MATE", kIdleAutostart},     {"LXQt", kIdleAutostart}, {"sway", kIdlePasteLine},
    {"Hyprland", kIdlePasteLine}, {"niri", kIdlePasteLine}, {"river", kIdlePasteLine},
};

bool Lists(const char* list, const char* name) {
    const size_t length = strlen(name);
    for (const char* part = list; part != nullptr; part = strchr(part, ':')) {
        if (*part == ':') ++part;
        if (strncasecmp(part, name, length) == 0 && (part[length] == ':' || part[length] == '\0')) return true;
    }
    return false;
}

}  // namespace

IdleDesktop IdleDesktopOf(const char* currentDesktop, int wayland) {
    if (!wayland) return {kIdleX11, ""};
    for (const DesktopRow& row : kDesktops) {
        if (currentDesktop != nullptr && Lists(currentDesktop, row.name)) return {row.route, row.name};
    }
    return {kIdlePasteLine, ""};
}

std::string IdlePasteLine(const IdleDesktop& desktop, int seconds) {
    const std::string time = std::to_string(seconds);
    const std::string name = desktop.compositor;
    if (name == "sway") return "exec zarvo --idle " + time;
    if (name == "Hyprland") return "exec-once = zarvo --idle " + time;
    if (name == "niri") return "spawn-at-startup \"zarvo\" \"--idle\" \"" + time + "\"";
    if (name == "river") return "riverctl spawn \"zarvo --idle " + time + "\"";
    return "zarvo --idle " + time;
}

std::string AutostartEntry(int seconds) {
    return std::string(
               "[Desktop Entry]\nType=Application\nName=Zarvo idle start\n"
               "Comment=Shows Zarvo when the session is idle\n") +
           kExec + std::to_string(seconds) + "\nNoDisplay=true\n" + kMark + "\n";
}

int IsZarvoAutostartEntry(const char* text, size_t size) {
    const std::string entry(text, size);
    const size_t at = entry.find(kMark);
    return at != std::string::npos && (at == 0 || entry[at - 1] == '\n') &&
           (at + strlen(kMark) == size || entry[at + strlen(kMark)] == '\n');
}

int AutostartSeconds(const char* text, size_t size) {
    if (!IsZarvoAutostartEntry(text, size)) return 0;
    const std::string entry(text, size);
    const size_t at = entry.find(std::string("\n") + kExec);
    if (at == std::string::npos) return 0;
    const long seconds = strtol(entry.c_str() + at + 1 + strlen(kExec), nullptr, 10);
    return seconds > 0 && seconds <= kMaxIdleMinutes * 60 ? static_cast<int>(seconds) : 0;
}

std::string AutostartPath() {
    const char* config = getenv("XDG_CONFIG_HOME");
    const char* home = getenv("HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/autostart/zarvo-idle.desktop";
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/autostart/zarvo-idle.desktop";
    return "";
}

int StoredAutostartSeconds() {
    uint8_t bytes[kEntryCapacity];
    const long size = ReadRegularFile(AutostartPath().c_str(), bytes, sizeof bytes);
    return size > 0 ? AutostartSeconds(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size)) : 0;
}

int StoreAutostart(int seconds, std::string* error) {
    const std::string path = AutostartPath();
    if (path.empty()) return *error = "no HOME or XDG_CONFIG_HOME", 0;
    uint8_t bytes[kEntryCapacity];
    errno = 0;
    const long size = ReadRegularFile(path.c_str(), bytes, sizeof bytes);
    const bool ours = size > 0 && IsZarvoAutostartEntry(reinterpret_cast<const char*>(bytes), size);
    if (!ours && !(size < 0 && errno == ENOENT)) return *error = path + " is not Zarvo's: it is left as it is", 0;
    if (seconds <= 0) {
        if (size < 0 || unlink(path.c_str()) == 0) return 1;
        return *error = "cannot remove " + path + ": " + strerror(errno), 0;
    }
    const std::string entry = AutostartEntry(seconds);
    if (ReplaceFile(path.c_str(), reinterpret_cast<const uint8_t*>(entry.data()), entry.size())) return 1;
    return *error = "cannot write " + path, 0;
}
