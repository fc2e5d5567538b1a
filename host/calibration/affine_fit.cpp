#include "host/calibration/affine_fit.h"

#include <algorithm>
#include <cmath>

namespace drv::host {
namespace {

// A set of points spread across a line by less than this fraction of their
// spread along it fixes no plane transform: a fit through it would blow
// the pressing error up a thousandfold or more.
constexpr double kThinness = 1e-3;

struct Moments {
    PlanePoint mean;
    double xx = 0, xy = 0, yy = 0; // centred second moments
};

template <typename Get> Moments momentsOf(std::span<const ReferencePair> pairs, Get get) {
    Moments m;
    for (const ReferencePair &p : pairs) {
        m.mean.x += get(p).x;
        m.mean.y += get(p).y;
    }
    m.mean.x /= static_cast<double>(pairs.size());
    m.mean.y /= static_cast<double>(pairs.size());
    for (const ReferencePair &p : pairs) {
        const double u = get(p).x - m.mean.x;
        const double v = get(p).y - m.mean.y;
        m.xx += u * u;
        m.xy += u * v;
        m.yy += v * v;
    }
    return m;
}

// Whether the points lie on one line: the smaller principal spread against
// the larger one (square roots of the moment matrix's eigenvalues).
bool onOneLine(const Moments &m) {
    const double half = (m.xx + m.yy) / 2;
    const double root = std::hypot((m.xx - m.yy) / 2, m.xy);
    const double large = half + root;
    const double small = std::max(0.0, half - root);
    return !(large > 0) || std::sqrt(small / large) < kThinness;
}

} // namespace

std::optional<AffineFit> fitAffine(std::span<const ReferencePair> pairs, std::string &error) {
    if (pairs.size() < kMinReferencePoints) {
        error = "a calibration needs at least 3 reference points; " +
                std::to_string(pairs.size()) + (pairs.size() == 1 ? " was" : " were") +
                " pressed";
        return std::nullopt;
    }
    const Moments drawing = momentsOf(pairs, [](const ReferencePair &p) { return p.drawing; });
    if (onOneLine(drawing)) {
        error = "the reference points lie on one line: a calibration needs points that span "
                "the drawing in both directions";
        return std::nullopt;
    }
    const Moments t = momentsOf(pairs, [](const ReferencePair &p) { return p.tablet; });
    if (onOneLine(t)) {
        error = "the pressed points lie on one line (the same place pressed for several "
                "points?): no calibration follows from them";
        return std::nullopt;
    }

    // Least squares on centred tablet counts: the normal equations are the
    // 2 x 2 moment matrix against the cross moments with each mm axis.
    double ux = 0, vx = 0, uy = 0, vy = 0;
    const PlanePoint meanMm = drawing.mean;
    for (const ReferencePair &p : pairs) {
        const double u = p.tablet.x - t.mean.x;
        const double v = p.tablet.y - t.mean.y;
        ux += u * (p.drawing.x - meanMm.x);
        vx += v * (p.drawing.x - meanMm.x);
        uy += u * (p.drawing.y - meanMm.y);
        vy += v * (p.drawing.y - meanMm.y);
    }
    const double det = t.xx * t.yy - t.xy * t.xy;
    AffineFit fit;
    Affine &m = fit.transform;
    m.a = (t.yy * ux - t.xy * vx) / det;
    m.b = (t.xx * vx - t.xy * ux) / det;
    m.d = (t.yy * uy - t.xy * vy) / det;
    m.e = (t.xx * vy - t.xy * uy) / det;
    m.c = meanMm.x - m.a * t.mean.x - m.b * t.mean.y;
    m.f = meanMm.y - m.d * t.mean.x - m.e * t.mean.y;
    for (const ReferencePair &p : pairs) {
        const PlanePoint at = m.apply(p.tablet);
        fit.residuals.push_back(std::hypot(at.x - p.drawing.x, at.y - p.drawing.y));
        fit.worst = std::max(fit.worst, fit.residuals.back());
    }
    // Three points are met exactly; what rounding leaves is no residual.
    if (pairs.size() == kMinReferencePoints) {
        std::fill(fit.residuals.begin(), fit.residuals.end(), 0.0);
        fit.worst = 0;
    }
    return fit;
}

} // namespace drv::host
