#include "CieLab.h"

#include "OkLab.h"
#include "Srgb.h"

#include <array>
#include <cmath>

namespace tintaro {
namespace {

using Vec3 = std::array<double, 3>;
using Mat3 = std::array<Vec3, 3>;

Vec3 times(const Mat3& m, const Vec3& v)
{
    return {m[0][0] * v[0] + m[0][1] * v[1] + m[0][2] * v[2],
            m[1][0] * v[0] + m[1][1] * v[1] + m[1][2] * v[2],
            m[2][0] * v[0] + m[2][1] * v[1] + m[2][2] * v[2]};
}

Mat3 times(const Mat3& a, const Mat3& b)
{
    Mat3 m{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            m[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
    }
    return m;
}

Mat3 inverse(const Mat3& m)
{
    const auto cofactor = [&m](int i, int j) {
        const int i1 = (i + 1) % 3, i2 = (i + 2) % 3, j1 = (j + 1) % 3, j2 = (j + 2) % 3;
        return m[i1][j1] * m[i2][j2] - m[i1][j2] * m[i2][j1];
    };
    const double det =
        m[0][0] * cofactor(0, 0) + m[0][1] * cofactor(0, 1) + m[0][2] * cofactor(0, 2);
    Mat3 inv{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            inv[j][i] = cofactor(i, j) / det;
    }
    return inv;
}

Vec3 whiteOf(double x, double y)
{
    return {x / y, 1.0, (1.0 - x - y) / y};
}

// Linear sRGB to XYZ relative to the D50 white (each row divided by it), and
// back: worked out once from sRGB's primaries and the two whites, as CSS does.
struct Matrices
{
    Mat3 toXyz;
    Mat3 fromXyz;
};

const Matrices& matrices()
{
    static const Matrices m = [] {
        const Vec3 d65 = whiteOf(0.3127, 0.3290);
        const Vec3 d50 = whiteOf(0.3457, 0.3585);
        Mat3 primaries{};
        const double xy[3][2] = {{0.64, 0.33}, {0.30, 0.60}, {0.15, 0.06}};
        for (int j = 0; j < 3; ++j) {
            const Vec3 p = whiteOf(xy[j][0], xy[j][1]);
            for (int i = 0; i < 3; ++i)
                primaries[i][j] = p[i];
        }
        // Scaled so that (1, 1, 1) is the white.
        const Vec3 scale = times(inverse(primaries), d65);
        Mat3 srgbToXyz = primaries;
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                srgbToXyz[i][j] *= scale[j];
        }
        const Mat3 bradford = {
            {{0.8951, 0.2664, -0.1614}, {-0.7502, 1.7135, 0.0367}, {0.0389, -0.0685, 1.0296}}};
        const Vec3 from = times(bradford, d65), to = times(bradford, d50);
        Mat3 gain{};
        for (int i = 0; i < 3; ++i)
            gain[i][i] = to[i] / from[i];
        const Mat3 adapt = times(inverse(bradford), times(gain, bradford));
        Mat3 toXyz = times(adapt, srgbToXyz);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j)
                toXyz[i][j] /= d50[i];
        }
        return Matrices{toXyz, inverse(toXyz)};
    }();
    return m;
}

// CIE's exact ratios rather than the rounded 0.008856 and 903.3.
constexpr double kEpsilon = 216.0 / 24389.0;
constexpr double kKappa = 24389.0 / 27.0;

double f(double t)
{
    return t > kEpsilon ? std::cbrt(t) : (kKappa * t + 16.0) / 116.0;
}

double fInverse(double v)
{
    const double cube = v * v * v;
    return cube > kEpsilon ? cube : (116.0 * v - 16.0) / kKappa;
}

} // namespace

CieLab toCieLab(ColorValue c)
{
    const LinearRgb rgb = toLinear(c);
    const Vec3 xyz = times(matrices().toXyz, Vec3{rgb.r, rgb.g, rgb.b});
    const double fx = f(xyz[0]), fy = f(xyz[1]), fz = f(xyz[2]);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)};
}

// The polar form is the same arithmetic as OKLCH's, whatever the space.
CieLch toCieLch(const CieLab& lab)
{
    const OkLch p = toOkLch(OkLab{lab.L, lab.a, lab.b});
    return {p.L, p.C, p.h};
}

CieLab fromCieLch(const CieLch& lch)
{
    const OkLab p = fromOkLch(OkLch{lch.L, lch.C, lch.h});
    return {p.L, p.a, p.b};
}

LinearRgb toLinear(const CieLab& lab)
{
    const double fy = (lab.L + 16.0) / 116.0;
    // Below kappa * epsilon (L 8) lightness is linear in Y.
    const double y = lab.L > kKappa * kEpsilon ? fy * fy * fy : lab.L / kKappa;
    const Vec3 xyz = {fInverse(fy + lab.a / 500.0), y, fInverse(fy - lab.b / 200.0)};
    const Vec3 rgb = times(matrices().fromXyz, xyz);
    return {rgb[0], rgb[1], rgb[2]};
}

ColorValue toColor(const CieLab& lab)
{
    return fromLinear(toLinear(lab));
}

} // namespace tintaro
