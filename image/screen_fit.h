// Fitting the 8-bit picture to a screen of another size: where it lands and
// how each screen pixel maps back to the picture (screen_scale.h writes the
// pixels). Portable: the hosts hand in their surfaces.
//
// Terms. The output is the whole scaled picture in screen pixels, the
// visible rectangle its part on the screen. A tap says which picture column
// (or row) a visible column (or row) reads, and the weight in 256ths of the
// next one it blends in where its footprint straddles the edge. A run is a
// stretch of visible columns with the same tap; a reach, the visible columns
// (or rows) reading one picture column (or row); a fit column, how a
// magnified picture column lays out: pure columns, then maybe one blend.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/picture_size.h"
#include "image/rect.h"
#include "image/row_spans.h"

struct PaletteEntry;

// Largest screen side accepted (X11's own limit); a larger or non-positive
// side places nothing.
constexpr int kMaxScreenSide = 32767;

// Where the picture lands on the screen and at what factor.
struct PicturePlacement {
    PictureSize size;
    int pictureWidth;
    int pictureHeight;
    int screenWidth;
    int screenHeight;
    // The whole scaled picture in screen pixels; centred on a screen smaller
    // than the picture, and in cover, it reaches past the screen's edges.
    Rect output;
    // The part of `output` on the screen: the only pixels ever written.
    Rect visible;
    // Screen pixels per picture pixel, in lowest terms: k/1 for the whole
    // multiples, the limiting side's ratio for fit, the covering side's for
    // cover (the other side is rounded to whole pixels, so its own ratio
    // differs by under a pixel).
    int factorNumerator;
    int factorDenominator;
};

// The placement for a picture and a screen. Sizes that are 0, negative or too
// large give an empty output and visible rectangle (and factor 1/1). Cover
// keeps the picture rectangle `keep` whole on the screen (the scene's
// strip): it shifts the crop, and on a screen too narrow or too flat for
// `keep` at the covering size, shrinks the picture until it fits, leaving
// black beside it. Other sizes ignore `keep`.
PicturePlacement PlacePicture(PictureSize size, int pictureWidth, int pictureHeight, int screenWidth, int screenHeight,
                              Rect keep = Rect{0, 0, 0, 0});

// What one screen column (or row) of the output shows: picture column
// `index`, and when its footprint straddles the edge to index + 1, that
// neighbour's share in kWeightOne parts (1 to kWeightOne - 1; 0 when it lies
// inside one pixel).
constexpr int kWeightOne = 256;
struct FitTap {
    int32_t index;
    int32_t weight;
};

// A placement with one tap per visible column and row: columns[i] belongs to
// screen column visible.x + i, rows[i] to screen row visible.y + i.
// Visible columns [begin, end) that share one tap: inside a picture pixel
// a whole run is one colour, filled along the row.
struct FitRun {
    int32_t index;
    int32_t next;  // index + 1 when weighted, else index: always a readable column
    int32_t weight;
    int32_t begin;
    int32_t end;
};

// The visible columns (or rows) [begin, end) that read one picture column
// (or row); none when it is off the screen or skipped by shrinking.
struct FitReach {
    int32_t begin;
    int32_t end;
};

// A picture column where the picture is magnified: visible columns
// [start, start + pure) show it alone, and when blend is above 0 the
// column after them blends it with the next one by that weight.
struct FitColumn {
    int32_t start;  // kOffScreen for a column no visible column shows
    int32_t pure;
    int32_t blend;
};
constexpr int32_t kOffScreen = INT32_MAX / 2;

// The 16 visible columns from one as lanes of 16 picture bytes read from
// column `from`: lane i holds the offset from `from` of the column under
// the centre of visible column i (past the last visible column, the last
// one's).
struct FitShuffle {
    int32_t from;
    uint8_t lanes[16];
};

struct ScreenFit {
    PicturePlacement placement;
    FitTap* columns;
    FitTap* rows;
    FitRun* runs;
    int32_t* runOfColumn;  // per visible column
    // Per picture column; null unless the picture is magnified (or 1:1)
    // with no column shown alone on more than 4 screen columns.
    FitColumn* pictureColumns;
    // Beside pictureColumns, each column's blend weight in both 16-bit
    // halves: four columns' weights are one load.
    uint32_t* columnWeights;
    FitReach* columnReach;  // per picture column
    FitReach* rowReach;     // per picture row
    // Per visible column, the picture column under its centre: what a
    // palette screen's pixel shows. Only palette screens read these two,
    // so they are built when one is first drawn through the fit
    // (PreparePaletteColumns), a cache the drawing fills like the working
    // lines below; null until then.
    mutable int32_t* nearestColumns;
    // Per visible column, where the picture is magnified (each 16 visible
    // columns read within 16 picture columns) and the processor shuffles
    // bytes (SSSE3); null otherwise.
    mutable FitShuffle* shuffles;
    // Two visible rows of working space for the scaling: a picture row
    // scaled along x once, then copied or blended into the screen rows
    // that read it. A fit is drawn through by one thread at a time. Each
    // line has kLinePadding pixels more, for 16-byte stores at its end.
    uint32_t* lines;
};
constexpr int kLinePadding = 4;

// PlacePicture's placement with its taps. Null when memory runs out; an empty
// placement gives a fit without taps, which writes nothing.
ScreenFit* CreateScreenFit(PictureSize size, int pictureWidth, int pictureHeight, int screenWidth, int screenHeight,
                           Rect keep = Rect{0, 0, 0, 0});
void DestroyScreenFit(ScreenFit* fit);

// The fit's nearestColumns (and shuffles, where they apply), built unless
// they are there already: what drawing a palette screen reads. 0 when
// memory runs out or the fit places nothing.
int PreparePaletteColumns(const ScreenFit* fit);

// The screen pixels whose value depends on any pixel of the picture rectangle
// `source` (clipped to the picture), within the visible output; empty when
// none does. One paint of the whole picture and one of each changed strip
// together write every one of them.
Rect ScreenRectOf(const ScreenFit* fit, Rect source);

// 0x00RRGGBB of each palette entry, the table the scaling reads.
void BuildRgbTable(const PaletteEntry* entries, uint32_t table[kColorCount]);

// 1 where the factor is a whole k and the screen's edges cut no k x k block:
// k is 1 (centred), or the output lies wholly on the screen (whole
// multiples; fit and cover at a whole factor, unless cover crops).
int HasWholeBlocks(const PicturePlacement& placement);

// For a host that stretches with the platform (StretchDIBits) on palette
// screens: where the placement HasWholeBlocks, the picture rectangle `from`
// and the screen rectangle `to` = ScreenRectOf(fit, source) that is exactly
// its k-fold image; 1 then. 0 for a fractional factor, whose rounding in the
// platform's stretch would not line a strip up with the whole picture
// (ScalePictureRect does on palette screens), for blocks cut by the screen's
// edge, or when nothing of `source` is on the screen.
int WholeFactorRects(const ScreenFit* fit, Rect source, Rect* from, Rect* to);
