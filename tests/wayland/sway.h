// Test harness for the Wayland front end: a headless sway of the test's own
// (run as an unprivileged user, as sway refuses root), its outputs, screen
// captures with grim, keys with wtype and pointer input with a helper.
#pragma once

#include <string>
#include <vector>

#include "harness.h"

struct Sway {
    std::string work;    // the runtime folder (the sockets) and the config
    std::string socket;  // WAYLAND_DISPLAY
    std::string ipc;     // SWAYSOCK
    Child process;
};

// Why sway cannot run here (a message), or empty when it can.
std::string SwayMissing();
// Starts sway with one headless output of `mode` ("1920x1080"). 1 when its
// sockets are there.
int StartSway(const char* mode, Sway* sway);
// Starts a sway inside `parent` whose outputs (WL-1, WL-2, ...) are windows
// of the parent's: a headless output cannot be taken away, but closing the
// window of a nested one removes that output.
int StartNestedSway(const Sway& parent, int outputs, Sway* nested);
void StopSway(Sway* sway);
// The environment a client of this sway needs (with a settings folder).
std::vector<std::string> SwayClientEnvironment(const Sway& sway);
// Runs `swaymsg` with the arguments; 1 on success.
int SwayMessage(const Sway& sway, const std::string& command);
// Captures the output (by its name, "HEADLESS-1") into `picture`.
int CaptureOutput(const Sway& sway, const char* output, Picture* picture);
// Sends a key press of `key` (an XKB name such as "Escape") with wtype.
int SendKey(const Sway& sway, const char* key);
// Runs the pointer helper with its arguments ("move 3 0").
int SendPointer(const Sway& sway, const std::string& arguments);
