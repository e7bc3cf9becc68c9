// The scene on a screen area: every tick leaves the screen exactly as a whole
// paint of the same moment would, writing only inside the rectangles it
// lists, whether the view scales or the host puts the picture itself; and
// which monitors get a scene.
#include <algorithm>
#include <vector>

#include "app/monitor_plan.h"
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
    return SetUpScene(FullScreenWindow(width, height), kDefaultSettings, kSeed).scene;
}

// Counts pixels that differ, for a readable failure.
template <typename Pixel>
long Differences(const Screen<Pixel>& a, const Screen<Pixel>& b) {
    long count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) count += a.pixels[i] != b.pixels[i];
    return count;
}

// What GDI's stretch of a picture rectangle does on a host that puts the
// picture itself: each screen pixel of `to` takes the picture pixel of its
// k x k block in `from`.
void PutPictureRect(const ScreenView& view, Rect rect, Screen<uint8_t>& screen) {
    Rect from, to;
    if (!WholeFactorRects(view.fit, rect, &from, &to)) return;
    const int k = view.fit->placement.factorNumerator;
    for (int y = 0; y < to.height; ++y) {
        const uint8_t* row = PixelAddress(view.picture, from.x, from.y + y / k);
        for (int x = 0; x < to.width; ++x)
            screen.pixels[size_t(to.y + y) * screen.width + size_t(to.x + x)] = row[x / k];
    }
}

// A view that only advances (Windows, where GDI puts the picture) lists
// picture rectangles whose whole-factor stretch leaves the screen as the
// view's own indexed ticks leave it, and centred only rectangles inside the
// strip: the picture around it is put by paints alone.
TEST(ScreenViewTest, AdvancingAndPuttingThePictureDrawsWhatTicksDraw) {
    struct Case {
        PictureSize size;
        int width, height;
    };
    const Case cases[] = {{kPictureCentred, 1024, 768},         {kPictureCentred, 1280, 720},
                          {kPictureCentred, 1920, 1080},        {kPictureCentred, 640, 480},
                          {kPictureWholeMultiples, 2048, 1536}, {kPictureCover, 2048, 1536}};
    for (const Case& c : cases) {
        const int w = c.width, h = c.height;
        SCOPED_TRACE(std::string(PictureSizeName(c.size)) + " " + std::to_string(w) + "x" + std::to_string(h));
        Scene* scenes[2] = {SceneFor(w, h), SceneFor(w, h)};
        ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr);
        ScreenView* advanced = CreateScreenView(scenes[0], c.size, w, h);
        ScreenView* ticked = CreateScreenView(scenes[1], c.size, w, h);
        ASSERT_TRUE(advanced != nullptr && ticked != nullptr);
        Screen<uint8_t> put(w, h), expected(w, h);
        std::fill(put.pixels.begin(), put.pixels.end(), advanced->blackIndex);
        PutPictureRect(*advanced, {0, 0, ImageWidth(advanced->picture), ImageHeight(advanced->picture)}, put);
        PaintScreenView(*ticked, IndexOf(expected));
        EXPECT_EQ(Differences(put, expected), 0) << "paint";
        const Rect frame = FrameWindowRect(*scenes[0]);
        const Rect strip{frame.x, frame.y, frame.width, frame.height};
        for (int tick = 1; tick <= kTicks; ++tick) {
            if (tick == kTicks / 2) {  // something else drew over the strip: the next tick puts all of it
                const Rect frame = WholeFrame(*scenes[0]);
                const Rect shown = ScreenRectOf(
                    advanced->fit, {scenes[0]->frameOrigin.x, scenes[0]->frameOrigin.y, frame.width, frame.height});
                for (int y = shown.y; y < shown.y + shown.height; ++y)
                    std::fill_n(put.pixels.begin() + (int64_t{y} * w + shown.x), shown.width, uint8_t{0x5A});
                ForgetShownPicture(*advanced);
            }
            AdvanceScreenView(*advanced);
            TickScreenView(*ticked, IndexOf(expected));
            for (int k = 0; k < advanced->changedCount; ++k) {
                const Rect r = advanced->changedPicture[k];
                if (c.size == kPictureCentred) {
                    EXPECT_TRUE(Contains(strip, r.x + scenes[0]->pictureOffset.x, r.y + scenes[0]->pictureOffset.y) &&
                                Contains(strip, r.x + r.width - 1 + scenes[0]->pictureOffset.x,
                                         r.y + r.height - 1 + scenes[0]->pictureOffset.y))
                        << "tick " << tick;
                }
                PutPictureRect(*advanced, r, put);
            }
            EXPECT_EQ(Differences(put, expected), 0) << "tick " << tick;
        }
        DestroyScreenView(advanced);
        DestroyScreenView(ticked);
        DestroyScene(scenes[0]);
        DestroyScene(scenes[1]);
    }
}

