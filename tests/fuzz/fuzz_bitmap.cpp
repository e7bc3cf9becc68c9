// Any bytes as a DIB: header checks, uncompressed copy and RLE8 decoding;
// then whatever loads is blitted, copied and scaled at offsets taken from the
// input, and small images are translated to a palette made from them.
#include <cstring>

#include "image/compose.h"
#include "image/palette.h"

namespace {

// A signed offset from an input byte, wide enough to cross every edge.
int InputOffset(const uint8_t* data, size_t size, size_t at) {
    return at < size ? static_cast<int8_t>(data[at]) * 4 : 0;
}

void Composite(Image* image, const uint8_t* data, size_t size) {
    Image* frame = CreateImage(67, 45, image);
    if (!frame) return;
    int w = ImageWidth(image), h = ImageHeight(image);
    BlitTransparent(image, {InputOffset(data, size, 24), InputOffset(data, size, 25), w, h}, frame,
                    {InputOffset(data, size, 26), InputOffset(data, size, 27)});
    CopyImageRect(image, {InputOffset(data, size, 28), InputOffset(data, size, 29), 40, 30}, frame,
                  {InputOffset(data, size, 30), InputOffset(data, size, 31)});
    CopyImageRect(frame, {0, 0, 67, 45}, image, {InputOffset(data, size, 26), InputOffset(data, size, 24)});
    FillImageRect(image, {InputOffset(data, size, 27), InputOffset(data, size, 25), 9, 9}, 3);
    DestroyImage(frame);
}

void Translate(Image* image) {
    DisplayPaletteInfo display{};
    display.staticColors = 20;
    display.paletteSize = 256;
    Palette* palette = CreateScenePaletteFor(image, &display);
    if (!palette) return;
    RemapImage(image, palette);
    DestroyPalette(palette);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Image* image = LoadBitmapFromDib(data, size);
    if (!image) return 0;
    Composite(image, data, size);
    // Whole-picture passes only on small pictures, to keep runs fast.
    if (static_cast<int64_t>(ImageWidth(image)) * ImageHeight(image) <= 256 * 256) {
        Translate(image);
        double factor = size > 33 ? (data[32] + 1) / 64.0 : 0.5;
        ScaleImage(&image, factor, 1.0 / factor);
    }
    DestroyImage(image);
    return 0;
}
