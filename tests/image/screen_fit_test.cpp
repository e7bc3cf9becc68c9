// Fitting the picture to the screen: placements for the screens that matter,
// taps that stay inside the picture, strips that line up with the whole
// picture to the pixel, and the pixels of each picture size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "image/screen_scale.h"

namespace {

struct ScreenCase {
    int screenWidth, screenHeight;
    PictureSize size;
    Rect output;
    int numerator, denominator;
};

std::string Describe(const ScreenCase& c) {
    return std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight) + " size " + std::to_string(c.size);
}

TEST(ScreenFitPlacementTest, PictureOf1024x768OnTheScreensThatMatter) {
    const ScreenCase cases[] = {
        {640, 480, kPictureCentred, {-192, -144, 1024, 768}, 1, 1},
        {640, 480, kPictureWholeMultiples, {-192, -144, 1024, 768}, 1, 1},
        {640, 480, kPictureFit, {0, 0, 640, 480}, 5, 8},
        {800, 600, kPictureFit, {0, 0, 800, 600}, 25, 32},
        {1024, 768, kPictureFit, {0, 0, 1024, 768}, 1, 1},
        {1280, 800, kPictureCentred, {128, 16, 1024, 768}, 1, 1},
        {1280, 800, kPictureFit, {106, 0, 1067, 800}, 25, 24},
        {1366, 768, kPictureWholeMultiples, {171, 0, 1024, 768}, 1, 1},
        {1366, 768, kPictureFit, {171, 0, 1024, 768}, 1, 1},
        {1920, 1080, kPictureCentred, {448, 156, 1024, 768}, 1, 1},
        {1920, 1080, kPictureWholeMultiples, {448, 156, 1024, 768}, 1, 1},
        {1920, 1080, kPictureFit, {240, 0, 1440, 1080}, 45, 32},
        {2560, 1440, kPictureWholeMultiples, {768, 336, 1024, 768}, 1, 1},
        {2560, 1440, kPictureFit, {320, 0, 1920, 1440}, 15, 8},
        {3840, 2160, kPictureCentred, {1408, 696, 1024, 768}, 1, 1},
        {3840, 2160, kPictureWholeMultiples, {896, 312, 2048, 1536}, 2, 1},
        {3840, 2160, kPictureFit, {480, 0, 2880, 2160}, 45, 16},
        {1280, 1024, kPictureFit, {0, 32, 1280, 960}, 5, 4},
        {1025, 769, kPictureFit, {0, 0, 1025, 769}, 1025, 1024},
        {3072, 2304, kPictureWholeMultiples, {0, 0, 3072, 2304}, 3, 1},
        {1024, 768, kPictureCover, {0, 0, 1024, 768}, 1, 1},
        {640, 480, kPictureCover, {0, 0, 640, 480}, 5, 8},
        {1920, 1080, kPictureCover, {0, -180, 1920, 1440}, 15, 8},
        {2560, 1080, kPictureCover, {0, -420, 2560, 1920}, 5, 2},
        {1280, 1024, kPictureCover, {-42, 0, 1365, 1024}, 4, 3},
        {2048, 1400, kPictureCover, {0, -68, 2048, 1536}, 2, 1},
    };
    for (const ScreenCase& c : cases) {
        const PicturePlacement p = PlacePicture(c.size, 1024, 768, c.screenWidth, c.screenHeight);
        const Rect& o = p.output;
        EXPECT_EQ((std::vector<int>{o.x, o.y, o.width, o.height}),
                  (std::vector<int>{c.output.x, c.output.y, c.output.width, c.output.height}))
            << Describe(c);
        EXPECT_EQ(p.factorNumerator, c.numerator) << Describe(c);
        EXPECT_EQ(p.factorDenominator, c.denominator) << Describe(c);
        // The visible part is the output cut to the screen.
        EXPECT_EQ(p.visible.x, std::max(o.x, 0)) << Describe(c);
        EXPECT_EQ(p.visible.width, std::min(o.x + o.width, c.screenWidth) - p.visible.x) << Describe(c);
        EXPECT_EQ(p.visible.height, std::min(o.y + o.height, c.screenHeight) - p.visible.y) << Describe(c);
    }
}

// Cover keeps the strip (here the 1024 x 768 scene's, 917 x 334 at 90,
// 366) whole: the crop moves off centre where it would cut the strip, and
// where no crop could hold it the picture shrinks until the strip fits
// (black beside it). Where the strip fits the centred crop, nothing moves.
TEST(ScreenFitPlacementTest, CoverShiftsOrShrinksToKeepTheStripWhole) {
    const Rect strip{90, 366, 917, 334};
    const ScreenCase cases[] = {
        {1920, 1080, kPictureCover, {0, -233, 1920, 1440}, 15, 8},
        {2560, 1080, kPictureCover, {0, -670, 2560, 1920}, 5, 2},
        {3840, 1080, kPictureCover, {266, -1182, 3308, 2481}, 827, 256},
        {1080, 1920, kPictureCover, {-105, 508, 1205, 904}, 1205, 1024},
        {1280, 1024, kPictureCover, {-63, 0, 1365, 1024}, 4, 3},
        {1024, 600, kPictureCover, {0, -100, 1024, 768}, 1, 1},
        {1024, 768, kPictureCover, {0, 0, 1024, 768}, 1, 1},
        {1920, 1080, kPictureFit, {240, 0, 1440, 1080}, 45, 32},
        {1024, 600, kPictureCentred, {0, -84, 1024, 768}, 1, 1},
    };
    for (const ScreenCase& c : cases) {
        const PicturePlacement p = PlacePicture(c.size, 1024, 768, c.screenWidth, c.screenHeight, strip);
        const Rect& o = p.output;
        EXPECT_EQ(
            (std::vector<int>{o.x, o.y, o.width, o.height, p.factorNumerator, p.factorDenominator}),
            (std::vector<int>{c.output.x, c.output.y, c.output.width, c.output.height, c.numerator, c.denominator}))
            << Describe(c);
    }
}

