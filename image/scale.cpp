// Nearest-neighbour resampling of a whole image in 16.16 fixed point.
#include "image/compose.h"

#include <cmath>

namespace {

// A single-precision factor such as 800/768 makes 768 x f land a hair under
// 800; a product that close below a whole number counts as that number, so
// the picture is not a row short.
constexpr long double kWholeNumberSlack = 0.0001L;

// w x f in extended precision, truncated toward zero; 0 when the result is
// not a usable image side.
int ScaledSide(int side, double factor) {
    long double product = static_cast<long double>(side) * static_cast<long double>(factor);
    if (!(product >= 0.0L) || product > static_cast<long double>(kMaxImageSide) + 1.0L) return 0;
    long double whole = std::floor(product);
    if (product - whole > 1.0L - kWholeNumberSlack) whole += 1.0L;
    int result = static_cast<int>(whole);
    return ImageSizeIsSane(result, 1) ? result : 0;
}

void ResampleInto(const Image* source, Image* destination) {
    int w = ImageWidth(source), h = ImageHeight(source);
    int W = ImageWidth(destination), H = ImageHeight(destination);
    uint32_t stepX = ScaleStep(w, W), stepY = ScaleStep(h, H);
    for (int r = 0; r < H; ++r) {
        const uint8_t* in = PixelAddress(source, 0, ScaledSourceIndex(r, stepY));
        uint8_t* out = PixelAddress(destination, 0, r);
        for (int c = 0; c < W; ++c) out[c] = in[ScaledSourceIndex(c, stepX)];
    }
}

}  // namespace

uint32_t ScaleStep(int sourceSide, int destinationSide) {
    // Sides below 65536 keep side x 65536 within 32 bits.
    return (static_cast<uint32_t>(sourceSide) << 16) / static_cast<uint32_t>(destinationSide);
}

int ScaleImage(Image** holder, double fx, double fy) {
    if (!holder || !*holder || !(*holder)->header || !(*holder)->pixels) return 0;
    Image* source = *holder;
    int W = ScaledSide(ImageWidth(source), fx);
    int H = ScaledSide(ImageHeight(source), fy);
    if (W == 0 || H == 0) return 0;
    // Same size: every step lands on its own pixel, so the copy would be the picture.
    if (W == ImageWidth(source) && H == ImageHeight(source)) return 1;
    Image* scaled = CreateImage(W, H, source);
    if (!scaled) return 0;
    ResampleInto(source, scaled);
    *holder = scaled;
    // Nothing refers to the unscaled picture any more.
    DestroyImage(source);
    return 1;
}
