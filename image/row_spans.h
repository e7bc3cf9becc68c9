// Where two rows of 8-bit pixels differ, as a few spans of columns: what a
// tick changed in the picture, so only those pixels are pasted, scaled and
// put on the screen.
#pragma once

#include <cstdint>

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

// Unchanged runs this short are kept inside a span. Rows are compared eight
// bytes at a time, so a shorter gap could not split a word anyway; and eight
// picture pixels are some 20 to 30 screen pixels at the usual 2.5 to 4 times,
// a write of about a hundred bytes, which costs what starting another span
// of screen rows costs.
constexpr int kSpanGap = 8;

// The spans of [0, width) where `a` and `b` differ, each shifted by `offset`
// (the row's first column in the caller's coordinates). 0 spans when the
// rows are equal or width is not positive.
void FindDifferingSpans(const uint8_t* a, const uint8_t* b, int width, int offset, RowSpans* spans);

// FindDifferingSpans of `now` and `shown`, then each span copied from `now`
// into `shown`: what a present does before it puts the spans on the screen.
void PasteDifferingSpans(const uint8_t* now, uint8_t* shown, int width, int offset, RowSpans* spans);
