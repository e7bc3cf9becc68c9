// The settings store where there is no registry: a file holding the same 72
// bytes, replaced atomically so that a crash never leaves half a record.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

// Creates every missing directory of `path` up to its last '/'.
int MakeParentDirectories(const char* path) {
    char partial[4096];
    const size_t length = std::strlen(path);
    if (length >= sizeof partial) return 0;
    std::memcpy(partial, path, length + 1);
    for (size_t i = 1; i < length; ++i) {
        if (partial[i] != '/') continue;
        partial[i] = '\0';
        if (mkdir(partial, 0700) != 0 && errno != EEXIST) return 0;
        partial[i] = '/';
    }
    return 1;
}

// Reads at most `capacity` bytes; -1 on an error.
ssize_t ReadUpTo(int fd, uint8_t* buffer, size_t capacity) {
    size_t total = 0;
    while (total < capacity) {
        const ssize_t n = read(fd, buffer + total, capacity - total);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        total += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(total);
}

int WriteAll(int fd, const uint8_t* bytes, size_t size) {
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return 0;
        done += static_cast<size_t>(n);
    }
    return 1;
}

// The folder of `path`, opened to lock it and to make a rename in it durable;
// -1 when it cannot be opened.
int OpenParentDirectory(const char* path) {
    char directory[4096];
    const char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (static_cast<size_t>(slash - path) >= sizeof directory) return -1;
    const size_t length = slash == path ? 1 : static_cast<size_t>(slash - path);
    std::memcpy(directory, path, length);
    directory[length] = '\0';
    return open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Writes the record to `temporary` and puts it in place of `location`.
int ReplaceWith(const char* temporary, const char* location, const SettingsRecord& record) {
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    uint8_t bytes[kSettingsRecordSize];
    EncodeSettings(record, bytes);
    const int written = WriteAll(fd, bytes, sizeof bytes) && fsync(fd) == 0;
    close(fd);
    if (written && rename(temporary, location) == 0) return 1;
    unlink(temporary);
    return 0;
}

}  // namespace

int SettingsFilePath(char* path, size_t capacity) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    int written = -1;
    // A relative XDG_CONFIG_HOME is invalid by its own rules and is ignored.
    if (config != nullptr && config[0] == '/') {
        written = std::snprintf(path, capacity, "%s/zarvo/Config", config);
    } else if (home != nullptr && home[0] != '\0') {
        written = std::snprintf(path, capacity, "%s/.config/zarvo/Config", home);
    }
    return written > 0 && static_cast<size_t>(written) < capacity ? 1 : 0;
}

long ReadSettingsFile(const char* path, uint8_t (&bytes)[kSettingsRecordSize + 1]) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer. Only a
    // regular file can hold a record; a FIFO or a device could block a read.
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info;
    ssize_t size = 0;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) size = ReadUpTo(fd, bytes, sizeof bytes);
    close(fd);
    return size < 0 ? 0 : static_cast<long>(size);
}

int ReadSettingsFrom(const char* location, SettingsRecord* record) {
    uint8_t buffer[kSettingsRecordSize + 1];
    const long size = ReadSettingsFile(location, buffer);
    if (size <= 0) return 0;
    return DecodeSettings(buffer, static_cast<size_t>(size), record);
}

int WriteSettingsTo(const char* location, const SettingsRecord& record) {
    // One temporary name, used under a lock on the folder: a save killed
    // before its rename leaves at most that one file, which the next save
    // overwrites, where unique names would pile up one per killed save.
    char temporary[4096];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.new", location);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof temporary) return 1;
    if (!MakeParentDirectories(location)) return 1;
    const int folder = OpenParentDirectory(location);
    if (folder < 0) return 1;
    // The lock only keeps two saves from sharing the temporary name; where
    // the file system has no locks (some network homes) a save goes ahead
    // without one rather than storing nothing. Failures are silent; the
    // stored file is left as it was.
    flock(folder, LOCK_EX);
    if (ReplaceWith(temporary, location, record)) fsync(folder);
    close(folder);  // releases the lock
    return 1;
}

int ReadSettings(SettingsRecord* record) {
    char path[4096];
    return SettingsFilePath(path, sizeof path) ? ReadSettingsFrom(path, record) : 0;
}

int WriteSettings(const SettingsRecord& record) {
    char path[4096];
    if (SettingsFilePath(path, sizeof path)) WriteSettingsTo(path, record);
    return 1;
}
