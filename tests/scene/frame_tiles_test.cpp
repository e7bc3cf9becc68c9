// Frames that restore only what the last frame drew equal frames that
// restore the whole strip, tick after tick; the rectangles a frame reports
// changed cover every pixel it changed; and a row's runs of marked tiles
// come out the same with their gaps joined first; and the rectangles of
// rows of runs come out the same however the one above a run is found.
#include <random>
#include <vector>

#include "scene/frame_tiles.h"
#include "scene/screen_view.h"
#include "tests/scene/scene_test_support.h"

namespace {

constexpr uint32_t kSeed = 20261207;
constexpr int kTicks = 250;

std::vector<Scenario> Scenarios() {
    return {
        {"default-1024x768", 1024, 768, kDefaultSettings},    {"maximum-800x600", 800, 600, SettingsAtMaximum()},
        {"minimum-640x480", 640, 480, SettingsAtMinimum()},   {"default-1280x1024", 1280, 1024, kDefaultSettings},
        {"maximum-1024x600", 1024, 600, SettingsAtMaximum()},
    };
}

std::vector<uint8_t> FramePixels(const Scene& scene) {
    std::vector<uint8_t> pixels;
    for (int y = 0; y < ImageHeight(scene.frameImage); ++y) {
        const uint8_t* row = PixelAddress(scene.frameImage, 0, y);
        pixels.insert(pixels.end(), row, row + ImageWidth(scene.frameImage));
    }
    return pixels;
}

Scene* SetUpScenario(const Scenario& s) {
    return SetUpScene(FullScreenWindow(s.width, s.height), s.settings, kSeed).scene;
}

// The reference draws every frame the plain way: the whole strip restored
// from the picture and the fixed pieces drawn whole. Halfway through, both
// scenes restart with other settings, as the fuzzer restarts one: the
// figures jump, and what they left must still go.
TEST(FrameTilesTest, TileRestoredFramesEqualWholeRestoredFrames) {
    int withFixedImage = 0;
    for (const Scenario& s : Scenarios()) {
        Scene* tiled = SetUpScenario(s);
        Scene* whole = SetUpScenario(s);
        ASSERT_TRUE(tiled != nullptr && whole != nullptr) << s.name;
        withFixedImage += tiled->fixedImage != nullptr;
        DestroyImage(whole->fixedImage);
        whole->fixedImage = nullptr;
        for (int tick = 1; tick <= kTicks; ++tick) {
            if (tick == kTicks / 2) {
                RestartScene(*tiled, SettingsAtMaximum(), kSeed + 1);
                RestartScene(*whole, SettingsAtMaximum(), kSeed + 1);
            }
            ComposeFrame(*tiled);
            InvalidateFrame(*whole);
            ComposeFrame(*whole);
            ASSERT_EQ(FramePixels(*tiled), FramePixels(*whole)) << s.name << " tick " << tick;
        }
        DestroyScene(tiled);
        DestroyScene(whole);
    }
    EXPECT_GT(withFixedImage, 0) << "no scenario restored from a fixed image";
}

int Inside(const Rect* rects, int count, int x, int y) {
    for (int i = 0; i < count; ++i) {
        const Rect& r = rects[i];
        if (x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height) return 1;
    }
    return 0;
}

TEST(FrameTilesTest, ChangedRectanglesCoverEveryChangedPixel) {
    constexpr int kMaxRects = kMaxViewChanges;
    for (const Scenario& s : Scenarios()) {
        Scene* scene = SetUpScenario(s);
        ASSERT_NE(scene, nullptr) << s.name;
        const int width = ImageWidth(scene->frameImage), height = ImageHeight(scene->frameImage);
        Rect rects[kMaxRects];
        ComposeFrame(*scene);
        // The first frame, like any after InvalidateFrame, is reported whole.
        ASSERT_EQ(FrameChangedRects(*scene, rects, kMaxRects), 1) << s.name;
        EXPECT_TRUE(rects[0].x == 0 && rects[0].y == 0 && rects[0].width == width && rects[0].height == height);
        long reported = 0;
        for (int tick = 2; tick <= kTicks; ++tick) {
            const std::vector<uint8_t> before = FramePixels(*scene);
            ComposeFrame(*scene);
            const std::vector<uint8_t> after = FramePixels(*scene);
            const int count = FrameChangedRects(*scene, rects, kMaxRects);
            ASSERT_TRUE(count >= 0 && count <= kMaxRects) << s.name;
            long missed = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    const size_t i = size_t(y) * size_t(width) + size_t(x);
                    missed += before[i] != after[i] && !Inside(rects, count, x, y);
                }
            }
            ASSERT_EQ(missed, 0) << s.name << " tick " << tick;
            for (int i = 0; i < count; ++i) {
                EXPECT_TRUE(rects[i].x >= 0 && rects[i].y >= 0 && rects[i].x + rects[i].width <= width &&
                            rects[i].y + rects[i].height <= height)
                    << s.name << " tick " << tick;
                reported += int64_t{rects[i].width} * rects[i].height;
            }
        }
        // Not the whole strip every tick: that would cover everything trivially.
        EXPECT_LT(reported, int64_t{width} * height * (kTicks - 1) / 2) << s.name;
        DestroyScene(scene);
    }
}

