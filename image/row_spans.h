// Where two rows of 8-bit pixels differ, as a few spans of columns: what a
// tick changed in the picture, so only those pixels are pasted, scaled and
// put on the screen.
//
// Terms. A span is a run of columns [begin, end) of one row; a gap, the
// unchanged columns between two spans, which a span swallows when shorter
// than kSpanGap. A block is a group of rows compared together; pasting
// copies a row's spans from the frame (`now`) into the record of what the
// screen shows (`shown`).
#pragma once

#include <cstdint>

#include "image/image.h"

// Columns [begin, end).
struct ColumnSpan {
    int begin;
    int end;
};

// A row's differing spans in increasing order; more than this many and the
// last one takes in the rest, so a screen row is written in a few pieces.
constexpr int kMaxRowSpans = 4;

struct RowSpans {
    int count;
    ColumnSpan spans[kMaxRowSpans];
};

// Unchanged runs this short are kept inside a span: starting another span
// of screen rows costs about what writing some 40 screen pixels more does
// (16 picture pixels at 3840 x 2160 fill presented fastest of 8, 16 and
// 32). It is at least a word, as rows are compared eight bytes at a time.
constexpr int kSpanGap = 16;

// The spans of [0, width) where `a` and `b` differ, each shifted by `offset`
// (the row's first column in the caller's coordinates). 0 spans when the
// rows are equal or width is not positive.
void FindDifferingSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans);

// Where a block of rows differed: columns and rows [begin, end), in the
// caller's coordinates; empty (columns.end <= columns.begin) when nothing did.
struct DifferingBlock {
    ColumnSpan columns;
    ColumnSpan rows;
};

// A block of rows.width x rows.height pixels, `now` and `shown` holding it
// from their top-left pixel: each row's differing spans are copied from
// `now` into `shown`, as the block now shows on the screen, and kept in
// spans[row] when `spans` is not null (bytes that were equal already may be
// written too, which changes nothing). Columns and rows are reported from
// (x, y). `shown` is read for its pixels and stride; its size is `now`'s.
DifferingBlock PasteDifferingRows(const ImageRows& now, const ImageRows& shown, int x, int y, RowSpans* spans);

// The same block for a caller that needs only where it differed: `shown`
// is left holding what `now` holds, and no spans are kept. It may write
// bytes that were equal already (that changes nothing). The block returned
// is PasteDifferingRows' exactly.
DifferingBlock PasteDifferingBox(const ImageRows& now, const ImageRows& shown, int x, int y);
