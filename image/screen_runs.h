// Per screen row, the runs of columns written since some moment: what a
// surface that missed those writes needs copied from one that has them.
#pragma once

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

// Adds columns [begin, end) of row y, cut to the surface.
void AddScreenRun(ScreenRuns* runs, int y, int begin, int end);

// Copies the runs' pixels from one surface to another of the same area and
// pitch, the area (0, 0, width, height) of the runs or larger.
void CopyScreenRuns(const ScreenRuns& runs, const RgbPixels& from, const RgbPixels& to);
