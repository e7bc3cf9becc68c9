// The central building: a domed pavilion on a stepped plinth, lit warm from
// the courtyard below and cool from the moon on the right.
#include "picturegen.h"

namespace {

constexpr int kWidth = 63;
constexpr double kAxis = 31.5;

struct Painter {
    Canvas& picture;
    Canvas& mask;
    int left, top;
    void Put(int x, int y, uint8_t value) {
        PutPixel(picture, left + x, top + y, value);
        PutPixel(mask, left + x, top + y, 1);
    }
};

// Round forms: brightest a little right of the axis (the moon), darker at the rims.
double Roundness(double x, double halfWidth) {
    const double t = (x + 0.5 - kAxis - halfWidth * 0.25) / (halfWidth * 1.25);
    return std::cos(t * 1.4);
}

void PaintSteps(Painter& p) {
    struct Step {
        int y0, y1, half;
    };
    const Step steps[] = {{70, 76, 31}, {65, 70, 27}, {61, 65, 24}};
    for (const Step& s : steps) {
        for (int y = s.y0; y < s.y1; ++y) {
            const int inset = (y == s.y1 - 1) ? 1 : 0;  // rounded front corners
            for (int x = int(kAxis) - s.half + inset; x <= int(kAxis) + s.half - inset; ++x) {
                double shade = (y == s.y0) ? 13.0 : 9.0 - (y - s.y0) * 0.8;
                shade += Roundness(x, s.half) * 2.0 - 1.0;
                p.Put(x, y, DitheredShade(kSandstone, BandedShade(shade), p.left + x, p.top + y));
            }
        }
    }
}

void PaintArcade(Painter& p) {
    const int y0 = 35, y1 = 61, half = 22;
    for (int y = y0; y < y1; ++y) {
        for (int x = int(kAxis) - half; x <= int(kAxis) + half; ++x) {
            const double shade = 5.5 + Roundness(x, half) * 6.0 + (y - y0) * 0.08;
            p.Put(x, y, DitheredShade(kSandstone, BandedShade(shade), p.left + x, p.top + y));
        }
    }
    // Five arches with lamplit interiors; the outer ones foreshortened.
    const int centres[] = {14, 23, 32, 41, 49};
    const int widths[] = {3, 5, 6, 5, 3};
    for (int i = 0; i < 5; ++i) {
        for (int y = y0 + 7; y < y1 - 1; ++y) {
            for (int x = centres[i] - widths[i] / 2; x < centres[i] - widths[i] / 2 + widths[i]; ++x) {
                const double dx = x + 0.5 - centres[i];
                const double archTop = y0 + 7 + widths[i] / 2.0;
                if (y < archTop && dx * dx + (archTop - y) * (archTop - y) > widths[i] * widths[i] / 4.0 + 0.5)
                    continue;
                const double glow = (y - y0) / double(y1 - y0);
                uint8_t color = glow > 0.62 ? kWindowGlow : (glow > 0.45 ? kWindowDeep : Shade(kTerracotta, 3));
                if (x == centres[i] - widths[i] / 2) color = Shade(kTerracotta, 2);
                p.Put(x, y, color);
            }
        }
    }
    for (int x = int(kAxis) - half; x <= int(kAxis) + half; ++x) {
        p.Put(x, y0 + 4, Shade(kSandstone, 4));  // shadow under the cornice
    }
}

void PaintCornice(Painter& p) {
    for (int y = 30; y < 35; ++y) {
        const int half = y < 32 ? 25 : 24;
        for (int x = int(kAxis) - half; x <= int(kAxis) + half; ++x) {
            const double shade = (y == 30 ? 14.0 : 10.5 - (y - 31) * 1.5) + Roundness(x, half) * 1.5;
            p.Put(x, y, DitheredShade(kSandstone, BandedShade(shade), p.left + x, p.top + y));
        }
    }
    // Battlement teeth along the top.
    for (int x = int(kAxis) - 24; x <= int(kAxis) + 24; x += 4) {
        p.Put(x, 29, Shade(kSandstone, 12));
        p.Put(x + 1, 29, Shade(kSandstone, 11));
    }
}

void PaintDrumAndDome(Painter& p) {
    for (int y = 24; y < 29; ++y)
        for (int x = int(kAxis) - 16; x <= int(kAxis) + 16; ++x)
            p.Put(x, y, DitheredShade(kSandstone, BandedShade(6.0 + Roundness(x, 16) * 5.0), p.left + x, p.top + y));
    for (int x = int(kAxis) - 14; x <= int(kAxis) + 14; x += 4) {
        p.Put(x, 25, kWindowDeep);
        p.Put(x, 26, kWindowGlow);
    }
    const double cx = kAxis, base = 24.5, rx = 18.5, ry = 18.0;
    for (int y = 5; y < 25; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (base - (y + 0.5)) / ry;
            if (dx * dx + dy * dy > 1.0 || dy < 0) continue;
            // Light from the upper right: a soft highlight and a dark left flank.
            const double lx = dx - 0.35, ly = dy - 0.55;
            double shade = 12.5 - std::sqrt(lx * lx + ly * ly) * 7.5;
            if ((x + 1) % 6 == 0 && dy < 0.9) shade -= 1.5;  // ribs
            p.Put(x, y, DitheredShade(kPatina, BandedShade(shade), p.left + x, p.top + y));
        }
    }
}

void PaintFinial(Painter& p) {
    for (int y = 2; y < 7; ++y) {
        const int half = y < 4 ? 1 : 2;
        for (int x = int(kAxis) - half; x <= int(kAxis) + half; ++x)
            p.Put(x, y, Shade(kSandstone, x > int(kAxis) ? 14 : 10));
    }
    p.Put(int(kAxis), 0, Shade(kLampLight, 14));
    p.Put(int(kAxis), 1, Shade(kSandstone, 13));
}

}  // namespace

void PaintBuilding(Canvas& picture, Canvas& mask, int left, int top) {
    Painter p{picture, mask, left, top};
    // A shadow pool on the pavement around the foot of the plinth.
    for (int y = 66; y < 80; ++y)
        for (int x = -6; x < kWidth + 6; ++x)
            if (InEllipse(kAxis, 73, 38, 6.5, x, y)) PutPixel(picture, left + x, top + y, Shade(kPavement, 9));
    PaintSteps(p);
    PaintArcade(p);
    PaintCornice(p);
    PaintDrumAndDome(p);
    PaintFinial(p);
}
