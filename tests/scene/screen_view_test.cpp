// The scene on a screen area: centred it draws what PaintScene and
// PresentFrame draw; scaled, every tick leaves the screen exactly as a whole
// paint of the same moment would, writing only inside the rectangles it
// lists; and which monitors get a scene.
#include <algorithm>
#include <vector>

#include "scene/screen_view.h"
#include "tests/scene/scene_test_support.h"

namespace {

constexpr uint32_t kSeed = 20261207;
constexpr int kTicks = 24;

template <typename Pixel>
struct Screen {
    Screen(int width, int height) : width(width), height(height), pixels(size_t(width) * size_t(height), Pixel{7}) {}
    int width, height;
    std::vector<Pixel> pixels;
};

RgbPixels RgbOf(Screen<uint32_t>& s) { return {s.pixels.data(), s.width, {0, 0, s.width, s.height}}; }
IndexPixels IndexOf(Screen<uint8_t>& s) { return {s.pixels.data(), s.width, {0, 0, s.width, s.height}}; }

Scene* SceneFor(int width, int height) {
    return SetUpScene(FullScreenWindow(width, height), nullptr, kDefaultSettings, kSeed).scene;
}

// Counts pixels that differ, for a readable failure.
template <typename Pixel>
long Differences(const Screen<Pixel>& a, const Screen<Pixel>& b) {
    long count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

int Inside(FitRect r, int x, int y) { return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height; }

#ifndef _WIN32  // PaintScene draws through GDI there
TEST(ScreenViewTest, CentredDrawsWhatPaintAndPresentDraw) {
    const int sizes[][2] = {{1024, 768}, {800, 600}, {640, 480}, {1280, 1024}, {1920, 1080}, {1024, 600}, {1280, 720}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        Scene* reference = SceneFor(w, h);
        Scene* shown = SceneFor(w, h);
        ASSERT_TRUE(reference != nullptr && shown != nullptr) << w << "x" << h;
        Screen<uint32_t> expected(w, h), actual(w, h);
        // What a window shows: black, then the picture.
        std::fill(expected.pixels.begin(), expected.pixels.end(), 0u);
        RgbSurface surface = {expected.pixels.data(), w, h, w, nullptr};
        reference->screen = &surface;
        ScreenView* view = CreateScreenView(shown, kPictureCentred, w, h);
        ASSERT_NE(view, nullptr);
        PaintScene(*reference, &surface);
        PaintScreenView(*view, RgbOf(actual));
        EXPECT_EQ(Differences(expected, actual), 0) << w << "x" << h << " paint";
        for (int tick = 1; tick <= kTicks; ++tick) {
            if (tick == kTicks / 2) {  // a repaint between ticks: the next present must put the whole strip
                PaintScene(*reference, &surface);
                PaintScreenView(*view, RgbOf(actual));
            }
            ComposeFrame(*reference);
            PresentFrame(*reference);
            const FitRect changed = TickScreenView(*view, RgbOf(actual));
            const SceneRect frame = FrameWindowRect(*reference);
            // Only what differs is put: all of it inside the frame's strip.
            const FitRect strip{frame.x, frame.y, frame.width, frame.height};
            EXPECT_TRUE(changed.width == 0 || (Inside(strip, changed.x, changed.y) &&
                                               Inside(strip, changed.x + changed.width - 1,
                                                      changed.y + changed.height - 1)))
                << w << "x" << h;
            EXPECT_EQ(Differences(expected, actual), 0) << w << "x" << h << " tick " << tick;
        }
        DestroyScreenView(view);
        DestroyScene(reference);
        DestroyScene(shown);
    }
}
#endif

// Ticks against whole paints, on both kinds of target, over many ticks.
// Two views of the same scene tick into targets filled with two different
// values, so a pixel was written exactly where the two agree: every one
// lies in a rectangle the view lists (and in the one returned), and the
// view's own screen, which keeps what was written, equals a whole paint of
// a third view that ran the same ticks.
template <typename Pixel, typename TargetOf, typename Paint, typename Tick>
void ExpectTicksMatchPaints(PictureSize size, int w, int h, TargetOf targetOf, Paint paint, Tick tick) {
    Scene* scenes[3] = {SceneFor(w, h), SceneFor(w, h), SceneFor(w, h)};
    ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr && scenes[2] != nullptr);
    ScreenView* views[3];
    for (int i = 0; i < 3; ++i) views[i] = CreateScreenView(scenes[i], size, w, h);
    ASSERT_TRUE(views[0] != nullptr && views[1] != nullptr && views[2] != nullptr);
    Screen<Pixel> shown(w, h), one(w, h), other(w, h), reference(w, h);
    paint(*views[0], targetOf(shown));
    long ticksWithChanges = 0;
    // Fewer ticks on the largest screens: each compares millions of pixels.
    const int ticks = int64_t{w} * h > 4000000 ? kTicks / 3 : kTicks;
    for (int t = 1; t <= ticks; ++t) {
        std::fill(one.pixels.begin(), one.pixels.end(), Pixel{0x11});
        std::fill(other.pixels.begin(), other.pixels.end(), Pixel{0x22});
        const FitRect changed = tick(*views[0], targetOf(one));
        tick(*views[1], targetOf(other));
        tick(*views[2], targetOf(reference));
        paint(*views[2], targetOf(reference));
        ticksWithChanges += changed.width > 0;
        long outside = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const size_t i = size_t(y) * size_t(w) + size_t(x);
                if (one.pixels[i] != other.pixels[i]) continue;
                shown.pixels[i] = one.pixels[i];
                bool listed = false;
                for (int k = 0; k < views[0]->changedCount && !listed; ++k) listed = Inside(views[0]->changed[k], x, y);
                outside += !(listed && Inside(changed, x, y));
            }
        }
        EXPECT_EQ(outside, 0) << PictureSizeName(size) << " " << w << "x" << h << " tick " << t;
        EXPECT_EQ(Differences(shown, reference), 0) << PictureSizeName(size) << " " << w << "x" << h << " tick " << t;
    }
    EXPECT_GT(ticksWithChanges, ticks / 2);
    for (int i = 0; i < 3; ++i) {
        DestroyScreenView(views[i]);
        DestroyScene(scenes[i]);
    }
}

