// Facts about DrawImage: every pixel shows the colour of the palette entry at
// its value, at its place in the destination rectangle. Elsewhere than
// Windows the target is an RGB surface; on Windows a 32-bit DIB section with
// the palette selected, so GDI's own DIB_PAL_COLORS path is what is checked.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "image/compose.h"
#include "image/palette.h"
#include "platform/platform.h"
#include "test_images.h"

namespace {

// A palette whose entry i is (i, 255 - i, 7 i), no static colours.
Palette* DistinctPalette()
{
    Image* image = CreateImage(1, 1, nullptr);
    for (int i = 0; i < 256; ++i)
        ImageColorTable(image)[i] = RgbQuad{uint8_t(7 * i), uint8_t(255 - i), uint8_t(i), 0};
    DisplayPaletteInfo display{};
    display.staticColors = -1;
    Palette* palette = CreateScenePaletteFor(image, &display);
    DestroyImage(image);
    return palette;
}

uint32_t Rgb(const Palette* palette, int index)
{
    const PaletteEntry& e = palette->entries[index];
    return uint32_t{e.peRed} << 16 | uint32_t{e.peGreen} << 8 | e.peBlue;
}

constexpr uint32_t kBackground = 0x00123456;

// A 0x00RRGGBB canvas of width x height, drawn on by DrawImage.
struct Canvas {
    int width, height;
    std::vector<uint32_t> pixels;
#ifdef _WIN32
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    uint32_t* bits = nullptr;
#else
    RgbSurface surface{};
#endif
};

#ifdef _WIN32
void OpenCanvas(Canvas& canvas, const Palette* palette)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = canvas.width;
    info.bmiHeader.biHeight = -canvas.height;  // top-down, so rows read in order
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    canvas.dc = CreateCompatibleDC(nullptr);
    canvas.bitmap = CreateDIBSection(canvas.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(canvas.bitmap, nullptr);
    canvas.bits = static_cast<uint32_t*>(bits);
    for (int i = 0; i < canvas.width * canvas.height; ++i) canvas.bits[i] = kBackground;
    SelectObject(canvas.dc, canvas.bitmap);
    SelectPalette(canvas.dc, static_cast<HPALETTE>(palette->platformPalette), FALSE);
    RealizePalette(canvas.dc);
}

DrawTarget Target(Canvas& canvas)
{
    return canvas.dc;
}

void ReadCanvas(Canvas& canvas)
{
    GdiFlush();
    canvas.pixels.assign(canvas.bits, canvas.bits + canvas.width * canvas.height);
    for (uint32_t& p : canvas.pixels) p &= 0x00FFFFFF;
}

void CloseCanvas(Canvas& canvas)
{
    DeleteDC(canvas.dc);
    DeleteObject(canvas.bitmap);
}
#else
void OpenCanvas(Canvas& canvas, const Palette* palette)
{
    canvas.pixels.assign(canvas.width * canvas.height, kBackground);
    canvas.surface = RgbSurface{canvas.pixels.data(), canvas.width, canvas.height, canvas.width,
                                palette};
}

DrawTarget Target(Canvas& canvas)
{
    return &canvas.surface;
}

void ReadCanvas(Canvas&) {}
void CloseCanvas(Canvas&) {}
#endif

}  // namespace

TEST(DrawImage, ShowsEachPixelInItsPaletteColourAtItsPlace)
{
    Palette* palette = DistinctPalette();
    ASSERT_NE(palette, nullptr);
    Image* image = MakeNumberedImage(16, 16);  // all 256 values
    Canvas canvas{20, 18, {}};
    OpenCanvas(canvas, palette);
    DrawImage(image, Target(canvas), 3, 1, 16, 16);
    ReadCanvas(canvas);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 20; ++x) {
            bool inside = x >= 3 && x < 19 && y >= 1 && y < 17;
            uint32_t expected = inside ? Rgb(palette, (x - 3) + 16 * (y - 1)) : kBackground;
            ASSERT_EQ(canvas.pixels[y * 20 + x], expected) << "at " << x << "," << y;
        }
    CloseCanvas(canvas);
    DestroyImage(image);
    DestroyPalette(palette);
}