// Ticks against whole paints, on both kinds of target, over many ticks.
// Two views of the same scene tick into targets filled with two different
// values, so a pixel was written exactly where the two agree: every one
// lies in a rectangle the view lists (and in the one returned), and the
// view's own screen, which keeps what was written, equals a whole paint of
// a third view that ran the same ticks, pasting its whole strip.
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
        const Rect changed = tick(*views[0], targetOf(one));
        tick(*views[1], targetOf(other));
        // The reference pastes its whole strip every tick: its picture holds
        // the frame whatever the scene reported changed.
        ForgetShownPicture(*views[2]);
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
                for (int k = 0; k < views[0]->changedCount && !listed; ++k)
                    listed = Contains(views[0]->changed[k], x, y);
                outside += !(listed && Contains(changed, x, y));
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
    struct Case {
        PictureSize size;
        int width, height;
    };
    const Case cases[] = {
        {kPictureWholeMultiples, 1920, 1080},
        {kPictureWholeMultiples, 3840, 2160},
        {kPictureFit, 1920, 1080},
        {kPictureFit, 3840, 2160},
        {kPictureFit, 1366, 768},
        {kPictureFit, 700, 1300},
        {kPictureCentred, 1920, 1080},
        {kPictureFit, 1024, 768},
        {kPictureWholeMultiples, 1300, 1000},
        {kPictureCentred, 800, 600},
        {kPictureCover, 2560, 1080},
        {kPictureCover, 1080, 1920},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(PictureSizeName(c.size)) + " " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        ExpectTicksMatchPaints<uint32_t>(
            c.size, c.width, c.height, RgbOf, [](ScreenView& v, const RgbPixels& t) { PaintScreenView(v, t); },
            [](ScreenView& v, const RgbPixels& t) { return TickScreenView(v, t); });
        ExpectTicksMatchPaints<uint8_t>(
            c.size, c.width, c.height, IndexOf, [](ScreenView& v, const IndexPixels& t) { PaintScreenView(v, t); },
            [](ScreenView& v, const IndexPixels& t) { return TickScreenView(v, t); });
    }
}

// Between the classes' sizes the scene is its class's own, placed by the
// picture size: every frame on a w x h screen is what the scene set up at the
// class's size shows there, so no figure or strip pixel can disagree with
// the picture under it. Centred, that is the class-size screen moved by the
// margins (cropped equally where the screen is shorter), black around it.
TEST(ScreenViewTest, SizesBetweenTheClassesShowTheClassScenePlaced) {
    struct Case {
        int width, height, classWidth, classHeight;
    };
    const Case cases[] = {{1280, 720, 1024, 768}, {1024, 600, 1024, 768}, {1024, 800, 1024, 768},
                          {801, 601, 800, 600},   {900, 700, 800, 600},   {1000, 750, 800, 600}};
    constexpr int kPlacedTicks = 6;
    for (const Case& c : cases) {
        const int w = c.width, h = c.height, cw = c.classWidth, ch = c.classHeight;
        for (const PictureSize size : {kPictureCentred, kPictureWholeMultiples, kPictureFit, kPictureCover}) {
            SCOPED_TRACE(std::string(PictureSizeName(size)) + " " + std::to_string(w) + "x" + std::to_string(h));
            Scene* scenes[3] = {SceneFor(w, h), SceneFor(cw, ch), SceneFor(cw, ch)};
            ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr && scenes[2] != nullptr);
            ScreenView* views[3] = {CreateScreenView(scenes[0], size, w, h), CreateScreenView(scenes[1], size, w, h),
                                    CreateScreenView(scenes[2], kPictureCentred, cw, ch)};
            ASSERT_TRUE(views[0] != nullptr && views[1] != nullptr && views[2] != nullptr);
            Screen<uint32_t> shown(w, h), placed(w, h), atClassSize(cw, ch);
            for (int tick = 0; tick <= kPlacedTicks; ++tick) {
                if (tick == 0) {
                    PaintScreenView(*views[0], RgbOf(shown));
                    PaintScreenView(*views[1], RgbOf(placed));
                    PaintScreenView(*views[2], RgbOf(atClassSize));
                } else {
                    TickScreenView(*views[0], RgbOf(shown));
                    TickScreenView(*views[1], RgbOf(placed));
                    TickScreenView(*views[2], RgbOf(atClassSize));
                }
                EXPECT_EQ(Differences(shown, placed), 0) << "tick " << tick;
                if (size != kPictureCentred) continue;
                const int dx = (w - cw) / 2, dy = (h - ch) / 2;
                long moved = 0;
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < w; ++x) {
                        const bool inside = x - dx >= 0 && x - dx < cw && y - dy >= 0 && y - dy < ch;
                        const uint32_t expected =
                            inside ? atClassSize.pixels[size_t(y - dy) * cw + size_t(x - dx)] : 0u;
                        moved += shown.pixels[size_t(y) * w + size_t(x)] != expected;
                    }
                }
                EXPECT_EQ(moved, 0) << "pixels unlike the class-size screen moved by " << dx << ", " << dy
                                    << " at tick " << tick;
            }
            for (int i = 0; i < 3; ++i) {
                DestroyScreenView(views[i]);
                DestroyScene(scenes[i]);
            }
        }
    }
}