TEST(ScreenFitPlacementTest, OddPicturesAndUnusableSizes) {
    PicturePlacement p = PlacePicture(kPictureWholeMultiples, 5, 3, 17, 11);
    EXPECT_EQ((std::vector<int>{p.output.x, p.output.y, p.output.width, p.output.height}),
              (std::vector<int>{1, 1, 15, 9}));
    p = PlacePicture(kPictureFit, 5, 3, 17, 11);
    EXPECT_EQ((std::vector<int>{p.output.x, p.output.y, p.output.width, p.output.height}),
              (std::vector<int>{0, 0, 17, 10}))
        << "17/5 of 3 rows is 10.2";
    p = PlacePicture(kPictureFit, 1, 16384, 32767, 1);
    EXPECT_GE(p.visible.width, 1) << "a shrunk side never reaches 0";
    EXPECT_EQ(p.visible.height, 1);
    p = PlacePicture(kPictureCover, 16384, 1, 1, 32767);
    EXPECT_EQ((std::vector<int>{p.output.width, p.visible.x, p.visible.y, p.visible.width, p.visible.height}),
              (std::vector<int>{16384 * 32767, 0, 0, 1, 32767}))
        << "a covering side half a billion pixels long";
    p = PlacePicture(kPictureCover, 16384, 1, 1, 32767, Rect{0, 0, 16384, 1});
    EXPECT_EQ((std::vector<int>{p.output.x, p.output.y, p.output.width, p.output.height}),
              (std::vector<int>{0, 16383, 1, 1}))
        << "kept whole, the whole width shrinks into one pixel";

    const int unusable[][4] = {{1024, 768, 0, 0},        {1024, 768, -5, 100},        {1024, 768, 100, -1},
                               {0, 768, 1920, 1080},     {1024, -768, 1920, 1080},    {16385, 768, 1920, 1080},
                               {1024, 768, 40000, 1080}, {1024, 768, 1920, INT32_MIN}};
    for (const auto& u : unusable) {
        for (PictureSize size : {kPictureCentred, kPictureWholeMultiples, kPictureFit, kPictureCover, PictureSize(7)}) {
            p = PlacePicture(size, u[0], u[1], u[2], u[3]);
            EXPECT_TRUE(p.visible.width == 0 && p.visible.height == 0 && p.output.width == 0)
                << u[0] << "x" << u[1] << " on " << u[2] << "x" << u[3] << " size " << size;
            ScreenFit* fit = CreateScreenFit(size, u[0], u[1], u[2], u[3]);
            ASSERT_NE(fit, nullptr);
            EXPECT_EQ(ScreenRectOf(fit, Rect{0, 0, 1024, 768}).width, 0);
            DestroyScreenFit(fit);
        }
    }
    EXPECT_EQ(PlacePicture(PictureSize(-1), 1024, 768, 1920, 1080).output.width, 0) << "unknown size";
}

// Pictures and screens of every kind: magnified by whole and uneven factors
// (256 x 192 to 720 x 540 is 3840 x 2160's 45/16; up to 4 screen columns a
// picture column, a whole 5 and past that), shrunk, centred on a smaller
// screen, odd sides; whole multiples reaching the screen's edges, fit at a
// whole factor, and cover cropping magnified pictures at either side, at
// uneven and whole factors.
struct FitCase {
    PictureSize size;
    int pictureWidth, pictureHeight, screenWidth, screenHeight;
};
const FitCase kFitCases[] = {
    {kPictureFit, 1024, 768, 1920, 1080},
    {kPictureFit, 256, 192, 720, 540},
    {kPictureFit, 1024, 768, 1280, 800},
    {kPictureFit, 800, 600, 1366, 768},
    {kPictureFit, 1024, 768, 640, 480},
    {kPictureFit, 37, 23, 101, 67},
    {kPictureFit, 40, 30, 23, 17},
    {kPictureWholeMultiples, 200, 150, 960, 540},
    {kPictureWholeMultiples, 37, 23, 101, 67},
    {kPictureCentred, 1024, 768, 640, 481},
    {kPictureCentred, 37, 23, 101, 67},
    {kPictureFit, 12, 9, 101, 67},
    {kPictureWholeMultiples, 37, 23, 160, 100},
    {kPictureFit, 40, 30, 150, 110},
    {kPictureWholeMultiples, 20, 10, 100, 50},
    {kPictureWholeMultiples, 31, 17, 62, 35},
    {kPictureFit, 31, 17, 93, 51},
    {kPictureFit, 20, 15, 110, 82},  // runs of 5 pure columns, wider than one store of the column layout
    {kPictureCover, 1024, 768, 1920, 1080},
    {kPictureCover, 37, 23, 101, 40},
    {kPictureCover, 40, 30, 71, 110},
    {kPictureCover, 20, 10, 61, 19},
    {kPictureCover, 12, 9, 101, 67},
    {kPictureCover, 20, 10, 40, 15},
};

