// Reading small settings files and replacing them atomically.
#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

// Writes the bytes to `temporary` and puts it in place of `path`.
int ReplaceWith(const char* temporary, const char* path, const uint8_t* bytes, size_t size) {
    const int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return 0;
    const int written = WriteAll(fd, bytes, size) && fsync(fd) == 0;
    close(fd);
    if (written && rename(temporary, path) == 0) return 1;
    unlink(temporary);
    return 0;
}

}  // namespace

long ReadRegularFile(const char* path, uint8_t* bytes, size_t capacity) {
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
    const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat info;
    ssize_t size = 0;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) size = ReadUpTo(fd, bytes, capacity);
    close(fd);
    return size < 0 ? 0 : static_cast<long>(size);
}

int ReplaceFile(const char* path, const uint8_t* bytes, size_t size) {
    // One temporary name, used under a lock on the folder: a save killed
    // before its rename leaves at most that one file, which the next save
    // overwrites, where unique names would pile up one per killed save.
    char temporary[4096];
    const int length = std::snprintf(temporary, sizeof temporary, "%s.new", path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof temporary) return 0;
    if (!MakeParentDirectories(path)) return 0;
    const int folder = OpenParentDirectory(path);
    if (folder < 0) return 0;
    // The lock only keeps two saves from sharing the temporary name; where
    // the file system has no locks (some network homes) a save goes ahead
    // without one rather than storing nothing.
    flock(folder, LOCK_EX);
    const int replaced = ReplaceWith(temporary, path, bytes, size);
    if (replaced) fsync(folder);
    close(folder);  // releases the lock
    return replaced;
}