TEST(ScreenViewTest, TicksLineUpWithWholePaints) {
    struct Case { PictureSize size; int width, height; };
    const Case cases[] = {
        {kPictureWholeMultiples, 1920, 1080}, {kPictureWholeMultiples, 3840, 2160}, {kPictureFill, 1920, 1080},
        {kPictureFill, 3840, 2160},           {kPictureFill, 1366, 768},            {kPictureFill, 700, 1300},
        {kPictureCentred, 1920, 1080},        {kPictureFill, 1024, 768},            {kPictureWholeMultiples, 1300, 1000},
        {kPictureCentred, 800, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(PictureSizeName(c.size)) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        ExpectTicksMatchPaints<uint32_t>(
            c.size, c.width, c.height, RgbOf, [](ScreenView& v, const RgbPixels& t) { PaintScreenView(v, t); },
            [](ScreenView& v, const RgbPixels& t) { return TickScreenView(v, t); });
        ExpectTicksMatchPaints<uint8_t>(
            c.size, c.width, c.height, IndexOf,
            [](ScreenView& v, const IndexPixels& t) { PaintScreenViewIndexed(v, t); },
            [](ScreenView& v, const IndexPixels& t) { return TickScreenViewIndexed(v, t); });
    }
}

// Something else wrote over the strip on the screen (a window's saved bits
// put back): after ForgetShownPicture the next tick writes and lists the
// whole strip, and the screen equals a whole paint of the same frame; the
// tick after it is differential again and still right.
template <typename Pixel, typename TargetOf, typename Paint, typename Tick>
void ExpectForgottenPictureRepaintsTheStrip(PictureSize size, int w, int h, TargetOf targetOf, Paint paint,
                                            Tick tick) {
    Scene* scenes[2] = {SceneFor(w, h), SceneFor(w, h)};
    ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr);
    ScreenView* views[2] = {CreateScreenView(scenes[0], size, w, h), CreateScreenView(scenes[1], size, w, h)};
    ASSERT_TRUE(views[0] != nullptr && views[1] != nullptr);
    Screen<Pixel> shown(w, h), reference(w, h);
    paint(*views[0], targetOf(shown));
    for (int t = 0; t < kTicks / 2; ++t) {
        tick(*views[0], targetOf(shown));
        tick(*views[1], targetOf(reference));
    }
    const SceneRect frame = WholeFrame(*scenes[0]);
    const FitRect strip = ScreenRectOf(views[0]->fit, FitRect{scenes[0]->frameOrigin.x, scenes[0]->frameOrigin.y,
                                                              frame.width, frame.height});
    ASSERT_GT(strip.width, 0);
    for (int y = strip.y; y < strip.y + strip.height; ++y)
        std::fill_n(shown.pixels.begin() + (int64_t{y} * w + strip.x), strip.width, Pixel{0x5A});
    ForgetShownPicture(*views[0]);
    for (int t = 0; t < 2; ++t) {
        const FitRect changed = tick(*views[0], targetOf(shown));
        tick(*views[1], targetOf(reference));
        paint(*views[1], targetOf(reference));
        if (t == 0) {
            EXPECT_TRUE(Inside(changed, strip.x, strip.y) &&
                        Inside(changed, strip.x + strip.width - 1, strip.y + strip.height - 1))
                << "expected the whole strip " << strip.width << "x" << strip.height << " listed, got "
                << changed.width << "x" << changed.height;
        }
        EXPECT_EQ(Differences(shown, reference), 0) << "tick " << t << " after forgetting";
    }
    for (int i = 0; i < 2; ++i) {
        DestroyScreenView(views[i]);
        DestroyScene(scenes[i]);
    }
}