std::string Describe(const FitCase& c) {
    return std::to_string(c.pictureWidth) + "x" + std::to_string(c.pictureHeight) + " on " +
           std::to_string(c.screenWidth) + "x" + std::to_string(c.screenHeight) + " size " + std::to_string(c.size);
}

void ExpectTapsInside(const FitTap* taps, int count, int side, const std::string& what) {
    for (int i = 0; i < count; ++i) {
        const FitTap t = taps[i];
        ASSERT_TRUE(t.index >= 0 && t.index < side && t.weight >= 0 && t.weight < 256) << what << " tap " << i;
        ASSERT_TRUE(t.weight == 0 || t.index + 1 < side) << what << " tap " << i << " blends past the edge";
        ASSERT_GE(t.index, i > 0 ? taps[i - 1].index : 0) << what << " tap " << i << " goes back";
    }
}

// Magnified, a tap blends by coverage: index + weight / 256 is, within a
// 256th, where the footprint starts plus the neighbour's share of it.
void ExpectCoverageWeights(const FitTap* taps, int count, int first, int side, int length, const std::string& what) {
    if (length < side) return;
    const double step = double(side) / length;
    for (int i = 0; i < count; ++i) {
        const double start = (first + i) * step, inside = std::floor(start);
        const double share = std::max(0.0, start + step - (inside + 1)) / step;
        const double expected = (inside + share) * 256, got = taps[i].index * 256.0 + taps[i].weight;
        ASSERT_NEAR(got, expected, 1.0) << what << " tap " << i;
    }
}

// A palette row is read 16 columns a shuffle wherever the picture is
// magnified and at least 16 wide, on a processor that shuffles bytes; each
// shuffle reads 16 bytes inside the picture row.
void ExpectShufflesWhereMagnified(const ScreenFit* fit, const std::string& what) {
    const PicturePlacement& p = fit->placement;
#if defined(__i386__) || defined(__x86_64__)
    const bool shuffles = __builtin_cpu_supports("ssse3");
#else
    const bool shuffles = false;
#endif
    EXPECT_EQ(fit->shuffles != nullptr, shuffles && p.output.width >= p.pictureWidth && p.pictureWidth >= 16) << what;
    for (int x = 0; fit->shuffles && x < p.visible.width; ++x) {
        ASSERT_TRUE(fit->shuffles[x].from >= 0 && fit->shuffles[x].from + 16 <= p.pictureWidth) << what << " " << x;
    }
}

TEST(ScreenFitTapTest, TapsStayInsideThePictureAndCoverIt) {
    for (const FitCase& c : kFitCases) {
        ScreenFit* fit = CreateScreenFit(c.size, c.pictureWidth, c.pictureHeight, c.screenWidth, c.screenHeight);
        ASSERT_NE(fit, nullptr);
        const PicturePlacement& p = fit->placement;
        ExpectTapsInside(fit->columns, p.visible.width, c.pictureWidth, Describe(c) + " columns");
        ExpectTapsInside(fit->rows, p.visible.height, c.pictureHeight, Describe(c) + " rows");
        ExpectCoverageWeights(fit->columns, p.visible.width, p.visible.x - p.output.x, c.pictureWidth, p.output.width,
                              Describe(c) + " columns");
        ExpectCoverageWeights(fit->rows, p.visible.height, p.visible.y - p.output.y, c.pictureHeight, p.output.height,
                              Describe(c) + " rows");
        const Rect whole = ScreenRectOf(fit, Rect{-3, -3, c.pictureWidth + 9, c.pictureHeight + 9});
        EXPECT_EQ((std::vector<int>{whole.x, whole.y, whole.width, whole.height}),
                  (std::vector<int>{p.visible.x, p.visible.y, p.visible.width, p.visible.height}))
            << Describe(c) << ": the whole picture reaches every visible pixel";
        if (p.visible.width == p.output.width && p.output.width >= c.pictureWidth) {
            EXPECT_EQ(fit->columns[0].index, 0) << Describe(c);
            const FitTap last = fit->columns[p.visible.width - 1];
            EXPECT_EQ(last.index + (last.weight > 0), c.pictureWidth - 1) << Describe(c) << " last column";
        }
        // True-colour screens never read the palette columns: a fit has
        // them once a palette screen asks.
        EXPECT_TRUE(fit->nearestColumns == nullptr && fit->shuffles == nullptr) << Describe(c);
        ASSERT_EQ(PreparePaletteColumns(fit), 1) << Describe(c);
        ExpectShufflesWhereMagnified(fit, Describe(c));
        DestroyScreenFit(fit);
    }
}

// A picture of random pixels, a random colour table, and the whole picture
// scaled into a screen-sized surface, both in colour and in indices.
struct Scaled {
    ScreenFit* fit = nullptr;
    Image* picture = nullptr;
    uint32_t table[kColorCount];
    std::vector<uint32_t> rgb;
    std::vector<uint8_t> indices;

