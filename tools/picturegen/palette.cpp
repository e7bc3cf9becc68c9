// The one master palette of all four pictures: fourteen sixteen-shade ramps
// and a few single colours, with ordered dithering between a ramp's shades.
#include "picturegen.h"

namespace {

struct RampColors {
    Rgb dark, middle, light;
};

// Night colours: every ramp starts near black but never at black, which is
// reserved for index 0 (the sheets' transparent key).
constexpr RampColors kRampColors[kRampCount] = {
    {{3, 4, 16}, {16, 24, 64}, {78, 86, 140}},         // sky
    {{12, 14, 26}, {62, 68, 94}, {176, 182, 204}},     // cool stone
    {{44, 36, 32}, {150, 132, 110}, {246, 234, 206}},  // pavement
    {{34, 20, 12}, {156, 104, 54}, {255, 230, 166}},   // sandstone
    {{8, 22, 28}, {40, 104, 104}, {164, 220, 206}},    // patina
    {{28, 10, 8}, {124, 52, 36}, {226, 146, 104}},     // terracotta
    {{14, 11, 14}, {52, 42, 42}, {116, 100, 92}},      // earth
    {{32, 7, 9}, {146, 42, 42}, {244, 156, 144}},      // cloth red
    {{7, 11, 32}, {52, 72, 146}, {176, 194, 244}},     // cloth blue
    {{7, 22, 9}, {52, 104, 54}, {176, 224, 156}},      // cloth green
    {{32, 22, 5}, {156, 114, 32}, {252, 224, 136}},    // cloth ochre
    {{42, 22, 15}, {166, 114, 82}, {252, 218, 186}},   // skin
    {{64, 22, 2}, {234, 144, 34}, {255, 250, 214}},    // lamp light
    {{18, 9, 22}, {94, 54, 104}, {214, 176, 224}},     // plum
};

constexpr Rgb kSingles[] = {
    {250, 250, 255},  // star white
    {182, 202, 255},  // star blue
    {255, 238, 178},  // star gold
    {96, 114, 94},    // strip grey-green
    {120, 120, 124},  // sheet grey
    {255, 204, 96},   // window glow
    {206, 112, 32},   // window deep
    {232, 236, 250},  // moonlight
    {150, 156, 176},  // moon shade
    {255, 255, 236},  // lamp core
    {6, 6, 12},       // night shadow
};

uint8_t Mix(uint8_t a, uint8_t b, double t) { return static_cast<uint8_t>(a + (b - a) * t + 0.5); }

Rgb RampShade(const RampColors& ramp, int s) {
    const double t = s / double(kShades - 1);
    const Rgb& from = t < 0.5 ? ramp.dark : ramp.middle;
    const Rgb& to = t < 0.5 ? ramp.middle : ramp.light;
    const double local = t < 0.5 ? t * 2.0 : (t - 0.5) * 2.0;
    return {Mix(from.r, to.r, local), Mix(from.g, to.g, local), Mix(from.b, to.b, local)};
}

constexpr int kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

}  // namespace

std::array<Rgb, 256> MasterPalette() {
    std::array<Rgb, 256> palette{};
    for (int ramp = 0; ramp < kRampCount; ++ramp)
        for (int s = 0; s < kShades; ++s) palette[1 + ramp * kShades + s] = RampShade(kRampColors[ramp], s);
    for (size_t i = 0; i < sizeof kSingles / sizeof kSingles[0]; ++i) palette[kStarWhite + i] = kSingles[i];
    return palette;
}

uint8_t Shade(Ramp ramp, int s) {
    s = s < 0 ? 0 : (s >= kShades ? kShades - 1 : s);
    return static_cast<uint8_t>(1 + ramp * kShades + s);
}

uint8_t DitheredShade(Ramp ramp, double s, int x, int y) {
    const double base = std::floor(s);
    const double threshold = (kBayer4[y & 3][x & 3] + 0.5) / 16.0;
    return Shade(ramp, static_cast<int>(base) + (s - base > threshold ? 1 : 0));
}

double BandedShade(double s) {
    // Only the middle third of each step between shades is dithered.
    const double base = std::floor(s);
    const double f = std::clamp((s - base - 0.5) * 3.0 + 0.5, 0.0, 1.0);
    return base + f;
}

uint8_t NearestIndex(const std::array<Rgb, 256>& palette, double r, double g, double b) {
    int best = 1;
    double bestDistance = 1e18;
    for (int i = 1; i <= kLastPaletteIndex; ++i) {
        const double dr = palette[i].r - r, dg = palette[i].g - g, db = palette[i].b - b;
        // Weighted towards green as the eye is; exact matches end the search.
        const double distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (distance == 0) break;
        }
    }
    return static_cast<uint8_t>(best);
}
