// ColorConvert.h: the colour models that ACO and ASE files may hold, turned into the 8-bit sRGB
// that a palette keeps. Pure arithmetic, shared by the readers and their tests.
//
// Colour conversions (the block the help page quotes):
//   Every result component is round(255 * v) with v clamped to 0..1; a value that is not a
//   number counts as 0.
//   RGB   r, g, b as fractions 0..1.  ACO: 16-bit value / 65535.  ASE: float as stored.
//   CMYK  r = (1 - c)(1 - k), g = (1 - m)(1 - k), b = (1 - y)(1 - k), with c, m, y, k the ink
//         fractions 0..1.  ACO: ink = 1 - value / 65535 (0 means full ink); ACO wide CMYK:
//         ink = value / 10000.  ASE: ink = float as stored.
//   HSB   h in degrees, s and v 0..1 (standard hexcone): C = v s, H = (h mod 360) / 60,
//         X = C (1 - |H mod 2 - 1|), m = v - C; (r, g, b) = (C,X,0) (X,C,0) (0,C,X) (0,X,C)
//         (X,0,C) (C,0,X) for H in [0,1) [1,2) [2,3) [3,4) [4,5) [5,6), each plus m.
//         ACO: h = 360 value / 65536, s = value / 65535, v = value / 65535.
//   Lab   CIE L*a*b* relative to D50, white (Xn, Yn, Zn) = (0.96422, 1, 0.82521):
//         fy = (L + 16) / 116, fx = fy + a / 500, fz = fy - b / 200;
//         finv(t) = t^3 when t > 6/29, else 3 (6/29)^2 (t - 4/29);
//         X = Xn finv(fx), Y = Yn finv(fy), Z = Zn finv(fz);
//         linear (R, G, B) = M (X, Y, Z), M the sRGB matrix for a D50 white (Bradford-adapted):
//            3.1338561  -1.6168667  -0.4906146
//           -0.9787684   1.9161415   0.0334540
//            0.0719453  -0.2289914   1.4052427
//         each clamped to 0..1, then the sRGB curve: 12.92 u when u <= 0.0031308,
//         else 1.055 u^(1/2.4) - 0.055.
//         ACO: L = value / 100, a and b = signed value / 100.  ASE: L = float * 100, a and b as
//         stored.
//   Gray  r = g = b = level, 0 black, 1 white.  ASE: level = float as stored.  ACO: the value
//         0..10000 is black ink, level = 1 - value / 10000.
#pragma once

#include <cstdint>

namespace pelmira::formats {

struct TRgb8 {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;

    friend bool operator==(const TRgb8&, const TRgb8&) = default;
};

// round(255 v), v clamped to 0..1; NaN gives 0.
std::uint8_t UnitToByte(double v);

TRgb8 RgbFromUnit(double r, double g, double b);
TRgb8 RgbFromCmyk(double c, double m, double y, double k);
TRgb8 RgbFromHsb(double hueDegrees, double saturation, double brightness);
TRgb8 RgbFromLab(double lightness, double a, double b);
TRgb8 RgbFromGray(double level);

}  // namespace pelmira::formats