// Something else wrote over the strip on the screen (a window's saved bits
// put back): after ForgetShownPicture the next tick writes and lists the
// whole strip, and the screen equals a whole paint of the same frame; the
// tick after it is differential again and still right.
template <typename Pixel, typename TargetOf, typename Paint, typename Tick>
void ExpectForgottenPictureRepaintsTheStrip(PictureSize size, int w, int h, TargetOf targetOf, Paint paint, Tick tick) {
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
    const Rect frame = WholeFrame(*scenes[0]);
    const Rect strip = ScreenRectOf(
        views[0]->fit, Rect{scenes[0]->frameOrigin.x, scenes[0]->frameOrigin.y, frame.width, frame.height});
    ASSERT_GT(strip.width, 0);
    for (int y = strip.y; y < strip.y + strip.height; ++y)
        std::fill_n(shown.pixels.begin() + (int64_t{y} * w + strip.x), strip.width, Pixel{0x5A});
    ForgetShownPicture(*views[0]);
    for (int t = 0; t < 2; ++t) {
        const Rect changed = tick(*views[0], targetOf(shown));
        tick(*views[1], targetOf(reference));
        paint(*views[1], targetOf(reference));
        if (t == 0) {
            EXPECT_TRUE(Contains(changed, strip.x, strip.y) &&
                        Contains(changed, strip.x + strip.width - 1, strip.y + strip.height - 1))
                << "expected the whole strip " << strip.width << "x" << strip.height << " listed, got " << changed.width
                << "x" << changed.height;
        }
        EXPECT_EQ(Differences(shown, reference), 0) << "tick " << t << " after forgetting";
    }
    for (int i = 0; i < 2; ++i) {
        DestroyScreenView(views[i]);
        DestroyScene(scenes[i]);
    }
}

TEST(ScreenViewTest, ForgottenPictureRepaintsTheWholeStrip) {
    struct Case {
        PictureSize size;
        int width, height;
    };
    const Case cases[] = {
        {kPictureCentred, 1024, 768},         {kPictureCentred, 1280, 1024}, {kPictureWholeMultiples, 2048, 1536},
        {kPictureWholeMultiples, 1300, 1000}, {kPictureFit, 1920, 1080},     {kPictureFit, 1366, 768},
        {kPictureCover, 1280, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(PictureSizeName(c.size)) + " " + std::to_string(c.width) + "x" +
                     std::to_string(c.height));
        ExpectForgottenPictureRepaintsTheStrip<uint32_t>(
            c.size, c.width, c.height, RgbOf, [](ScreenView& v, const RgbPixels& t) { PaintScreenView(v, t); },
            [](ScreenView& v, const RgbPixels& t) { return TickScreenView(v, t); });
        ExpectForgottenPictureRepaintsTheStrip<uint8_t>(
            c.size, c.width, c.height, IndexOf, [](ScreenView& v, const IndexPixels& t) { PaintScreenView(v, t); },
            [](ScreenView& v, const IndexPixels& t) { return TickScreenView(v, t); });
    }
}

