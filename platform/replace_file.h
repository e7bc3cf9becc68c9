// Small files read whole and replaced atomically, where settings live in
// files: a crash or a kill never leaves half a file behind.
#pragma once

#include <cstddef>
#include <cstdint>

// Reads at most `capacity` bytes of the file at `path` into `bytes`: the
// count read; 0 for an empty file, one that is not a regular file (a FIFO or
// a device could block) or a read error; -1 when it cannot be opened.
long ReadRegularFile(const char* path, uint8_t* bytes, size_t capacity);

// Puts `size` bytes in place of the file at `path`, making its missing
// folders: written to `path`.new, synced and renamed over it. 1 when the new
// contents are in place; on failure the old file is left as it was.
int ReplaceFile(const char* path, const uint8_t* bytes, size_t size);
