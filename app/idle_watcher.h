// One idle watcher (zarvo --idle) per Wayland session. The watcher holds an
// exclusive lock on a small file in $XDG_RUNTIME_DIR named for the session's
// WAYLAND_DISPLAY, with its process id inside; the lock goes with the
// process, so a watcher that crashed leaves nothing that blocks the next.
// The settings window uses the same functions to find and end the watcher.
#pragma once

#include <cstddef>

struct IdleWatcherLock {
    int fd;  // holds the lock; -1: none
    char path[512];
};

enum IdleClaim {
    kIdleClaimed,     // this process is the session's watcher now
    kIdleClaimHeld,   // another watcher runs
    kIdleClaimFailed  // the lock file cannot be made (errno says why)
};

// The lock file of the session that `waylandDisplay` names (null or empty:
// "wayland-0", as libwayland takes it), in `runtimeDir` (null or empty:
// /tmp, the name then carrying the user id). A display given as a path
// names its file by the last part. 1 when it fits in `size` bytes; 0 too
// for a display that ends in a slash.
int IdleWatcherLockPath(const char* runtimeDir, const char* waylandDisplay, char* path, size_t size);
// The same from the environment ($XDG_RUNTIME_DIR, $WAYLAND_DISPLAY).
int SessionIdleWatcherLockPath(char* path, size_t size);

// Takes the lock at `path` for this process and writes its id there. With
// kIdleClaimHeld, `otherPid` gets the running watcher's id (-1 while that
// watcher has not yet written it).
IdleClaim ClaimIdleWatcher(const char* path, IdleWatcherLock* lock, long* otherPid);
// Removes the file and lets the lock go; nothing when none is held.
void ReleaseIdleWatcher(IdleWatcherLock* lock);
// The id of the watcher holding the lock at `path`: 0 when none runs, -1
// when one runs but has not yet written its id.
long RunningIdleWatcher(const char* path);
// Asks the watcher at `path` to end (SIGTERM). 1 when one was asked.
int EndIdleWatcher(const char* path);

// zarvo --idle where no Wayland compositor answers: a message and the exit
// status. On X11 (status 2) the screen savers there start zarvo instead;
// without any display (status 1) there is nothing to watch. `x11Display` is
// --display or $DISPLAY, `waylandDisplay` $WAYLAND_DISPLAY.
int RefuseIdleWithoutWayland(const char* x11Display, const char* waylandDisplay);