TEST(ScreenViewTest, ForgottenPictureRepaintsTheWholeStrip) {
    struct Case { PictureSize size; int width, height; };
    const Case cases[] = {
        {kPictureCentred, 1024, 768}, {kPictureCentred, 1280, 1024}, {kPictureWholeMultiples, 2048, 1536},
        {kPictureWholeMultiples, 1300, 1000}, {kPictureFill, 1920, 1080}, {kPictureFill, 1366, 768},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(PictureSizeName(c.size)) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
        ExpectForgottenPictureRepaintsTheStrip<uint32_t>(
            c.size, c.width, c.height, RgbOf, [](ScreenView& v, const RgbPixels& t) { PaintScreenView(v, t); },
            [](ScreenView& v, const RgbPixels& t) { return TickScreenView(v, t); });
        ExpectForgottenPictureRepaintsTheStrip<uint8_t>(
            c.size, c.width, c.height, IndexOf,
            [](ScreenView& v, const IndexPixels& t) { PaintScreenViewIndexed(v, t); },
            [](ScreenView& v, const IndexPixels& t) { return TickScreenViewIndexed(v, t); });
    }
}

#ifndef _WIN32  // PaintScene and PresentFrame draw through GDI there
// The centred scene's own record: after ForgetShownFrame the next present
// puts the whole strip over whatever the screen held there.
TEST(ScreenViewTest, ForgottenFramePutsTheWholeStrip) {
    const int sizes[][2] = {{1024, 768}, {800, 600}, {640, 480}, {1280, 1024}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Scene* shown = SceneFor(w, h);
        Scene* reference = SceneFor(w, h);
        ASSERT_TRUE(shown != nullptr && reference != nullptr);
        Screen<uint32_t> screen(w, h), whole(w, h);
        RgbSurface surface = {screen.pixels.data(), w, h, w, nullptr};
        RgbSurface wholeSurface = {whole.pixels.data(), w, h, w, nullptr};
        shown->screen = &surface;
        reference->screen = &wholeSurface;
        PaintScene(*shown, &surface);
        for (int t = 0; t < kTicks / 2; ++t) {
            ComposeFrame(*shown);
            PresentFrame(*shown);
            ComposeFrame(*reference);
        }
        // The strip, cut to the screen: at 640 x 480 it reaches past the right edge.
        const SceneRect strip = FrameWindowRect(*shown);
        const int right = std::min(strip.x + strip.width, w), bottom = std::min(strip.y + strip.height, h);
        for (int y = strip.y; y < bottom; ++y)
            std::fill(screen.pixels.begin() + (int64_t{y} * w + strip.x), screen.pixels.begin() + (int64_t{y} * w + right),
                      0x5Au);
        ForgetShownFrame(*shown);
        for (int t = 0; t < 2; ++t) {
            ComposeFrame(*shown);
            PresentFrame(*shown);
            ComposeFrame(*reference);
            PaintScene(*reference, &wholeSurface);
            PresentFrame(*reference);
            EXPECT_EQ(Differences(screen, whole), 0) << "tick " << t << " after forgetting";
        }
        DestroyScene(shown);
        DestroyScene(reference);
    }
}
#endif

// A preview pane is never magnified, whatever the setting.
TEST(ScreenViewTest, PreviewStaysCentred) {
    Scene* scene = SetUpScene({400, 300, 1920, 32, TrueColourDisplay()}, nullptr, kDefaultSettings, kSeed).scene;
    ASSERT_NE(scene, nullptr);
    ScreenView* view = CreateScreenView(scene, kPictureFill, 400, 300);
    ASSERT_NE(view, nullptr);
    const FitRect visible = view->fit->placement.visible;
    const SceneRect picture = PictureWindowRect(*scene);
    EXPECT_EQ(visible.x, picture.x);
    EXPECT_EQ(visible.width, picture.width);
    EXPECT_EQ(visible.height, picture.height);
    DestroyScreenView(view);
    DestroyScene(scene);
}

