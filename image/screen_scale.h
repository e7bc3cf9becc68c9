// Scaling changed parts of the picture into a 32-bit or 8-bit screen
// surface through a ScreenFit: a whole rectangle, or only the spans of
// columns a tick changed on each picture row.
//
// Terms. A target is a surface holding one screen rectangle, its area. A
// picture row's spans (row_spans.h) are the columns that changed; their
// footprint on a screen row is the visible columns that read them. A working
// line is one picture row scaled along x once, which the screen rows reading
// it copy, or blend with the next row's line where they straddle the two.
#pragma once

#include <cstdint>

#include "image/screen_fit.h"

// A surface holding the screen rectangle `area` (screen coordinates); pixel
// (X, Y) of the screen is pixels[(Y - area.y) * pitch + X - area.x]. A whole
// screen's surface has area (0, 0, width, height); a strip's may be smaller.
// Pixels are 0x00RRGGBB on true-colour screens, palette indices on palette
// screens.
template <typename Pixel>
struct ScreenPixels {
    Pixel* pixels;
    int pitch;  // in pixels
    Rect area;
};
using RgbPixels = ScreenPixels<uint32_t>;
using IndexPixels = ScreenPixels<uint8_t>;

// Writes ScreenRectOf(fit, source) ∩ target.area. On true-colour screens
// pixels inside one picture pixel take its colour from the table, those on
// an uneven block's edge blend the two (four at a corner) by coverage in
// integer arithmetic; on palette screens each takes the index of the
// picture pixel under its centre (nearest-neighbour; the table is not
// read). Each screen pixel is a function of the whole picture alone, so a
// strip gives the same bytes as the whole picture. 0 when the picture does
// not have the placement's size or an argument is unusable (on palette
// screens also when the fit's palette columns cannot be built).
template <typename Pixel>
int ScalePictureRect(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount], Rect source,
                     const ScreenPixels<Pixel>& target);

// Spans of picture columns on the picture rows [top, top + rowCount):
// rows[i] holds those of row top + i. Spans are in increasing order and
// inside the picture (others are cut to it).
struct PictureSpans {
    int top;
    int rowCount;
    const RowSpans* rows;
};

// As ScalePictureRect, for only the screen pixels that read a pixel of the
// spans: on each screen row the footprints of the spans of the one or two
// picture rows it reads, within target.area. All of them lie in
// ScreenRectOf the spans' bounding box. 0 when an argument is unusable.
template <typename Pixel>
int ScalePictureSpans(const ScreenFit* fit, const Image* picture, const uint32_t table[kColorCount],
                      const PictureSpans& spans, const ScreenPixels<Pixel>& target);

struct ScreenRuns;
// Adds to `runs` exactly the screen pixels ScalePictureSpans writes for
// `spans` on a target holding `area`, row and column counted from the
// area's corner. 0 when an argument is unusable.
int AddSpanFootprints(const ScreenFit* fit, const PictureSpans& spans, Rect area, ScreenRuns* runs);
