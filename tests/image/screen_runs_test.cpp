// A row's runs cover every column added to it and only a few more, in at
// most kMaxRowRuns sorted, apart runs; a copy moves exactly the run pixels.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/screen_runs.h"

namespace {

constexpr int kWidth = 200, kHeight = 6;

TEST(ScreenRuns, RowsCoverWhatWasAddedInAFewSortedRuns) {
    std::mt19937 random(2026);
    for (int trial = 0; trial < 200; ++trial) {
        SCOPED_TRACE(trial);
        ScreenRuns runs;
        ASSERT_TRUE(CreateScreenRuns(&runs, kWidth, kHeight));
        std::vector<uint8_t> added(kWidth * kHeight, 0);
        const int count = 1 + int(random() % 80);
        for (int i = 0; i < count; ++i) {
            // Some rows outside the record, which are left out.
            const int y = int(random() % (kHeight + 2)) - 1;
            // Some reaching past the sides, which are cut to the surface.
            const int begin = int(random() % (kWidth + 8)) - 4, end = begin + int(random() % 8);
            AddScreenRun(&runs, y, begin, end);
            if (y < 0 || y >= kHeight) continue;
            for (int x = std::max(begin, 0); x < std::min(end, kWidth); ++x) added[y * kWidth + x] = 1;
        }
        std::vector<uint32_t> from(kWidth * kHeight), to(kWidth * kHeight, 0);
        for (size_t i = 0; i < from.size(); ++i) from[i] = uint32_t(i + 1);
        const Rect area{0, 0, kWidth, kHeight};
        CopyScreenRuns(runs, RgbPixels{from.data(), kWidth, area}, RgbPixels{to.data(), kWidth, area});
        for (int y = 0; y < kHeight; ++y) {
            const RowRuns& row = runs.rows[y];
            ASSERT_LE(row.count, kMaxRowRuns);
            for (int k = 0; k < row.count; ++k) {
                EXPECT_LT(row.runs[k].begin, row.runs[k].end);
                if (k > 0) {
                    EXPECT_LT(row.runs[k - 1].end, row.runs[k].begin) << "row " << y;
                }
            }
            int addedHere = 0, copiedHere = 0;
            for (int x = 0; x < kWidth; ++x) {
                const size_t i = size_t(y) * kWidth + size_t(x);
                if (added[i]) {
                    EXPECT_EQ(to[i], from[i]) << "column " << x << " of row " << y << " not copied";
                }
                addedHere += added[i];
                copiedHere += to[i] != 0;
            }
            // Joining nearest runs takes in gaps, never columns outside them.
            if (addedHere == 0) {
                EXPECT_EQ(copiedHere, 0) << "row " << y;
            } else {
                EXPECT_LE(copiedHere, row.runs[row.count - 1].end - row.runs[0].begin) << "row " << y;
            }
        }
        ClearScreenRuns(&runs);
        for (int y = 0; y < kHeight; ++y) EXPECT_EQ(runs.rows[y].count, 0);
        DestroyScreenRuns(&runs);
    }
}

}  // namespace