// Cover on screens of every shape: the picture fills the screen (no black
// row or column) wherever the strip fits at the covering size, and the
// strip is always whole: its screen rectangle is the one it has on a screen
// as large as the whole scaled picture. A screen of the picture's shape
// shows what fit shows there, a whole multiple what whole multiples show.
TEST(ScreenViewTest, CoverFillsTheScreenAndKeepsTheStripWhole) {
    constexpr PictureSize kNone = kPictureSizeCount;
    struct Case {
        int width, height;
        bool fills;
        PictureSize same;
    };
    const Case cases[] = {
        {1920, 1080, true, kNone},
        {2560, 1080, true, kNone},
        {3440, 1440, true, kNone},
        {1280, 1024, true, kNone},
        {1024, 600, true, kNone},
        {1366, 768, true, kNone},
        {1024, 768, true, kPictureFit},
        {800, 600, true, kPictureFit},
        {640, 480, true, kPictureFit},
        {1600, 1200, true, kPictureFit},
        {2048, 1536, true, kPictureWholeMultiples},
        {3840, 1080, false, kNone},
        {1080, 1920, false, kNone},
    };
    for (const Case& c : cases) {
        const int w = c.width, h = c.height;
        SCOPED_TRACE(testing::Message() << "cover " << w << "x" << h);
        Scene* scenes[2] = {SceneFor(w, h), SceneFor(w, h)};
        ASSERT_TRUE(scenes[0] != nullptr && scenes[1] != nullptr);
        ScreenView* cover = CreateScreenView(scenes[0], kPictureCover, w, h);
        ASSERT_NE(cover, nullptr);
        Screen<uint32_t> shown(w, h);
        PaintScreenView(*cover, RgbOf(shown));
        std::vector<int> lit(size_t(w) + size_t(h));  // per column, then per row: pixels not black
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool black = shown.pixels[size_t(y) * size_t(w) + size_t(x)] == 0;
                lit[size_t(x)] += !black, lit[size_t(w) + size_t(y)] += !black;
            }
        const long blackLines = std::count(lit.begin(), lit.end(), 0);
        EXPECT_EQ(blackLines == 0, c.fills) << blackLines << " black rows and columns";

        const Scene& scene = *scenes[0];
        const Rect strip{scene.frameOrigin.x, scene.frameOrigin.y, ImageWidth(scene.frameImage),
                         ImageHeight(scene.frameImage)};
        const Rect output = cover->fit->placement.output;
        ScreenFit* whole = CreateScreenFit(kPictureFit, ImageWidth(cover->picture), ImageHeight(cover->picture),
                                           output.width, output.height);
        ASSERT_NE(whole, nullptr);
        ASSERT_EQ(whole->placement.output.width, output.width);
        ASSERT_EQ(whole->placement.output.height, output.height);
        const Rect unclipped = ScreenRectOf(whole, strip), got = ScreenRectOf(cover->fit, strip);
        EXPECT_EQ((std::vector<int>{got.x, got.y, got.width, got.height}),
                  (std::vector<int>{output.x + unclipped.x, output.y + unclipped.y, unclipped.width, unclipped.height}))
            << "the strip cropped";
        DestroyScreenFit(whole);

        if (c.same != kNone) {
            ScreenView* other = CreateScreenView(scenes[1], c.same, w, h);
            ASSERT_NE(other, nullptr);
            Screen<uint32_t> expected(w, h);
            PaintScreenView(*other, RgbOf(expected));
            for (int tick = 0; tick <= kTicks / 4; ++tick) {
                if (tick > 0) {
                    TickScreenView(*cover, RgbOf(shown));
                    TickScreenView(*other, RgbOf(expected));
                }
                EXPECT_EQ(Differences(shown, expected), 0)
                    << "unlike " << PictureSizeName(c.same) << " at tick " << tick;
            }
            DestroyScreenView(other);
        }
        DestroyScreenView(cover);
        DestroyScene(scenes[0]);
        DestroyScene(scenes[1]);
    }
}

// A preview pane is never magnified, whatever the setting.
TEST(ScreenViewTest, PreviewStaysCentred) {
    Scene* scene = SetUpScene({400, 300, 1920, 32, TrueColourDisplay()}, kDefaultSettings, kSeed).scene;
    ASSERT_NE(scene, nullptr);
    ScreenView* view = CreateScreenView(scene, kPictureFit, 400, 300);
    ASSERT_NE(view, nullptr);
    const Rect visible = view->fit->placement.visible;
    const Rect picture = PictureWindowRect(*scene);
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
        EXPECT_EQ(picture, kPictureFit);
        Scene* small = SetUpScene(window, kDefaultSettings, kSeed).scene;
        Scene* full = SceneFor(640, 480);
        ASSERT_NE(small, nullptr);
        ASSERT_NE(full, nullptr);
        ScreenView* view = CreateScreenView(small, picture, w, h);
        ScreenView* fullView = CreateScreenView(full, kPictureCentred, 640, 480);
        ASSERT_NE(view, nullptr);
        ASSERT_NE(fullView, nullptr);
        Screen<uint32_t> screen(w, h), fullScreen(640, 480);
        const Rect visible = view->fit->placement.visible;
        EXPECT_TRUE(visible.width == w || visible.height == h) << "fills one side";
        int moved = 0;
        for (int tick = 0; tick < kTicks; ++tick) {
            const Rect changed = TickScreenView(*view, RgbOf(screen));
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
                foreign +=
                    screen.pixels[size_t(visible.y + y) * size_t(w) + size_t(visible.x + x)] != fullScreen.pixels[from];
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

}  // namespace