std::vector<std::pair<int, int>> RunsOf(uint64_t bits, int gap) {
    std::vector<std::pair<int, int>> runs;
    for (TileRun run = FirstTileRun(bits, gap); run.end > run.start; run = FirstTileRun(run.bits, gap)) {
        runs.emplace_back(run.start, run.end);
    }
    return runs;
}

// Rows of marks sparse and dense, with gaps of every length up to past the
// widest joined, and set bits at both ends of the word.
TEST(FrameTilesTest, JoinedGapsGiveTheRunsOfTheLoopThatJoinsThem) {
    std::mt19937_64 random(3);
    std::vector<uint64_t> rows = {0,
                                  ~uint64_t{0},
                                  1,
                                  uint64_t{1} << 63,
                                  0x8000000000000001u,
                                  0x9u,
                                  0x11u,
                                  0x21u,
                                  0xC000000000000003u,
                                  0x5555555555555555u,
                                  0x4924924924924924u};
    for (int k = 0; k < 400; ++k) {
        uint64_t bits = random();
        for (int thin = k % 4; thin > 0; --thin) bits &= random();
        rows.push_back(bits);
    }
    for (const uint64_t bits : rows) {
        for (int gap = 0; gap <= 9; ++gap) {
            EXPECT_EQ(RunsOf(JoinTileGaps(bits, gap), 0), RunsOf(bits, gap)) << std::hex << bits << " gap " << gap;
        }
    }
}

// The rectangles made, side after side.
std::vector<int> RectsOf(const std::vector<uint64_t>& rows, int width, int height, int max, int byColumn) {
    std::vector<Rect> rects(size_t(std::max(max, 0)) + 1);
    const int count = RowRunRects(rows.data(), int(rows.size()), width, height, rects.data(), max, byColumn);
    std::vector<int> sides;
    for (int i = 0; i < count; ++i)
        sides.insert(sides.end(), {rects[i].x, rects[i].y, rects[i].width, rects[i].height});
    return sides;
}

// Tile maps sparse and dense, of every height to the full 64 rows, with runs
// at both ends of the word and frames cut inside the last tile row and
// column; each with room from none to one more than it needs (every count
// at first, then in steps, and each of the last three), so that rectangles
// run out in rows of every kind.
TEST(FrameTilesTest, RectanglesLookedUpByColumnAreThoseWalkedTo) {
    std::mt19937_64 random(5);
    std::vector<std::vector<uint64_t>> maps = {
        {0}, {~uint64_t{0}}, {1, 1, 1}, {uint64_t{1} << 63, 0x8000000000000001u}};
    for (int k = 0; k < 300; ++k) {
        std::vector<uint64_t> rows(size_t(1 + random() % kFrameTileRows));
        // Rows taken from one row and its two ends lengthen some rectangles
        // of the row above and start others; random rows start new ones.
        uint64_t steady = random();
        for (int thin = k % 5; thin > 0; --thin) steady &= random();
        const uint64_t kinds[3] = {steady, steady & (~uint64_t{0} << (random() % 64)),
                                   steady & (~uint64_t{0} >> (random() % 64))};
        for (uint64_t& row : rows) {
            row = random();
            for (int thin = k % 5; thin > 0; --thin) row &= random();
            if (random() % 4 != 0) row = kinds[random() % 3];
        }
        maps.push_back(rows);
    }
    for (const std::vector<uint64_t>& rows : maps) {
        const int width = kFrameTileColumns * kFrameTileWidth - int(rows[0] % 16);
        const int height = int(rows.size()) * kFrameTileHeight - int(rows.back() % 8);
        const int needed = int(RectsOf(rows, width, height, kFrameTileColumns * kFrameTileRows, 0).size() / 4);
        for (int max = 0; max <= needed + 1; max = max < 48 || max >= needed - 2 ? max + 1 : max + 1 + max / 8) {
            ASSERT_EQ(RectsOf(rows, width, height, max, 1), RectsOf(rows, width, height, max, 0))
                << std::hex << rows[0] << std::dec << " max " << max;
        }
    }
}

}  // namespace