    Scaled(const FitCase& c, std::mt19937& random) {
        fit = CreateScreenFit(c.size, c.pictureWidth, c.pictureHeight, c.screenWidth, c.screenHeight);
        picture = CreateImage(c.pictureWidth, c.pictureHeight, nullptr);
        for (uint32_t& entry : table) entry = random() & 0xFFFFFFu;
        for (int y = 0; y < c.pictureHeight; ++y)
            for (int x = 0; x < c.pictureWidth; ++x) *PixelAddress(picture, x, y) = uint8_t(random());
        Rescale();
    }
    ~Scaled() {
        DestroyScreenFit(fit);
        DestroyImage(picture);
    }
    Rect Screen() const { return Rect{0, 0, fit->placement.screenWidth, fit->placement.screenHeight}; }
    void Rescale() {
        const size_t size = size_t(Screen().width) * size_t(Screen().height);
        rgb.assign(size, 0xDEADBEEF);
        indices.assign(size, 0xA5);
        const Rect all{0, 0, fit->placement.pictureWidth, fit->placement.pictureHeight};
        ScalePictureRect(fit, picture, table, all, RgbPixels{rgb.data(), Screen().width, Screen()});
        ScalePictureRect(fit, picture, table, all, IndexPixels{indices.data(), Screen().width, Screen()});
    }
};

Rect RandomRect(std::mt19937& random, int width, int height) {
    const int x = int(random() % (width + 4)) - 2, y = int(random() % (height + 4)) - 2;
    return Rect{x, y, 1 + int(random() % (width / 3 + 2)), 1 + int(random() % (height / 3 + 2))};
}

// The large screens have millions of pixels a round: fewer rounds there.
bool Large(const FitCase& c) { return c.screenWidth * c.screenHeight > 1000000; }
int Rounds(const FitCase& c, int most) { return Large(c) ? 2 : most; }

// Scaling a strip alone, into a screen-sized surface or one of its own,
// writes exactly ScreenRectOf's pixels, each equal to the whole picture's;
// and changing the strip's picture pixels changes no screen pixel outside
// that rectangle. Together: a tick's strip leaves no seam.
TEST(ScreenFitStripTest, StripLinesUpWithTheWholePictureToThePixel) {
    std::mt19937 random(11);
    for (const FitCase& c : kFitCases) {
        Scaled whole(c, random);
        for (int round = 0; round < Rounds(c, 12); ++round) {
            const Rect strip = RandomRect(random, c.pictureWidth, c.pictureHeight);
            const Rect touched = ScreenRectOf(whole.fit, strip);
            std::vector<uint32_t> alone(whole.rgb.size(), 0x01020304);
            std::vector<uint8_t> aloneIndices(whole.indices.size(), 0x5A);
            std::vector<uint32_t> own(size_t(std::max(touched.width * touched.height, 1)), 0);
            EXPECT_EQ(ScalePictureRect(whole.fit, whole.picture, whole.table, strip,
                                       RgbPixels{alone.data(), c.screenWidth, whole.Screen()}),
                      touched.width > 0 ? 1 : 0);
            ScalePictureRect(whole.fit, whole.picture, whole.table, strip,
                             IndexPixels{aloneIndices.data(), c.screenWidth, whole.Screen()});
            ScalePictureRect(whole.fit, whole.picture, whole.table, strip,
                             RgbPixels{own.data(), touched.width, touched});
            const std::vector<uint32_t> before = whole.rgb;
            const std::vector<uint8_t> beforeIndices = whole.indices;
            for (int y = std::max(strip.y, 0); y < std::min(strip.y + strip.height, c.pictureHeight); ++y)
                for (int x = std::max(strip.x, 0); x < std::min(strip.x + strip.width, c.pictureWidth); ++x)
                    *PixelAddress(whole.picture, x, y) = uint8_t(random());
            whole.Rescale();
            for (int y = 0; y < c.screenHeight; ++y)
                for (int x = 0; x < c.screenWidth; ++x) {
                    const size_t at = size_t(y) * c.screenWidth + x;
                    if (!Contains(touched, x, y)) {
                        ASSERT_TRUE(alone[at] == 0x01020304u && aloneIndices[at] == 0x5A)
                            << Describe(c) << " written at " << x << "," << y;
                        ASSERT_TRUE(whole.rgb[at] == before[at] && whole.indices[at] == beforeIndices[at])
                            << Describe(c) << " changed at " << x << "," << y;
                        continue;
                    }
                    ASSERT_TRUE(alone[at] == before[at] && aloneIndices[at] == beforeIndices[at])
                        << Describe(c) << " at " << x << "," << y;
                    ASSERT_EQ(own[size_t(y - touched.y) * touched.width + x - touched.x], before[at])
                        << Describe(c) << " own at " << x << "," << y;
                }
            // A platform stretch at a whole factor k is given `from` and its
            // k-fold image `to`, the same pixels.
            Rect from{}, to{};
            const PicturePlacement& p = whole.fit->placement;
            const int k = p.factorNumerator;
            const bool blocks = HasWholeBlocks(p) && touched.width > 0;
            ASSERT_EQ(WholeFactorRects(whole.fit, strip, &from, &to), blocks);
            if (!blocks) continue;
            EXPECT_EQ(
                (std::vector<int>{p.output.x + k * from.x, p.output.y + k * from.y, k * from.width, k * from.height}),
                (std::vector<int>{touched.x, touched.y, touched.width, touched.height}));
            EXPECT_EQ((std::vector<int>{to.x, to.y, to.width, to.height}),
                      (std::vector<int>{touched.x, touched.y, touched.width, touched.height}));
        }
    }
}

