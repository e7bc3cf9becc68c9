// Per screen row, the runs of columns written since some moment: what a
// surface that missed those writes needs copied from one that has them.
#pragma once

#include <algorithm>
#include <cstdint>

#include "image/row_spans.h"
#include "image/screen_scale.h"

// More runs on a row than this and the two nearest are joined: a few
// columns more are copied, none is missed.
constexpr int kMaxRowRuns = 8;

struct RowRuns {
    int count;
    ColumnSpan runs[kMaxRowRuns];
};

// Rows [0, height) of a surface width pixels wide; only rows [top, bottom)
// hold runs.
struct ScreenRuns {
    RowRuns* rows;
    int width, height;
    int top, bottom;
};

// Room for `height` rows, none holding a run; 0 when memory runs out.
int CreateScreenRuns(ScreenRuns* runs, int width, int height);
void DestroyScreenRuns(ScreenRuns* runs);
void ClearScreenRuns(ScreenRuns* runs);

// Adds columns [begin, end) of row y, inside the surface, among the row's
// runs (it holds some) wherever it falls.
void PlaceScreenRun(ScreenRuns* runs, int y, int begin, int end);

// Adds columns [begin, end) of row y, cut to the surface. A present adds a
// row's footprints left to right, so most runs go after the row's last one
// or join it: that is done here, with nothing sorted or moved.
inline void AddScreenRun(ScreenRuns* runs, int y, int begin, int end) {
    begin = std::max(begin, 0);
    end = std::min(end, runs->width);
    if (y < 0 || y >= runs->height || begin >= end) return;
    RowRuns& row = runs->rows[y];
    if (row.count == 0) {
        row.runs[0] = ColumnSpan{begin, end};
        row.count = 1;
        const bool none = runs->top == runs->bottom;
        runs->top = none ? y : std::min(runs->top, y);
        runs->bottom = none ? y + 1 : std::max(runs->bottom, y + 1);
        return;
    }
    ColumnSpan* last = row.runs + row.count - 1;
    if (begin >= last->begin) {
        if (begin <= last->end) {
            last->end = std::max(last->end, end);
            return;
        }
        if (row.count < kMaxRowRuns) {
            row.runs[row.count++] = ColumnSpan{begin, end};
            return;
        }
    }
    PlaceScreenRun(runs, y, begin, end);
}

// Copies the runs' pixels from one surface to another of the same area and
// pitch, the area (0, 0, width, height) of the runs or larger.
void CopyScreenRuns(const ScreenRuns& runs, const RgbPixels& from, const RgbPixels& to);
