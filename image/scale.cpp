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
int ScaledSide(int side, double factor)
{
    long double product = static_cast<long double>(side) * static_cast<long double>(factor);
    if (!(product >= 0.0L) || product > static_cast<long double>(kMaxImageSide) + 1.0L) return 0;
    long double whole = std::floor(product);
    if (product - whole > 1.0L - kWholeNumberSlack) whole += 1.0L;
    int result = static_cast<int>(whole);
    return ImageSizeIsSane(result, 1) ? result : 0;
}

void ResampleInto(const Image* source, Image* destination)
{
    int w = ImageWidth(source), h = ImageHeight(source);
    int W = ImageWidth(destination), H = ImageHeight(destination);
    // Sides are at most 16384, so w x 65536 fits in 32 bits.
    uint32_t stepX = (static_cast<uint32_t>(w) << 16) / static_cast<uint32_t>(W);
    uint32_t stepY = (static_cast<uint32_t>(h) << 16) / static_cast<uint32_t>(H);
    uint32_t rowAccumulator = 0;
    for (int r = 0; r < H; ++r, rowAccumulator += stepY) {
        const uint8_t* in = PixelAddress(source, 0, static_cast<int>(rowAccumulator >> 16));
        uint8_t* out = PixelAddress(destination, 0, r);
        uint32_t columnAccumulator = 0;
        for (int c = 0; c < W; ++c, columnAccumulator += stepX) out[c] = in[columnAccumulator >> 16];
    }
}

}  // namespace

int ScaleImage(Image** holder, double fx, double fy)
{
    if (!holder || !*holder || !(*holder)->header || !(*holder)->pixels) return 0;
    Image* source = *holder;
    int W = ScaledSide(ImageWidth(source), fx);
    int H = ScaledSide(ImageHeight(source), fy);
    if (W == 0 || H == 0) return 0;
    Image* scaled = CreateImage(W, H, source);
    if (!scaled) return 0;
    ResampleInto(source, scaled);
    *holder = scaled;
    // Nothing refers to the unscaled picture any more.
    DestroyImage(source);
    return 1;
}