// A surface holding only `area` of a screen `screenWidth` wide, every pixel
// first `fill`, with room before it for a row of the whole screen and a
// guard after each row: what is written outside the area shows.
template <typename Pixel>
struct AreaSurface {
    Rect area;
    int pitch;
    size_t lead;
    std::vector<Pixel> memory;
    AreaSurface(Rect a, int screenWidth, Pixel fill)
        : area(a),
          pitch(a.width + 5),
          lead(size_t(screenWidth) + size_t(pitch)),
          memory(lead + size_t(a.height) * size_t(pitch), fill) {}
    Pixel* Pixels() { return memory.data() + lead; }
    // The screen pixel held at `i` of the memory; false for a guard.
    bool Holds(size_t i, int* x, int* y) const {
        if (i < lead || int((i - lead) % size_t(pitch)) >= area.width) return false;
        *x = area.x + int((i - lead) % size_t(pitch));
        *y = area.y + int((i - lead) / size_t(pitch));
        return true;
    }
};

// The spans scaled into a surface of an area of the screen alone (taken
// anywhere, most often away from the screen's left edge): the area's pixels
// as in `screen` and `screenIndices` (the spans scaled into the whole
// screen, the rest left at 1), and nothing written outside the area.
void ExpectSpansWithinArea(const ScreenFit* fit, const Image* picture, const uint32_t* table, const PictureSpans& spans,
                           Rect area, const std::vector<uint32_t>& screen, const std::vector<uint8_t>& screenIndices,
                           const std::string& what) {
    const int width = fit->placement.screenWidth;
    AreaSurface<uint32_t> rgb(area, width, 1);
    AreaSurface<uint8_t> indices(area, width, 1);
    ScalePictureSpans(fit, picture, table, spans, RgbPixels{rgb.Pixels(), rgb.pitch, area});
    ScalePictureSpans(fit, picture, table, spans, IndexPixels{indices.Pixels(), indices.pitch, area});
    int x = 0, y = 0;
    for (size_t i = 0; i < rgb.memory.size(); ++i) {
        const bool held = rgb.Holds(i, &x, &y);
        const size_t at = size_t(y) * size_t(width) + size_t(x);
        ASSERT_EQ(rgb.memory[i], held ? screen[at] : 1u) << what << (held ? " at " : " outside, at ") << x << "," << y;
        ASSERT_EQ(indices.memory[i], held ? screenIndices[at] : 1) << what << " indices at " << x << "," << y;
    }
}

// Random spans on a band of 1 to 12 rows from about the picture's top
// row; spans may reach past the picture and rows may have none.
struct RandomSpans {
    int top;
    std::vector<RowSpans> rows;
    RandomSpans(std::mt19937& random, const FitCase& c) : top(int(random() % (c.pictureHeight + 2)) - 1) {
        rows.resize(1 + random() % 12);
        for (RowSpans& r : rows) {
            r.count = int(random() % (kMaxRowSpans + 1));
            int x = int(random() % 5) - 2;
            for (int k = 0; k < r.count; ++k) {
                const int begin = x + int(random() % (c.pictureWidth / 4 + 1));
                r.spans[k] = ColumnSpan{begin, begin + 1 + int(random() % (c.pictureWidth / 4 + 1))};
                x = r.spans[k].end + 1;
            }
        }
    }
    PictureSpans List() const { return PictureSpans{top, int(rows.size()), rows.data()}; }
    bool Holds(int x, int y) const {
        if (y < top || y >= top + int(rows.size())) return false;
        const RowSpans& r = rows[size_t(y - top)];
        for (int k = 0; k < r.count; ++k)
            if (x >= r.spans[k].begin && x < r.spans[k].end) return true;
        return false;
    }
    // Whether screen pixel (x, y) reads a pixel of the spans through its taps.
    bool ReadBy(const ScreenFit* fit, int x, int y) const {
        const Rect visible = fit->placement.visible;
        if (!Contains(visible, x, y)) return false;
        const FitTap row = fit->rows[y - visible.y], column = fit->columns[x - visible.x];
        for (int dy = 0; dy <= (row.weight > 0); ++dy)
            for (int dx = 0; dx <= (column.weight > 0); ++dx)
                if (Holds(column.index + dx, row.index + dy)) return true;
        return false;
    }
};