// On Linux an area narrower than 640 shows the 640 x 480 scene shrunk to
// fit and moving; each of its pixels is one of that scene's. Wider areas
// are left as they are.
TEST(ScreenViewTest, SmallAreasShowTheSmallestLayoutShrunkAndMoving) {
    const int sizes[][2] = {{320, 240}, {200, 150}, {639, 479}, {120, 300}, {600, 100}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        PictureSize picture = kPictureCentred;
        const SceneWindowInfo window = ShrinkSmallArea({w, h, 1920, 32, TrueColourDisplay()}, &picture);
        EXPECT_EQ(picture, kPictureFill);
        Scene* small = SetUpScene(window, nullptr, kDefaultSettings, kSeed).scene;
        Scene* full = SceneFor(640, 480);
        ASSERT_NE(small, nullptr);
        ASSERT_NE(full, nullptr);
        ScreenView* view = CreateScreenView(small, picture, w, h);
        ScreenView* fullView = CreateScreenView(full, kPictureCentred, 640, 480);
        ASSERT_NE(view, nullptr);
        ASSERT_NE(fullView, nullptr);
        Screen<uint32_t> screen(w, h), fullScreen(640, 480);
        const FitRect visible = view->fit->placement.visible;
        EXPECT_TRUE(visible.width == w || visible.height == h) << "fills one side";
        int moved = 0;
        for (int tick = 0; tick < kTicks; ++tick) {
            const FitRect changed = TickScreenView(*view, RgbOf(screen));
            TickScreenView(*fullView, RgbOf(fullScreen));
            moved += changed.width > 0 && changed.height > 0;
        }
        EXPECT_GT(moved, 0) << "the small area never changed";
        PaintScreenView(*view, RgbOf(screen));
        PaintScreenView(*fullView, RgbOf(fullScreen));
        long foreign = 0;
        for (int y = 0; y < visible.height; ++y) {
            for (int x = 0; x < visible.width; ++x) {
                const size_t from = size_t(view->fit->rows[y].index) * 640 + size_t(view->fit->columns[x].index);
                foreign += screen.pixels[size_t(visible.y + y) * size_t(w) + size_t(visible.x + x)] !=
                           fullScreen.pixels[from];
            }
        }
        EXPECT_EQ(foreign, 0) << "pixels that are not the 640 x 480 scene's";
        DestroyScreenView(view);
        DestroyScreenView(fullView);
        DestroyScene(small);
        DestroyScene(full);
    }
    PictureSize kept = kPictureWholeMultiples;
    const SceneWindowInfo wide = ShrinkSmallArea({640, 200, 640, 32, nullptr}, &kept);
    EXPECT_EQ(wide.clientWidth, 640);
    EXPECT_EQ(wide.clientHeight, 200);
    EXPECT_EQ(kept, kPictureWholeMultiples);
}

TEST(ScreenViewTest, MonitorPlans) {
    const MonitorArea twoMonitors[] = {{{0, 0, 1024, 768}, 0}, {{1024, 0, 800, 600}, 1}};
    const MonitorArea smallPrimary[] = {{{0, 0, 600, 480}, 1}, {{600, 0, 500, 400}, 0}, {{1100, 0, 1920, 1080}, 0}};
    const MonitorArea noPrimary[] = {{{0, 0, 1280, 1024}, 0}, {{1280, 0, 0, 768}, 0}};
    struct Case {
        const MonitorArea* monitors;
        int count;
        MonitorChoice choice;
        std::vector<int> shows;
        std::vector<uint32_t> seedOffsets;
    };
    const Case cases[] = {
        {twoMonitors, 2, kMonitorsAll, {1, 1}, {1, 0}},
        {twoMonitors, 2, kMonitorsPrimary, {0, 1}, {1, 0}},
        {smallPrimary, 3, kMonitorsAll, {1, 0, 1}, {0, 1, 2}},
        {smallPrimary, 3, kMonitorsPrimary, {1, 0, 0}, {0, 1, 2}},
        {noPrimary, 2, kMonitorsAll, {1, 0}, {0, 1}},
        {noPrimary, 0, kMonitorsAll, {}, {}},
    };
    for (const Case& c : cases) {
        MonitorPlan plans[kMaxMonitors];
        const int count = PlanMonitors(c.monitors, c.count, c.choice, 0xFFFFFFFFu, plans);
        ASSERT_EQ(count, int(c.shows.size()));
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(plans[i].showsScene, c.shows[size_t(i)]) << "monitor " << i << " of " << c.count;
            EXPECT_EQ(plans[i].seed, 0xFFFFFFFFu + c.seedOffsets[size_t(i)]) << "monitor " << i;
            EXPECT_EQ(plans[i].rect.x, c.monitors[i].rect.x);
            EXPECT_EQ(plans[i].primary, c.seedOffsets[size_t(i)] == 0 ? 1 : 0) << "monitor " << i;
        }
    }
    MonitorArea many[kMaxMonitors + 3];
    for (int i = 0; i < kMaxMonitors + 3; ++i) many[i] = {{i * 640, 0, 640, 480}, i == 0};
    MonitorPlan plans[kMaxMonitors];
    EXPECT_EQ(PlanMonitors(many, kMaxMonitors + 3, kMonitorsAll, 1, plans), kMaxMonitors);
}

}  // namespace
