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

Moments momentsOf(std::span<const PlanePoint> points) {
    Moments m;
    for (const PlanePoint &p : points) {
        m.mean.x += p.x;
        m.mean.y += p.y;
    }
    m.mean.x /= static_cast<double>(points.size());
    m.mean.y /= static_cast<double>(points.size());
    for (const PlanePoint &p : points) {
        const double u = p.x - m.mean.x;
        const double v = p.y - m.mean.y;
        m.xx += u * u;
        m.xy += u * v;
        m.yy += v * v;
    }
    return m;
}

// The smaller principal spread against the larger one (square roots of the
// moment matrix's eigenvalues).
bool thin(const Moments &m) {
    const double half = (m.xx + m.yy) / 2;
    const double root = std::hypot((m.xx - m.yy) / 2, m.xy);
    const double large = half + root;
    const double small = std::max(0.0, half - root);
    return !(large > 0) || std::sqrt(small / large) < kThinness;
}

} // namespace

bool onOneLine(std::span<const PlanePoint> points) {
    return points.empty() || thin(momentsOf(points));
}

std::optional<AffineFit> fitAffine(std::span<const ReferencePair> pairs, std::string &error) {
    if (pairs.size() < kMinReferencePoints) {
        error = "a calibration needs at least 3 reference points; " + std::to_string(pairs.size()) +
                (pairs.size() == 1 ? " was" : " were") + " pressed";
        return std::nullopt;
    }
    std::vector<PlanePoint> drawingPoints;
    std::vector<PlanePoint> tabletPoints;
    for (const ReferencePair &p : pairs) {
        drawingPoints.push_back(p.drawing);
        tabletPoints.push_back(p.tablet);
    }
    const Moments drawing = momentsOf(drawingPoints);
    if (thin(drawing)) {
        error = "the reference points lie on one line: a calibration needs points that span "
                "the drawing in both directions";
        return std::nullopt;
    }
    const Moments t = momentsOf(tabletPoints);
    if (thin(t)) {
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
