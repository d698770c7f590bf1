// ColorConvert.cpp: the conversions documented in ColorConvert.h.
#include "ColorConvert.h"

#include <cmath>

namespace pelmira::formats {
namespace {

// Clamped to 0..1 with NaN as 0, so that no later step sees a value it cannot handle.
double Unit(double v) {
    if (!(v > 0.0)) {
        return 0.0;
    }
    return v < 1.0 ? v : 1.0;
}

double LabInverse(double t) {
    constexpr double kDelta = 6.0 / 29.0;
    return t > kDelta ? t * t * t : 3.0 * kDelta * kDelta * (t - 4.0 / 29.0);
}

double SrgbCurve(double linear) {
    const double u = Unit(linear);
    return u <= 0.0031308 ? 12.92 * u : 1.055 * std::pow(u, 1.0 / 2.4) - 0.055;
}

// Inputs outside any sensible range (a fuzzed float of 1e38) are cut down first, so that
// the arithmetic stays finite; the clamps at the end decide the colour anyway.
double Bounded(double v, double limit) {
    if (!(v == v)) {
        return 0.0;
    }
    return v < -limit ? -limit : (v > limit ? limit : v);
}

}  // namespace

std::uint8_t UnitToByte(double v) {
    return static_cast<std::uint8_t>(std::lround(Unit(v) * 255.0));
}

TRgb8 RgbFromUnit(double r, double g, double b) {
    return {UnitToByte(r), UnitToByte(g), UnitToByte(b)};
}

TRgb8 RgbFromCmyk(double c, double m, double y, double k) {
    const double white = 1.0 - Unit(k);
    return RgbFromUnit((1.0 - Unit(c)) * white, (1.0 - Unit(m)) * white, (1.0 - Unit(y)) * white);
}

TRgb8 RgbFromHsb(double hueDegrees, double saturation, double brightness) {
    const double s = Unit(saturation);
    const double v = Unit(brightness);
    double h = std::fmod(Bounded(hueDegrees, 1e6), 360.0);
    if (h < 0.0) {
        h += 360.0;
    }
    const double sector = h / 60.0;
    const double chroma = v * s;
    const double x = chroma * (1.0 - std::fabs(std::fmod(sector, 2.0) - 1.0));
    const double m = v - chroma;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(sector)) {
        case 0: r = chroma; g = x; break;
        case 1: r = x; g = chroma; break;
        case 2: g = chroma; b = x; break;
        case 3: g = x; b = chroma; break;
        case 4: r = x; b = chroma; break;
        default: r = chroma; b = x; break;
    }
    return RgbFromUnit(r + m, g + m, b + m);
}

TRgb8 RgbFromLab(double lightness, double a, double b) {
    const double fy = (Bounded(lightness, 1000.0) + 16.0) / 116.0;
    const double fx = fy + Bounded(a, 1000.0) / 500.0;
    const double fz = fy - Bounded(b, 1000.0) / 200.0;
    const double x = 0.96422 * LabInverse(fx);
    const double y = 1.0 * LabInverse(fy);
    const double z = 0.82521 * LabInverse(fz);
    const double rl = 3.1338561 * x - 1.6168667 * y - 0.4906146 * z;
    const double gl = -0.9787684 * x + 1.9161415 * y + 0.0334540 * z;
    const double bl = 0.0719453 * x - 0.2289914 * y + 1.4052427 * z;
    return RgbFromUnit(SrgbCurve(rl), SrgbCurve(gl), SrgbCurve(bl));
}

TRgb8 RgbFromGray(double level) {
    const std::uint8_t v = UnitToByte(level);
    return {v, v, v};
}

}  // namespace pelmira::formats