TEST(DrawImage, ClipsToTheTarget)
{
    Palette* palette = DistinctPalette();
    ASSERT_NE(palette, nullptr);
    Image* image = MakeNumberedImage(8, 8);
    Canvas canvas{6, 5, {}};
    OpenCanvas(canvas, palette);
    DrawImage(image, Target(canvas), -3, -2, 8, 8);
    ReadCanvas(canvas);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            uint32_t expected = x < 5 ? Rgb(palette, (x + 3) + 16 * (y + 2)) : kBackground;
            ASSERT_EQ(canvas.pixels[y * 6 + x], expected) << "at " << x << "," << y;
        }
    CloseCanvas(canvas);
    DestroyImage(image);
    DestroyPalette(palette);
}

#ifndef _WIN32
TEST(DrawImage, StretchesByRepeatingColumnsAndRows)
{
    Palette* palette = DistinctPalette();
    Image* image = MakeNumberedImage(2, 2);
    Canvas canvas{4, 4, {}};
    OpenCanvas(canvas, palette);
    DrawImage(image, Target(canvas), 0, 0, 4, 4);
    EXPECT_EQ(canvas.pixels[0], Rgb(palette, 0));
    EXPECT_EQ(canvas.pixels[1], Rgb(palette, 0));
    EXPECT_EQ(canvas.pixels[2], Rgb(palette, 1));
    EXPECT_EQ(canvas.pixels[3 * 4 + 3], Rgb(palette, 17));
    DestroyImage(image);
    DestroyPalette(palette);
}

TEST(DrawImage, NothingOutsideTheSurfaceOrWithoutArea)
{
    Palette* palette = DistinctPalette();
    Image* image = MakeNumberedImage(4, 4);
    Canvas canvas{4, 4, {}};
    OpenCanvas(canvas, palette);
    DrawImage(image, Target(canvas), 4, 0, 4, 4);
    DrawImage(image, Target(canvas), 0, -4, 4, 4);
    DrawImage(image, Target(canvas), 0, 0, 0, 4);
    DrawImage(image, Target(canvas), 0, 0, 4, -4);
    EXPECT_EQ(canvas.pixels, std::vector<uint32_t>(16, kBackground));
    DestroyImage(image);
    DestroyPalette(palette);
}
#endif

// Each part lands where DrawImage of the whole image would put it, cut to the
// image and the target; nothing else is written (GDI's own path on Windows).
TEST(DrawImageParts, PutsEachPartWhereTheWholeImageWouldAndNothingElse)
{
    Palette* palette = DistinctPalette();
    ASSERT_NE(palette, nullptr);
    Image* image = MakeNumberedImage(16, 12);
    const ImagePart parts[] = {
        {0, 0, 3, 2},     // the top-left corner
        {5, 4, 6, 1},     // one row inside
        {13, 9, 3, 3},    // the bottom-right corner (rows count from the top)
        {14, -2, 5, 4},   // reaching past the image's top and right edges
        {-3, 6, 4, 2},    // past its left edge
        {2, 10, 0, 2},    // no width
    };
    const int x = 2, y = -1;  // the image's place: its top row is off the target
    Canvas canvas{20, 14, {}};
    OpenCanvas(canvas, palette);
    DrawImageParts(image, Target(canvas), x, y, parts, int(sizeof parts / sizeof parts[0]));
    ReadCanvas(canvas);
    for (int ty = 0; ty < canvas.height; ++ty)
        for (int tx = 0; tx < canvas.width; ++tx) {
            const int ix = tx - x, iy = ty - y;
            bool inPart = false;
            for (const ImagePart& p : parts)
                inPart |= ix >= p.x && ix < p.x + p.width && iy >= p.y && iy < p.y + p.height;
            const bool inImage = ix >= 0 && ix < 16 && iy >= 0 && iy < 12;
            const uint32_t expected = inPart && inImage ? Rgb(palette, ix + 16 * iy) : kBackground;
            ASSERT_EQ(canvas.pixels[ty * canvas.width + tx], expected) << "at " << tx << "," << ty;
        }
    CloseCanvas(canvas);
    DestroyImage(image);
    DestroyPalette(palette);
}
