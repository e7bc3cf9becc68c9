// Runs of written screen columns per row, kept sorted and apart.
#include "image/screen_runs.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Joins the two runs with the smallest gap between them.
void JoinNearest(ColumnSpan* runs, int* count) {
    int nearest = 0;
    for (int i = 1; i + 1 < *count; ++i) {
        if (runs[i + 1].begin - runs[i].end < runs[nearest + 1].begin - runs[nearest].end) nearest = i;
    }
    runs[nearest].end = runs[nearest + 1].end;
    std::copy(runs + nearest + 2, runs + *count, runs + nearest + 1);
    --*count;
}

}  // namespace

int CreateScreenRuns(ScreenRuns* runs, int width, int height) {
    *runs = ScreenRuns{nullptr, 0, 0, 0, 0};
    if (width <= 0 || height <= 0) return 0;
    runs->rows = static_cast<RowRuns*>(calloc(size_t(height), sizeof(RowRuns)));
    if (runs->rows == nullptr) return 0;
    runs->width = width;
    runs->height = height;
    return 1;
}

void DestroyScreenRuns(ScreenRuns* runs) {
    free(runs->rows);
    *runs = ScreenRuns{nullptr, 0, 0, 0, 0};
}

void ClearScreenRuns(ScreenRuns* runs) {
    for (int y = runs->top; y < runs->bottom; ++y) runs->rows[y].count = 0;
    runs->top = runs->bottom = 0;
}

void PlaceScreenRun(ScreenRuns* runs, int y, int begin, int end) {
    RowRuns& row = runs->rows[y];
    // The row's runs with the new one put in order, those it meets joined to it.
    ColumnSpan merged[kMaxRowRuns + 1];
    ColumnSpan added{begin, end};
    int n = 0;
    bool placed = false;
    for (int i = 0; i < row.count; ++i) {
        const ColumnSpan run = row.runs[i];
        if (run.end < added.begin || placed) {
            merged[n++] = run;
        } else if (run.begin > added.end) {
            merged[n++] = added;
            merged[n++] = run;
            placed = true;
        } else {
            added = ColumnSpan{std::min(added.begin, run.begin), std::max(added.end, run.end)};
        }
    }
    if (!placed) merged[n++] = added;
    if (n > kMaxRowRuns) JoinNearest(merged, &n);
    std::copy(merged, merged + n, row.runs);
    row.count = n;
}

void CopyScreenRuns(const ScreenRuns& runs, const RgbPixels& from, const RgbPixels& to) {
    for (int y = runs.top; y < runs.bottom; ++y) {
        const RowRuns& row = runs.rows[y];
        const int64_t start = int64_t{y} * to.pitch;
        for (int i = 0; i < row.count; ++i) {
            const ColumnSpan run = row.runs[i];
            std::memcpy(to.pixels + start + run.begin, from.pixels + start + run.begin,
                        size_t(run.end - run.begin) * sizeof(uint32_t));
        }
    }
}
