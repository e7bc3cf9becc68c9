// Sine and cosine by reduction modulo pi/2 in three parts and minimax
// polynomials on [-pi/4, pi/4] (the classic fdlibm kernels); accurate to
// within one unit in the last place. Only +, -, * and / of IEEE doubles are
// used, and this file is built without contraction into fused multiply-adds,
// so the results are the same on every target.
#include "scene/trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr double kTwoOverPi = 6.36619772367581382433e-01;
constexpr double kPiOver2Part1 = 1.57079632673412561417e+00;  // first 33 bits
constexpr double kPiOver2Part2 = 6.07710050630396597660e-11;  // next 33 bits
constexpr double kPiOver2Part2Tail = 2.02226624879595063154e-21;

constexpr double S1 = -1.66666666666666324348e-01;
constexpr double S2 = 8.33333333332248946124e-03;
constexpr double S3 = -1.98412698298579493134e-04;
constexpr double S4 = 2.75573137070700676789e-06;
constexpr double S5 = -2.50507602534068634195e-08;
constexpr double S6 = 1.58969099521155010221e-10;

constexpr double C1 = 4.16666666666666019037e-02;
constexpr double C2 = -1.38888888888741095749e-03;
constexpr double C3 = 2.48015872894767294178e-05;
constexpr double C4 = -2.75573143513906633035e-07;
constexpr double C5 = 2.08757232129817482790e-09;
constexpr double C6 = -1.13596475577881948265e-11;

// Angles beyond this are first brought down by fmod with a 2 pi that is only
// good to 33 bits: still the same on every target, though less accurate. The
// scene's angles never come near it (they stay below 4 pi).
constexpr double kReductionLimit = 1.0e6;

// x + y is the reduced angle, |x + y| <= pi/4, y the tail below x's last bit.
double KernelSine(double x, double y) {
    const double z = x * x;
    const double v = z * x;
    const double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
    return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

double KernelCosine(double x, double y) {
    const double z = x * x;
    const double r = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
    const double ax = std::fabs(x);
    if (ax < 0.3) return 1.0 - (0.5 * z - (z * r - x * y));
    // Splitting off a quarter of x^2 with a short mantissa keeps 1 - x^2/2 exact.
    double qx = 0.28125;
    if (ax <= 0.78125) {
        uint64_t bits;
        std::memcpy(&bits, &ax, sizeof bits);
        bits = (bits - (uint64_t{0x00200000} << 32)) & ~uint64_t{0xFFFFFFFF};
        std::memcpy(&qx, &bits, sizeof qx);
    }
    const double hz = 0.5 * z - qx;
    const double a = 1.0 - qx;
    return a - (hz - (z * r - x * y));
}

// Reduces t >= 0 to quadrant q (0 to 3) and x + y in [-pi/4, pi/4].
int Reduce(double t, double* x, double* y) {
    if (!(t < kReductionLimit)) t = std::fmod(t, 2.0 * kPiOver2Part1);
    const double n = std::floor(t * kTwoOverPi + 0.5);
    const double r0 = t - n * kPiOver2Part1;  // exact: n has few bits
    const double w0 = n * kPiOver2Part2;
    const double r = r0 - w0;
    const double w = n * kPiOver2Part2Tail - ((r0 - r) - w0);
    *x = r - w;
    *y = (r - *x) - w;
    return static_cast<int>(static_cast<int64_t>(n) & 3);
}

}  // namespace

double SceneSine(double angle) {
    if (!std::isfinite(angle)) return 0.0;
    double x, y;
    const int quadrant = Reduce(std::fabs(angle), &x, &y);
    double s = 0.0;
    switch (quadrant) {
    case 0:
        s = KernelSine(x, y);
        break;
    case 1:
        s = KernelCosine(x, y);
        break;
    case 2:
        s = -KernelSine(x, y);
        break;
    default:
        s = -KernelCosine(x, y);
        break;
    }
    return angle < 0 ? -s : s;
}

double SceneCosine(double angle) {
    if (!std::isfinite(angle)) return 1.0;
    double x, y;
    switch (Reduce(std::fabs(angle), &x, &y)) {
    case 0:
        return KernelCosine(x, y);
    case 1:
        return -KernelSine(x, y);
    case 2:
        return -KernelCosine(x, y);
    default:
        return KernelSine(x, y);
    }
}

void SceneSineCosine(double angle, double* sine, double* cosine) {
    if (!std::isfinite(angle)) {
        *sine = 0.0;
        *cosine = 1.0;
        return;
    }
    double x, y;
    const int quadrant = Reduce(std::fabs(angle), &x, &y);
    const double s = KernelSine(x, y);
    const double c = KernelCosine(x, y);
    const double signedSine[4] = {s, c, -s, -c};
    const double signedCosine[4] = {c, -s, -c, s};
    *sine = angle < 0 ? -signedSine[quadrant] : signedSine[quadrant];
    *cosine = signedCosine[quadrant];
}