// Spans on a band of rows: exactly the screen pixels whose taps read a
// pixel of a span are written (two targets filled differently agree there
// and only there), each as the whole picture has it, in colour and in
// indices, also into a surface of part of the screen. Spans may reach past
// the picture; rows may have none.
TEST(ScreenFitStripTest, SpansWriteExactlyThePixelsThatReadThem) {
    std::mt19937 random(12);
    for (const FitCase& c : kFitCases) {
        Scaled whole(c, random);
        const Rect screen = whole.Screen();
        for (int round = 0; round < Rounds(c, 8); ++round) {
            const RandomSpans band(random, c);
            const PictureSpans spans = band.List();
            std::vector<uint32_t> one(whole.rgb.size(), 1), other(whole.rgb.size(), 2);
            std::vector<uint8_t> oneIndices(whole.indices.size(), 1), otherIndices(whole.indices.size(), 2);
            ASSERT_EQ(ScalePictureSpans(whole.fit, whole.picture, whole.table, spans,
                                        RgbPixels{one.data(), screen.width, screen}),
                      1);
            ScalePictureSpans(whole.fit, whole.picture, whole.table, spans,
                              RgbPixels{other.data(), screen.width, screen});
            ScalePictureSpans(whole.fit, whole.picture, whole.table, spans,
                              IndexPixels{oneIndices.data(), screen.width, screen});
            ScalePictureSpans(whole.fit, whole.picture, whole.table, spans,
                              IndexPixels{otherIndices.data(), screen.width, screen});
            for (int y = 0; y < c.screenHeight; ++y)
                for (int x = 0; x < c.screenWidth; ++x) {
                    const bool reads = band.ReadBy(whole.fit, x, y);
                    const size_t at = size_t(y) * c.screenWidth + x;
                    ASSERT_EQ(one[at] == other[at], reads) << Describe(c) << " at " << x << "," << y;
                    ASSERT_EQ(oneIndices[at] == otherIndices[at], reads)
                        << Describe(c) << " indices at " << x << "," << y;
                    if (!reads) continue;
                    ASSERT_EQ(one[at], whole.rgb[at]) << Describe(c) << " at " << x << "," << y;
                    ASSERT_EQ(oneIndices[at], whole.indices[at]) << Describe(c) << " indices at " << x << "," << y;
                }
            const int ax = 1 + int(random() % unsigned(c.screenWidth - 1)),
                      ay = int(random() % unsigned(c.screenHeight));
            const Rect area{ax, ay, 1 + int(random() % unsigned(c.screenWidth - ax)),
                            1 + int(random() % unsigned(c.screenHeight - ay))};
            ExpectSpansWithinArea(whole.fit, whole.picture, whole.table, spans, area, one, oneIndices,
                                  Describe(c) + " area");
        }
    }
}

uint32_t Channel(uint32_t colour, int shift) { return (colour >> shift) & 0xFF; }

// Every screen pixel: the picture pixel's colour where its footprint lies in
// one picture pixel on both axes, otherwise the blend of the two or four it
// straddles; in indices, the picture pixel under the footprint's centre.
TEST(ScreenFitPixelsTest, SharpBlocksBlendOnlyWhereTheyStraddleAnEdge) {
    std::mt19937 random(13);
    for (const FitCase& c : kFitCases) {
        Scaled scaled(c, random);
        const PicturePlacement& p = scaled.fit->placement;
        // On the large screens every 7th row and column: 7 is prime to the
        // period of every factor here, so each phase of the blocks is seen.
        const int step = Large(c) ? 7 : 1;
        for (int y = p.visible.y; y < p.visible.y + p.visible.height; y += step) {
            const FitTap row = scaled.fit->rows[y - p.visible.y];
            const int64_t oy = y - p.output.y;
            const int centreY = int((2 * oy + 1) * c.pictureHeight / (2 * p.output.height));
            for (int x = p.visible.x; x < p.visible.x + p.visible.width; x += step) {
                const FitTap column = scaled.fit->columns[x - p.visible.x];
                const size_t at = size_t(y) * c.screenWidth + x;
                const int64_t ox = x - p.output.x;
                const int centreX = int((2 * ox + 1) * c.pictureWidth / (2 * p.output.width));
                ASSERT_EQ(scaled.indices[at], *PixelAddress(scaled.picture, centreX, centreY))
                    << Describe(c) << " nearest at " << x << "," << y;
                // Each channel is the coverage-weighted mean of the pixels
                // it straddles, within the rounding of two steps.
                const double wx = column.weight / 256.0, wy = row.weight / 256.0;
                for (int shift : {0, 8, 16}) {
                    double expected = 0;
                    for (int dy = 0; dy <= (row.weight > 0); ++dy)
                        for (int dx = 0; dx <= (column.weight > 0); ++dx) {
                            const uint32_t colour =
                                scaled.table[*PixelAddress(scaled.picture, column.index + dx, row.index + dy)];
                            expected += Channel(colour, shift) * (dx ? wx : 1 - wx) * (dy ? wy : 1 - wy);
                        }
                    const double got = Channel(scaled.rgb[at], shift);
                    ASSERT_NEAR(got, expected, 1.0) << Describe(c) << " at " << x << "," << y;
                    if (row.weight == 0 && column.weight == 0) {
                        ASSERT_EQ(got, expected) << "a pure block pixel";
                    }
                }
                ASSERT_EQ(scaled.rgb[at] >> 24, 0u);
            }
        }
    }
}

