#include "host/drawing/geometry/affine.h"

#include <cmath>
#include <cstddef>
#include <numbers>

namespace drv::drawing {
namespace {

double radians(double degrees) {
    return degrees * std::numbers::pi / 180.0;
}

// Exact values at the quarter turns, so that rotate(90) maps integers to
// integers and a rotated sheet keeps its corners where they belong.
void cosSin(double degrees, double &cosine, double &sine) {
    const double turns = degrees / 90.0;
    if (turns == std::floor(turns) && std::abs(turns) < 1e9) {
        static constexpr double kCos[] = {1, 0, -1, 0};
        static constexpr double kSin[] = {0, 1, 0, -1};
        const auto quarter = static_cast<long long>(turns) % 4;
        const auto index = static_cast<std::size_t>(quarter < 0 ? quarter + 4 : quarter);
        cosine = kCos[index];
        sine = kSin[index];
        return;
    }
    cosine = std::cos(radians(degrees));
    sine = std::sin(radians(degrees));
}

} // namespace

double Affine::maxStretch() const {
    // The largest singular value of [a c; b d].
    const double p = (a * a + b * b + c * c + d * d) / 2;
    const double q = std::hypot((a * a + b * b - c * c - d * d) / 2, a * c + b * d);
    return std::sqrt(p + q);
}

Affine Affine::rotate(double degrees, double cx, double cy) {
    double cosine = 1;
    double sine = 0;
    cosSin(degrees, cosine, sine);
    const Affine turn{cosine, sine, -sine, cosine, 0, 0};
    return translate(-cx, -cy).then(turn).then(translate(cx, cy));
}

Affine Affine::skewX(double degrees) {
    return {1, 0, std::tan(radians(degrees)), 1, 0, 0};
}

Affine Affine::skewY(double degrees) {
    return {1, std::tan(radians(degrees)), 0, 1, 0, 0};
}

} // namespace drv::drawing
