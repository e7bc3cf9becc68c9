// The picture generator's whole interface: the canvas it paints on, the master
// palette, the painters of the four bitmaps and the icon, and the file writers.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// An 8-bit picture held top row first (the BMP writers flip it).
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

struct Rgb {
    uint8_t r, g, b;
};

// Painting primitives (canvas.cpp). Every write is clipped to the canvas.
Canvas MakeCanvas(int width, int height, uint8_t fill);
uint8_t PixelAt(const Canvas& canvas, int x, int y);  // 0 outside
void PutPixel(Canvas& canvas, int x, int y, uint8_t value);
void FillBox(Canvas& canvas, int x, int y, int width, int height, uint8_t value);
void DrawLine(Canvas& canvas, double x0, double y0, double x1, double y1, uint8_t value);

struct PointF {
    double x, y;
};
// Calls span(y, x0, x1) for every run of pixels whose centre lies inside the
// polygon (even-odd rule), x1 exclusive.
template <typename Span>
void ForEachPolygonSpan(const std::vector<PointF>& polygon, int height, Span span);
void FillPolygon(Canvas& canvas, const std::vector<PointF>& polygon, uint8_t value);
// 1 when the centre of pixel (x, y) lies inside the ellipse.
int InEllipse(double cx, double cy, double rx, double ry, int x, int y);

// The master palette (palette.cpp). Indices 1 to 224 are fourteen ramps of
// sixteen shades, dark to light; 225 to 235 single colours; 236 to 255 black
// so that the pictures survive a display that reserves twenty colours.
enum Ramp {
    kSky,
    kCoolStone,
    kPavement,
    kSandstone,
    kPatina,
    kTerracotta,
    kEarth,
    kClothRed,
    kClothBlue,
    kClothGreen,
    kClothOchre,
    kSkin,
    kLampLight,
    kPlum,
    kRampCount
};
constexpr int kShades = 16;
constexpr uint8_t kStarWhite = 225;
constexpr uint8_t kStarBlue = 226;
constexpr uint8_t kStarGold = 227;
constexpr uint8_t kStripGreen = 228;  // the foreground sheet's separator
constexpr uint8_t kSheetGrey = 229;   // figure sheet outside the cells
constexpr uint8_t kWindowGlow = 230;
constexpr uint8_t kWindowDeep = 231;
constexpr uint8_t kMoonLight = 232;
constexpr uint8_t kMoonShade = 233;
constexpr uint8_t kLampCore = 234;
constexpr uint8_t kNightShadow = 235;
constexpr int kLastPaletteIndex = 235;

std::array<Rgb, 256> MasterPalette();
// Index of shade s (clamped to 0..15) of a ramp.
uint8_t Shade(Ramp ramp, int s);
// Ordered (4 x 4 Bayer) dithering of a fractional shade at pixel (x, y).
uint8_t DitheredShade(Ramp ramp, double s, int x, int y);
// A shade pushed towards whole steps: flat bands with short dithered seams
// read as hand-made pixel art and compress far better than dithering throughout.
double BandedShade(double s);
// Nearest palette index 1..235 to a colour (squared distance, lowest index on ties).
uint8_t NearestIndex(const std::array<Rgb, 256>& palette, double r, double g, double b);

// Deterministic pseudo-random numbers for the painters.
struct PaintRandom {
    uint32_t state;
};
uint32_t NextRandom(PaintRandom& random);  // 0..32767
double RandomUnit(PaintRandom& random);    // [0, 1)

// The background and what the sheets cut out of it (background.cpp).
struct BackgroundPaint {
    Canvas picture;         // 1024 x 768
    Canvas buildingMask;    // 1 where the central building stands
    Canvas foregroundMask;  // 1 where the corner pavilions hide the walkways
};
BackgroundPaint PaintBackground();

// Pieces of the background painting (sky.cpp, courtyard.cpp, building.cpp, galleries.cpp).
void PaintSky(Canvas& picture);
void PaintSkyline(Canvas& picture);
void PaintCourtyard(Canvas& picture);
void PaintSeating(Canvas& picture);
void PaintWalkways(Canvas& picture);
void PaintBuilding(Canvas& picture, Canvas& mask, int left, int top);
void PaintFrontGalleries(Canvas& picture, Canvas& foregroundMask);

Canvas PaintFigureSheet(const BackgroundPaint& background);      // 256 x 172
Canvas PaintForegroundSheet(const BackgroundPaint& background);  // 225 x 100
// The still scene (background with the circling crowd and lamps), 152 x 112.
Canvas PaintPreview(const Canvas& background, const Canvas& figureSheet);
Canvas PaintIcon(const BackgroundPaint& background, int size);
// Figures of the sheet (figures.cpp).
void PaintCrowdClump(Canvas& sheet, int x, int y, int width, int height, int set, uint32_t seed);
void PaintWalker(Canvas& sheet, int x, int y, int width, int height, int facingRight, uint32_t seed);
void PaintLamps(Canvas& sheet, int x, int y, int width, int height);

// The review overlay: the tables' geometry drawn over a copy of the background.
Canvas PaintReviewOverlay(const Canvas& background);

// File encoders (bmpfile.cpp, generate.cpp, icofile.cpp); byte vectors so that
// a test can compare without touching the disk.
// Little-endian fields of the BMP and icon file formats.
void PutU16(std::vector<uint8_t>& out, uint32_t value);
void PutU32(std::vector<uint8_t>& out, uint32_t value);

enum class BmpEncoding { kRgb, kRle8 };
struct BmpOptions {
    BmpEncoding encoding;
    uint32_t clrUsed;  // biClrUsed and biClrImportant
    int endLineAfterLastRow;
};
std::vector<uint8_t> EncodeRle8(const Canvas& canvas, int endLineAfterLastRow);
std::vector<uint8_t> EncodeBmp(const Canvas& canvas, const std::array<Rgb, 256>& palette, const BmpOptions& options);
// Palette PNG previews (zlib at its best level, so the bytes never vary).
std::vector<uint8_t> EncodePng(const Canvas& canvas, const std::array<Rgb, 256>& palette);
std::vector<uint8_t> EncodeIco(const std::vector<Canvas>& images, const std::array<Rgb, 256>& palette);

// Every file the generator writes, by name.
struct GeneratedFile {
    std::string name;
    std::vector<uint8_t> bytes;
};
std::vector<GeneratedFile> GenerateAll(int withOverlay);

template <typename Span>
void ForEachPolygonSpan(const std::vector<PointF>& polygon, int height, Span span) {
    double top = 1e9, bottom = -1e9;
    for (const PointF& p : polygon) {
        top = p.y < top ? p.y : top;
        bottom = p.y > bottom ? p.y : bottom;
    }
    const int firstRow = top < 0 ? 0 : static_cast<int>(top);
    const int lastRow = bottom >= height ? height - 1 : static_cast<int>(bottom);
    std::vector<double> crossings;
    for (int y = firstRow; y <= lastRow; ++y) {
        const double cy = y + 0.5;
        crossings.clear();
        for (size_t i = 0; i < polygon.size(); ++i) {
            const PointF& a = polygon[i];
            const PointF& b = polygon[(i + 1) % polygon.size()];
            if ((a.y <= cy) == (b.y <= cy)) continue;
            crossings.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
        }
        std::sort(crossings.begin(), crossings.end());
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            // Pixel x is inside when x + 0.5 lies in [left, right).
            const int x0 = static_cast<int>(std::ceil(crossings[i] - 0.5));
            const int x1 = static_cast<int>(std::ceil(crossings[i + 1] - 0.5));
            if (x1 > x0) span(y, x0, x1);
        }
    }
}