// Whole multiples and centred: square blocks of k x k screen pixels, each the
// exact colour of its picture pixel, and black (untouched) around them.
TEST(ScreenFitPixelsTest, WholeMultiplesAreExactSquareBlocks) {
    std::mt19937 random(14);
    const FitCase cases[] = {{kPictureWholeMultiples, 800, 600, 3840, 2160},
                             {kPictureWholeMultiples, 37, 23, 101, 67},
                             {kPictureWholeMultiples, 20, 10, 61, 41},
                             {kPictureWholeMultiples, 20, 10, 100, 50},
                             {kPictureCentred, 37, 23, 101, 67},
                             {kPictureCover, 20, 10, 40, 15}};
    for (const FitCase& c : cases) {
        Scaled scaled(c, random);
        const PicturePlacement& p = scaled.fit->placement;
        const int k = p.factorNumerator;
        EXPECT_EQ(p.factorDenominator, 1);
        EXPECT_EQ(p.output.width, k * c.pictureWidth) << Describe(c);
        for (int y = 0; y < c.screenHeight; ++y)
            for (int x = 0; x < c.screenWidth; ++x) {
                const uint32_t got = scaled.rgb[size_t(y) * c.screenWidth + x];
                if (!Contains(p.output, x, y)) {
                    ASSERT_EQ(got, 0xDEADBEEFu) << Describe(c) << " outside at " << x << "," << y;
                    continue;
                }
                const int sx = (x - p.output.x) / k, sy = (y - p.output.y) / k;
                ASSERT_EQ(got, scaled.table[*PixelAddress(scaled.picture, sx, sy)])
                    << Describe(c) << " at " << x << "," << y;
            }
    }
}

// The plain reading of visible pixel (x, y)'s taps, one pixel at a time:
// in colour the blend along x of each row it reads, blended along y; as an
// index the picture pixel under its centre.
uint32_t PlainBlend(uint32_t a, uint32_t b, int w) {
    uint32_t out = 0;
    for (int shift : {0, 8, 16})
        out |= ((Channel(a, shift) * uint32_t(256 - w) + Channel(b, shift) * uint32_t(w) + 128) >> 8) << shift;
    return out;
}
uint32_t PlainColour(const Scaled& s, int x, int y) {
    const FitTap row = s.fit->rows[y], column = s.fit->columns[x];
    const auto along = [&](int r) {
        const uint32_t here = s.table[*PixelAddress(s.picture, column.index, r)];
        if (column.weight == 0) return here;
        return PlainBlend(here, s.table[*PixelAddress(s.picture, column.index + 1, r)], column.weight);
    };
    return row.weight ? PlainBlend(along(row.index), along(row.index + 1), row.weight) : along(row.index);
}
uint8_t PlainIndex(const Scaled& s, int x, int y) {
    const FitTap row = s.fit->rows[y], column = s.fit->columns[x];
    return *PixelAddress(s.picture, column.index + (column.weight >= 128), row.index + (row.weight >= 128));
}

// Palette screens and whole multiples write each screen row straight from
// the picture. Random spans scaled into a target holding the whole screen,
// a band along each of its edges, or its middle (a guard column after each
// row): on every fit of the table, each pixel reading a span is as the
// plain reading of the taps has it, and no other pixel is written (two
// fills agree only where written). Palette rows are written both as the
// fit has them (16 columns a shuffle where it has shuffles) and with its
// shuffles hidden (a column at a time).
TEST(ScreenFitStripTest, StraightRowsAreThePlainReadingOfTheTaps) {
    std::mt19937 random(16);
    for (const FitCase& c : kFitCases) {
        Scaled s(c, random);
        const Rect visible = s.fit->placement.visible;
        const int w = c.screenWidth, h = c.screenHeight, bandWidth = 1 + w / 5, bandHeight = 1 + h / 5;
        const Rect areas[] = {{0, 0, w, h},
                              {0, 0, bandWidth, h},
                              {w - bandWidth, 0, bandWidth, h},
                              {0, 0, w, bandHeight},
                              {0, h - bandHeight, w, bandHeight},
                              {w / 3, h / 3, w / 3, h / 3}};
        for (int round = 0; round < Rounds(c, 6); ++round) {
            const RandomSpans band(random, c);
            for (const Rect& area : areas) {
                const int pitch = area.width + 1;
                const size_t size = size_t(pitch) * size_t(area.height);
                std::vector<uint32_t> one(size, 1), other(size, 2);
                std::vector<uint8_t> oneIndices(size, 1), otherIndices(size, 2), plainIndices(size, 1);
                ScalePictureSpans(s.fit, s.picture, s.table, band.List(), RgbPixels{one.data(), pitch, area});
                ScalePictureSpans(s.fit, s.picture, s.table, band.List(), RgbPixels{other.data(), pitch, area});
                ScalePictureSpans(s.fit, s.picture, s.table, band.List(), IndexPixels{oneIndices.data(), pitch, area});
                ScalePictureSpans(s.fit, s.picture, s.table, band.List(),
                                  IndexPixels{otherIndices.data(), pitch, area});
                FitShuffle* const shuffles = s.fit->shuffles;
                s.fit->shuffles = nullptr;
                ScalePictureSpans(s.fit, s.picture, s.table, band.List(),
                                  IndexPixels{plainIndices.data(), pitch, area});
                s.fit->shuffles = shuffles;
                ASSERT_TRUE(plainIndices == oneIndices) << Describe(c) << ": a column at a time, not as shuffled";
                for (size_t i = 0; i < size; ++i) {
                    const int x = area.x + int(i % size_t(pitch)), y = area.y + int(i / size_t(pitch));
                    const bool reads = int(i % size_t(pitch)) < area.width && band.ReadBy(s.fit, x, y);
                    ASSERT_EQ(one[i] == other[i], reads) << Describe(c) << " at " << x << "," << y;
                    ASSERT_EQ(oneIndices[i] == otherIndices[i], reads)
                        << Describe(c) << " indices at " << x << "," << y;
                    if (!reads) continue;
                    ASSERT_EQ(one[i], PlainColour(s, x - visible.x, y - visible.y))
                        << Describe(c) << " at " << x << "," << y;
                    ASSERT_EQ(oneIndices[i], PlainIndex(s, x - visible.x, y - visible.y))
                        << Describe(c) << " indices at " << x << "," << y;
                }
            }
        }
    }
}

