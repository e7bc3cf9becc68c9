// "Start after N minutes of inactivity": how this desktop starts a program
// with the session (its autostart folder, or a line of the compositor's own
// configuration), and the autostart entry that starts `zarvo --idle`.
#pragma once

#include <cstddef>
#include <string>

enum IdleRoute {
    kIdleAutostart,    // the desktop runs ~/.config/autostart entries
    kIdleUnavailable,  // GNOME: runs them, but offers no idle protocol
    kIdlePasteLine,    // a compositor that reads only its own configuration
    kIdleX11,          // an X11 session: its own screen saver starts zarvo
};

struct IdleDesktop {
    IdleRoute route;
    // The compositor whose configuration takes the line ("sway", ...); ""
    // for one not known, which gets the bare command.
    const char* compositor;
};

// From XDG_CURRENT_DESKTOP (a colon-separated list; null when unset) and
// whether the session is a Wayland one.
IdleDesktop IdleDesktopOf(const char* currentDesktop, int wayland);
// The line to paste into the compositor's configuration.
std::string IdlePasteLine(const IdleDesktop& desktop, int seconds);

// Inactivity is offered in whole minutes, 1 to this.
constexpr int kMaxIdleMinutes = 180;
// The entry Zarvo writes, and whether `text` is one (it carries the mark):
// a file of the same name without it is the user's and never replaced.
std::string AutostartEntry(int seconds);
int IsZarvoAutostartEntry(const char* text, size_t size);
// The seconds that entry's command waits for; 0 when it is none of ours.
int AutostartSeconds(const char* text, size_t size);

// ~/.config/autostart/zarvo-idle.desktop (XDG_CONFIG_HOME first); empty when
// neither is set.
std::string AutostartPath();
// Writes (seconds > 0) or removes (0) the entry atomically. 1 when done;
// 0 with the reason in `error`, the file left as it was.
int StoreAutostart(int seconds, std::string* error);
// The seconds of the stored entry; 0 when there is none of ours.
int StoredAutostartSeconds();
