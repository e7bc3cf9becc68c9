// The buffers' bookkeeping: a buffer taken for drawing holds what the one
// drawn last holds, whichever rectangles or ticks it missed, and a buffer
// the compositor holds is never handed out.
#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "tests/scene/scene_test_support.h"
#include "wayland/wayland.h"

namespace {

constexpr int kWidth = 16, kHeight = 8;

struct Fixture {
    WaylandSurface surface{};
    std::vector<uint32_t> memory[kBuffersPerSurface];

    Fixture() {
        surface.width = kWidth;
        surface.height = kHeight;
        surface.shown = -1;
        surface.latest = -1;
        for (int i = 0; i < kBuffersPerSurface; ++i) {
            memory[i].assign(kWidth * kHeight, 0);
            surface.buffers[i].pixels = memory[i].data();
        }
    }
    // Draws `value` over `rect` of buffer `index` and shows it (held by the compositor).
    void DrawAndShow(int index, Rect rect, uint32_t value) {
        for (int y = rect.y; y < rect.y + rect.height; ++y) {
            for (int x = rect.x; x < rect.x + rect.width; ++x) memory[index][y * kWidth + x] = value;
        }
        NoteDrawn(&surface, index, &rect, 1);
        surface.buffers[index].busy = 1;
        surface.shown = index;
    }
};

TEST(WaylandBuffers, ATakenBufferHoldsWhatTheLatestOneHolds) {
    struct Case {
        const char* what;
        int draws;         // rectangles drawn into buffer 0 after buffer 1 was brought up to date
        int releaseShown;  // the compositor released the shown buffer too
        int holdOther;     // the compositor still holds the other buffer
        int expected;      // the buffer handed out, -1 for none
    };
    const Case cases[] = {
        {"a few missed rectangles are copied", 3, 0, 0, 1},
        {"more than the list holds: merged, still every one copied", kMaxMissedRects + 5, 0, 0, 1},
        {"the one drawn last, released, is reused as it is", 3, 1, 1, 0},
        {"both released: the one drawn last, nothing copied", 3, 1, 0, 0},
        {"both held: none", 3, 0, 1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        // Both buffers start equal and up to date with each other.
        f.DrawAndShow(0, Rect{0, 0, kWidth, kHeight}, 7);
        ASSERT_EQ(TakeFreeBuffer(&f.surface), 1);
        f.DrawAndShow(1, Rect{0, 0, kWidth, kHeight}, 7);
        f.surface.buffers[0].busy = 0;
        ASSERT_EQ(TakeFreeBuffer(&f.surface), 0);
        f.surface.buffers[1].busy = 0;
        for (int i = 0; i < c.draws; ++i) {
            f.DrawAndShow(0, Rect{i % kWidth, (i / kWidth) % kHeight, 1, 1}, 100 + static_cast<uint32_t>(i));
        }
        f.surface.buffers[0].busy = !c.releaseShown;
        f.surface.buffers[1].busy = c.holdOther;
        const int taken = TakeFreeBuffer(&f.surface);
        ASSERT_EQ(taken, c.expected);
        if (taken >= 0) {
            EXPECT_EQ(f.memory[taken], f.memory[0]);
        }
        if (taken == 1) {
            EXPECT_EQ(f.surface.buffers[1].missedCount, 0);
            EXPECT_EQ(f.surface.buffers[1].missedAll, 0);
        }
    }
}

// A buffer that missed everything (fresh, or past the list) gets every pixel.
TEST(WaylandBuffers, AFreshBufferGetsTheWholePicture) {
    Fixture f;
    f.surface.buffers[1].missedAll = 1;
    f.DrawAndShow(0, Rect{0, 0, kWidth, kHeight}, 5);
    f.DrawAndShow(0, Rect{3, 2, 4, 3}, 9);
    ASSERT_EQ(TakeFreeBuffer(&f.surface), 1);
    EXPECT_EQ(f.memory[1], f.memory[0]);
}

// A scene's ticks drawn into the buffers as the compositor lets go of
// them: one holding the shown buffer until the next commit (a buffer then
// misses one tick, and copies only what its present wrote), or one copying
// at once and letting the drawn one go (the other then misses several, and
// copies their rectangles). Whenever a buffer is taken it equals a whole
// paint of the same moment.
TEST(WaylandBuffers, ATakenBufferEqualsAWholePaintWhateverTicksItMissed) {
    struct Case {
        PictureSize size;
        int width, height;
        int copyingOneIn;  // ticks on which the compositor copies at once: one in this many; 0 never
        int rowRoom;       // 0: the view's own; 510 rows hold some of this scene's presents at 1920 x 1080
    };
    const Case cases[] = {
        {kPictureFit, 1920, 1080, 0, 0},     {kPictureFit, 1920, 1080, 3, 0},
        {kPictureCentred, 1280, 1024, 2, 0}, {kPictureFit, 700, 1300, 3, 0},
        {kPictureCentred, 800, 600, 4, 0},   {kPictureWholeMultiples, 1300, 1000, 3, 0},
        {kPictureFit, 1920, 1080, 3, 510},
    };
    for (const Case& c : cases) {
        const int w = c.width, h = c.height;
        SCOPED_TRACE(testing::Message() << PictureSizeName(c.size) << " " << w << "x" << h << " copying 1 in "
                                        << c.copyingOneIn << " room " << c.rowRoom);
        Scene* scenes[2] = {SetUpScene(FullScreenWindow(w, h), kDefaultSettings, 7).scene,
                            SetUpScene(FullScreenWindow(w, h), kDefaultSettings, 7).scene};
        ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr);
        ScreenView* reference = CreateScreenView(scenes[1], c.size, w, h);
        auto host = std::make_unique<WaylandHost>();
        host->run.areas[0].view = CreateScreenView(scenes[0], c.size, w, h);
        ASSERT_TRUE(reference != nullptr && host->run.areas[0].view != nullptr);
        ScreenView& view = *host->run.areas[0].view;
        view.keepsWritten = 1;
        if (c.rowRoom > 0) view.writtenRowRoom = c.rowRoom;
        WaylandSurface surface{};
        surface.host = host.get();
        surface.width = w;
        surface.height = h;
        surface.latest = -1;
        std::vector<uint32_t> memory[kBuffersPerSurface], painted(size_t(w) * size_t(h));
        for (int i = 0; i < kBuffersPerSurface; ++i) {
            memory[i].assign(size_t(w) * size_t(h), 0x123456);
            surface.buffers[i].pixels = memory[i].data();
            surface.buffers[i].missedAll = 1;
            ASSERT_TRUE(CreateScreenRuns(&surface.buffers[i].missedRuns, w, h));
        }
        const Rect whole{0, 0, w, h};
        std::mt19937 random(uint32_t(w + c.copyingOneIn));
        int severalMissed = 0, missedTicks[kBuffersPerSurface] = {};
        for (int t = 0; t < 24; ++t) {
            const int index = TakeFreeBuffer(&surface);
            ASSERT_GE(index, 0);
            if (t == 0) {
                PaintScreenView(view, RgbPixels{memory[index].data(), w, whole});
                NoteDrawn(&surface, index, &whole, 1);
                surface.buffers[index].missedAll = 0;
            } else {
                EXPECT_EQ(memory[index], painted) << "tick " << t;
                TickScreenView(view, RgbPixels{memory[index].data(), w, whole});
                NotePresentDrawn(&surface, index, view);
                // Buffers taken in turn, each caught up once: the other one's
                // record must know the very pixels, not fall back.
                if (c.copyingOneIn == 0 && c.rowRoom == 0 && t >= 2) {
                    EXPECT_TRUE(surface.buffers[1 - index].missedRunsKnown) << "tick " << t;
                }
                ForgetShownPicture(*reference);
                TickScreenView(*reference, RgbPixels{painted.data(), w, whole});
            }
            PaintScreenView(*reference, RgbPixels{painted.data(), w, whole});
            for (int i = 0; i < kBuffersPerSurface; ++i) {
                missedTicks[i] = i == index ? 0 : missedTicks[i] + 1;
                severalMissed += missedTicks[i] > 1;
            }
            const bool copying = c.copyingOneIn > 0 && random() % uint32_t(c.copyingOneIn) == 0;
            for (int i = 0; i < kBuffersPerSurface; ++i) surface.buffers[i].busy = i == index && !copying;
        }
        for (WaylandBuffer& buffer : surface.buffers) DestroyScreenRuns(&buffer.missedRuns);
        if (c.copyingOneIn > 0) {
            EXPECT_GT(severalMissed, 0) << "no buffer missed more than one tick";
        }
        DestroyScreenView(host->run.areas[0].view);
        DestroyScreenView(reference);
        DestroyScene(scenes[0]);
        DestroyScene(scenes[1]);
    }
}

}  // namespace
