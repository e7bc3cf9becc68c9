// The frames of an animated GIF as zarvo-render writes them: the scene's
// palette as the GIF's colour table, and after the first frame only the
// rectangle that changed, its unchanged pixels transparent, so a 100-tick
// run stays small. No file here: gif_file.cpp hands these to giflib.
#pragma once

#include <cstdint>
#include <vector>

#include "image/image.h"
#include "image/palette.h"
#include "image/screen_fit.h"

// The colour index of each 0x00RRGGBB pixel: the palette's nearest entry
// (NearestPaletteIndex), which is the entry holding that colour where one
// does; so only the blended edges of the fill size change. Each colour is
// searched for once.
class PaletteIndexer {
  public:
    explicit PaletteIndexer(const Palette* palette) : palette_(palette) {}
    uint8_t IndexOf(uint32_t rgb);

  private:
    const Palette* palette_;
    std::vector<uint32_t> known_;   // colours seen, sorted
    std::vector<uint8_t> indices_;  // their indices
};

// One GIF image: `rect` of the frame, its pixels row by row, and the index
// that stands for "as before" (-1: none, every pixel is drawn).
struct GifPatch {
    Rect rect;
    int transparent;
    std::vector<uint8_t> pixels;
};

// What changed from `previous` to `current` (width pixels a row) within
// `area`: the smallest rectangle holding every changed pixel, the others in it
// made transparent by an index no changed pixel uses. Nothing changed: one
// transparent pixel, so the frame still takes its time. `previous` null: the
// whole area, opaque.
GifPatch MakeGifPatch(const uint8_t* previous, const uint8_t* current, int width, Rect area);

// A timer period in milliseconds as GIF hundredths of a second, rounded to
// the nearest; at least 2, since browsers show 0 and 1 as a tenth of a second.
int GifDelayCentiseconds(int periodMs);
