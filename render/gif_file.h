// An animated GIF written frame by frame (giflib): the scene palette as its
// one colour table, looping for ever.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"
#include "render/gif_frames.h"

struct GifFileType;

struct GifWriter {
    GifFileType* file;
    int width;
    int height;
    std::vector<uint8_t> previous;  // the last frame written; empty before the first
};

// Null when the file cannot be made.
GifWriter* OpenGif(const char* path, int width, int height, const uint32_t table[kColorCount]);
// Adds the width x height frame of colour indices, shown for `delay`
// hundredths of a second; `area` bounds where it may differ from the last.
// 1 when written.
int AddGifFrame(GifWriter& writer, const std::vector<uint8_t>& frame, Rect area, int delay);
// Finishes the file and frees the writer; 1 when the file is complete.
int CloseGif(GifWriter* writer);
