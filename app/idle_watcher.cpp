// The idle watcher's lock: an open-file-description lock on a file in the
// runtime directory, which the kernel lets go when the holder ends, however
// it ends, and which can be looked at without being taken (flock cannot, and
// a look that takes it for a moment turns a starting watcher away).
#include "app/idle_watcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// A display name may be a socket's path; only its last part names the file
// (empty for a path that ends in a slash, which names no socket).
const char* DisplayPart(const char* waylandDisplay) {
    if (waylandDisplay == nullptr || *waylandDisplay == '\0') return "wayland-0";
    const char* slash = strrchr(waylandDisplay, '/');
    return slash != nullptr ? slash + 1 : waylandDisplay;
}

int Fits(int written, size_t size) { return written > 0 && static_cast<size_t>(written) < size; }

// The id written in the file, read from its start; -1 when there is none.
long ReadPid(int fd) {
    char text[32] = {};
    const ssize_t length = pread(fd, text, sizeof text - 1, 0);
    if (length <= 0) return -1;
    char* end = nullptr;
    const long pid = strtol(text, &end, 10);
    return pid > 0 && (*end == '\n' || *end == '\0') ? pid : -1;
}

// A lock taken on a file that its holder removed in the meantime guards
// nothing: the file at the path must be the one locked.
int IsFileAtPath(int fd, const char* path) {
    struct stat opened {};
    struct stat named {};
    if (fstat(fd, &opened) != 0 || stat(path, &named) != 0) return 0;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

int TakeLock(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// 1 when an open file description other than `fd`'s holds a lock on it.
int IsLockedElsewhere(int fd) {
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
}

int WritePid(int fd) {
    char text[32];
    const int length = snprintf(text, sizeof text, "%ld\n", static_cast<long>(getpid()));
    return ftruncate(fd, 0) == 0 && pwrite(fd, text, static_cast<size_t>(length), 0) == length;
}

}  // namespace

int IdleWatcherLockPath(const char* runtimeDir, const char* waylandDisplay, char* path, size_t size) {
    const char* display = DisplayPart(waylandDisplay);
    if (*display == '\0') return 0;
    if (runtimeDir != nullptr && *runtimeDir != '\0') {
        return Fits(snprintf(path, size, "%s/zarvo-idle-%s.lock", runtimeDir, display), size);
    }
    return Fits(snprintf(path, size, "/tmp/zarvo-idle-%ld-%s.lock", static_cast<long>(getuid()), display), size);
}

int SessionIdleWatcherLockPath(char* path, size_t size) {
    return IdleWatcherLockPath(getenv("XDG_RUNTIME_DIR"), getenv("WAYLAND_DISPLAY"), path, size);
}

IdleClaim ClaimIdleWatcher(const char* path, IdleWatcherLock* lock, long* otherPid) {
    lock->fd = -1;
    if (!Fits(snprintf(lock->path, sizeof lock->path, "%s", path), sizeof lock->path)) return kIdleClaimFailed;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const int fd = open(path, O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return kIdleClaimFailed;
        if (!TakeLock(fd)) {
            const int held = errno == EAGAIN || errno == EACCES;
            if (held) *otherPid = ReadPid(fd);
            close(fd);
            return held ? kIdleClaimHeld : kIdleClaimFailed;
        }
        if (IsFileAtPath(fd, path) && WritePid(fd)) {
            lock->fd = fd;
            return kIdleClaimed;
        }
        close(fd);  // removed under us: take the new one
    }
    return kIdleClaimFailed;
}

void ReleaseIdleWatcher(IdleWatcherLock* lock) {
    if (lock->fd < 0) return;
    // Removed while still locked, so no one locks this file after it is gone.
    unlink(lock->path);
    close(lock->fd);
    lock->fd = -1;
}

long RunningIdleWatcher(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    const long pid = IsLockedElsewhere(fd) ? ReadPid(fd) : 0;
    close(fd);
    return pid;
}

int EndIdleWatcher(const char* path) {
    const long pid = RunningIdleWatcher(path);
    return pid > 0 && kill(static_cast<pid_t>(pid), SIGTERM) == 0;
}

int RefuseIdleWithoutWayland(const char* x11Display, const char* waylandDisplay) {
    if (waylandDisplay != nullptr && *waylandDisplay != '\0') {
        fprintf(stderr, "zarvo: --idle needs a Wayland compositor, and none answers at \"%s\" (WAYLAND_DISPLAY)\n",
                waylandDisplay);
        return 1;
    }
    if (x11Display == nullptr || *x11Display == '\0') {
        fprintf(stderr, "zarvo: --idle watches a Wayland session, and WAYLAND_DISPLAY is not set\n");
        return 1;
    }
    fprintf(stderr,
            "zarvo: --idle is for Wayland. On X11, let XScreenSaver start zarvo (it lists Zarvo), or the "
            "desktop's own screen saver (MATE's and XFCE's list Zarvo)\n");
    return 2;
}