// A span of each length from 1 to 24 on one picture row, at the picture's
// left and right edges and a column in, scaled into palette screens
// (magnified unevenly, at a whole factor, shrunk): palette rows write
// intervals of every length up to the visible edges. Exactly the pixels
// reading the span are written, each as the plain reading of its taps has
// it, and the same bytes come out with the fit's shuffles hidden.
TEST(ScreenFitStripTest, PaletteSpansOfEveryLengthReachTheEdges) {
    std::mt19937 random(17);
    const FitCase cases[] = {{kPictureFit, 64, 48, 90, 67},
                             {kPictureFit, 256, 192, 720, 540},
                             {kPictureFit, 37, 23, 101, 67},
                             {kPictureWholeMultiples, 31, 17, 62, 35},
                             {kPictureFit, 40, 30, 23, 17}};
    for (const FitCase& c : cases) {
        Scaled s(c, random);
        const Rect screen = s.Screen(), visible = s.fit->placement.visible;
        const int y = c.pictureHeight / 2;
        for (int length = 1; length <= 24; ++length) {
            for (int begin : {0, 1, c.pictureWidth - length - 1, c.pictureWidth - length}) {
                const RowSpans row{1, {ColumnSpan{begin, begin + length}}};
                const PictureSpans spans{y, 1, &row};
                const Rect reading = ScreenRectOf(s.fit, Rect{begin, y, length, 1});
                std::vector<uint8_t> one(s.indices.size(), 1), other(s.indices.size(), 2), plain(one);
                ScalePictureSpans(s.fit, s.picture, s.table, spans, IndexPixels{one.data(), screen.width, screen});
                ScalePictureSpans(s.fit, s.picture, s.table, spans, IndexPixels{other.data(), screen.width, screen});
                FitShuffle* const shuffles = s.fit->shuffles;
                s.fit->shuffles = nullptr;
                ScalePictureSpans(s.fit, s.picture, s.table, spans, IndexPixels{plain.data(), screen.width, screen});
                s.fit->shuffles = shuffles;
                const std::string what = Describe(c) + " span " + std::to_string(begin) + "+" + std::to_string(length);
                ASSERT_TRUE(plain == one) << what << ": a column at a time, not as shuffled";
                for (size_t i = 0; i < one.size(); ++i) {
                    const int x = int(i % size_t(screen.width)), sy = int(i / size_t(screen.width));
                    ASSERT_EQ(one[i] == other[i], Contains(reading, x, sy)) << what << " at " << x << "," << sy;
                    if (one[i] != other[i]) continue;
                    ASSERT_EQ(one[i], PlainIndex(s, x - visible.x, sy - visible.y)) << what << " at " << x << "," << sy;
                }
            }
        }
    }
}

TEST(ScreenFitPixelsTest, UnusableArgumentsWriteNothing) {
    std::mt19937 random(15);
    Scaled scaled(FitCase{kPictureFit, 37, 23, 101, 67}, random);
    Image* other = CreateImage(36, 23, nullptr);
    std::vector<uint32_t> screen(101 * 67, 7);
    const Rect all{0, 0, 37, 23};
    const RgbPixels target{screen.data(), 101, scaled.Screen()};
    EXPECT_EQ(ScalePictureRect(nullptr, scaled.picture, scaled.table, all, target), 0);
    EXPECT_EQ(ScalePictureRect(scaled.fit, other, scaled.table, all, target), 0) << "another size";
    EXPECT_EQ(ScalePictureRect(scaled.fit, scaled.picture, nullptr, all, target), 0);
    EXPECT_EQ(
        ScalePictureRect(scaled.fit, scaled.picture, scaled.table, all, RgbPixels{screen.data(), 100, scaled.Screen()}),
        0)
        << "a pitch narrower than the area";
    EXPECT_EQ(ScalePictureRect(scaled.fit, scaled.picture, scaled.table, Rect{37, 0, 5, 5}, target), 0)
        << "a rectangle beside the picture";
    EXPECT_EQ(
        ScalePictureRect(scaled.fit, scaled.picture, scaled.table, all, IndexPixels{nullptr, 101, scaled.Screen()}), 0);
    EXPECT_TRUE(std::all_of(screen.begin(), screen.end(), [](uint32_t v) { return v == 7; }));
    DestroyImage(other);
}

}  // namespace
