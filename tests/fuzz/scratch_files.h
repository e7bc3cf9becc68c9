// Files of the fuzz targets that read from disk: a folder of their own for
// the run, removed at exit, and an input written as a whole file.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

inline std::vector<std::string>& ScratchFolders() {
    static std::vector<std::string> folders;
    return folders;
}

// In memory they would outlive every replay run.
inline void RemoveScratchFolders() {
    std::error_code ignored;
    for (const std::string& folder : ScratchFolders()) std::filesystem::remove_all(folder, ignored);
}

// A new folder named after `name`; memory-backed when /dev/shm exists, since
// replacing a file on a disk file system starts its write-back on close.
inline std::string MakeScratchFolder(const char* name) {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string folder = std::string(base) + "/zarvo-" + name + "-XXXXXX";
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    if (ScratchFolders().empty()) std::atexit(RemoveScratchFolders);
    ScratchFolders().push_back(folder);
    return folder;
}

inline void WriteWholeFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}
