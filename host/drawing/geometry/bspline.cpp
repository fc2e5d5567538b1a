#include "host/drawing/geometry/bspline.h"

#include <algorithm>
#include <cmath>

namespace drv::drawing {
namespace {

// A control point in homogeneous form (w x, w y, w).
struct Weighted {
    double x = 0;
    double y = 0;
    double w = 1;

    Weighted operator*(double s) const { return {x * s, y * s, w * s}; }
    Weighted operator+(const Weighted &o) const { return {x + o.x, y + o.y, w + o.w}; }
    Point point() const { return {x / w, y / w}; }
};

using Piece = std::vector<Weighted>;

// Inserts knot `t` once (Boehm); `span` is the index with knots[span] <= t <
// knots[span + 1].
void insertKnot(int p, std::vector<double> &knots, std::vector<Weighted> &control, double t, int span) {
    std::vector<Weighted> next(control.size() + 1);
    for (int i = 0; i <= span - p; ++i) {
        next[static_cast<std::size_t>(i)] = control[static_cast<std::size_t>(i)];
    }
    for (int i = span - p + 1; i <= span; ++i) {
        const auto ui = static_cast<std::size_t>(i);
        const double alpha = (t - knots[ui]) / (knots[ui + static_cast<std::size_t>(p)] - knots[ui]);
        next[ui] = control[ui] * alpha + control[ui - 1] * (1 - alpha);
    }
    for (std::size_t i = static_cast<std::size_t>(span); i < control.size(); ++i) {
        next[i + 1] = control[i];
    }
    knots.insert(knots.begin() + span + 1, t);
    control = std::move(next);
}

int multiplicity(const std::vector<double> &knots, double t) {
    return static_cast<int>(std::count(knots.begin(), knots.end(), t));
}

// Makes the knot vector clamped: the curve's ends become its first and last
// control points, as the decomposition below needs.
void clamp(int p, std::vector<double> &knots, std::vector<Weighted> &control) {
    const double start = knots[static_cast<std::size_t>(p)];
    while (multiplicity(knots, start) < p) {
        const auto span = static_cast<int>(std::upper_bound(knots.begin(), knots.end(), start) - knots.begin()) - 1;
        insertKnot(p, knots, control, start, span);
    }
    // Drop what lies before the domain: the first occurrence of `start`
    // must sit at index p.
    const auto first = static_cast<int>(std::lower_bound(knots.begin(), knots.end(), start) - knots.begin());
    if (first > 0) {
        const int drop = std::max(0, first - 1);
        knots.erase(knots.begin(), knots.begin() + drop);
        control.erase(control.begin(), control.begin() + drop);
        knots.front() = start;
    }
    std::fill(knots.begin(), knots.begin() + p + 1, start);
    const double end = knots[knots.size() - 1 - static_cast<std::size_t>(p)];
    while (multiplicity(knots, end) < p) {
        const auto span = static_cast<int>(std::lower_bound(knots.begin(), knots.end(), end) - knots.begin()) - 1;
        insertKnot(p, knots, control, end, span);
    }
    const auto last = static_cast<std::size_t>(std::upper_bound(knots.begin(), knots.end(), end) - knots.begin());
    const std::size_t keepKnots = last + 1;
    if (keepKnots < knots.size()) {
        knots.resize(keepKnots);
        control.resize(knots.size() - static_cast<std::size_t>(p) - 1);
    }
    std::fill(knots.end() - p - 1, knots.end(), end);
}

// Cuts a clamped spline into its Bezier pieces (decomposition by knot
// refinement, linear in the number of control points).
std::vector<Piece> decompose(int p, const std::vector<double> &U, const std::vector<Weighted> &P) {
    const auto up = static_cast<std::size_t>(p);
    const int m = static_cast<int>(U.size()) - 1;
    std::vector<Piece> pieces(1, Piece(up + 1));
    std::copy(P.begin(), P.begin() + p + 1, pieces[0].begin());
    int a = p;
    int b = p + 1;
    std::vector<double> alphas(up);
    while (b < m) {
        const int i = b;
        while (b < m && U[static_cast<std::size_t>(b + 1)] == U[static_cast<std::size_t>(b)]) {
            ++b;
        }
        const int mult = b - i + 1;
        Piece &current = pieces.back();
        Piece next(up + 1);
        if (mult < p) {
            const double numer = U[static_cast<std::size_t>(b)] - U[static_cast<std::size_t>(a)];
            for (int j = p; j > mult; --j) {
                alphas[static_cast<std::size_t>(j - mult - 1)] =
                    numer / (U[static_cast<std::size_t>(a + j)] - U[static_cast<std::size_t>(a)]);
            }
            const int r = p - mult;
            for (int j = 1; j <= r; ++j) {
                const int save = r - j;
                const int s = mult + j;
                for (int k = p; k >= s; --k) {
                    const double alpha = alphas[static_cast<std::size_t>(k - s)];
                    current[static_cast<std::size_t>(k)] =
                        current[static_cast<std::size_t>(k)] * alpha + current[static_cast<std::size_t>(k - 1)] * (1 - alpha);
                }
                if (b < m) {
                    next[static_cast<std::size_t>(save)] = current[up];
                }
            }
        }
        if (b < m) {
            for (int k = p - mult; k <= p; ++k) {
                next[static_cast<std::size_t>(k)] = P[static_cast<std::size_t>(b - p + k)];
            }
            pieces.push_back(std::move(next));
            a = b;
            b = b + 1;
        }
    }
    return pieces;
}

// de Casteljau halves of a piece.
void split(const Piece &piece, Piece &left, Piece &right) {
    Piece work = piece;
    const std::size_t n = piece.size();
    left.assign(n, {});
    right.assign(n, {});
    for (std::size_t level = 0; level < n; ++level) {
        left[level] = work[0];
        right[n - 1 - level] = work[n - 1 - level];
        for (std::size_t k = 0; k + 1 < n - level; ++k) {
            work[k] = (work[k] + work[k + 1]) * 0.5;
        }
    }
}

// Chords for a piece that is no cubic: halves until every control point
// lies within the tolerance of the chord (the curve lies in their hull).
void flattenPiece(const Piece &piece, double tolerance, int depth, std::vector<Segment> &out) {
    const Point from = piece.front().point();
    const Point to = piece.back().point();
    double worst = 0;
    for (const Weighted &c : piece) {
        worst = std::max(worst, distanceToSegment(c.point(), from, to));
    }
    if (worst <= tolerance || depth >= 24) {
        out.push_back(Segment::line(to));
        return;
    }
    Piece left, right;
    split(piece, left, right);
    flattenPiece(left, tolerance, depth + 1, out);
    flattenPiece(right, tolerance, depth + 1, out);
}

bool check(const BSpline &s, std::string &error) {
    const std::size_t n = s.control.size();
    if (s.degree < 1 || s.degree > kMaxSplineDegree) {
        error = "spline degree " + std::to_string(s.degree) + " is outside 1 to " + std::to_string(kMaxSplineDegree);
        return false;
    }
    if (n < static_cast<std::size_t>(s.degree) + 1) {
        error = "a spline of degree " + std::to_string(s.degree) + " needs at least " +
                std::to_string(s.degree + 1) + " control points, not " + std::to_string(n);
        return false;
    }
    if (s.knots.size() != n + static_cast<std::size_t>(s.degree) + 1) {
        error = std::to_string(s.knots.size()) + " knots for " + std::to_string(n) +
                " control points of degree " + std::to_string(s.degree) + ": it needs " +
                std::to_string(n + static_cast<std::size_t>(s.degree) + 1);
        return false;
    }
    if (!std::is_sorted(s.knots.begin(), s.knots.end()) ||
        !std::all_of(s.knots.begin(), s.knots.end(), [](double k) { return std::isfinite(k); })) {
        error = "spline knots must not decrease";
        return false;
    }
    const auto p = static_cast<std::size_t>(s.degree);
    if (!(s.knots[n] > s.knots[p])) {
        error = "the spline's knots leave it no length";
        return false;
    }
    if (!s.weights.empty() && (s.weights.size() != n ||
                               !std::all_of(s.weights.begin(), s.weights.end(), [](double w) { return w > 0; }))) {
        error = "spline weights must be one above 0 per control point";
        return false;
    }
    return true;
}

} // namespace

bool splineSegments(const BSpline &spline, double tolerance, Subpath &out, std::string &error) {
    if (!check(spline, error)) {
        return false;
    }
    const int p = spline.degree;
    std::vector<double> knots = spline.knots;
    std::vector<Weighted> control;
    bool rational = false;
    for (std::size_t i = 0; i < spline.control.size(); ++i) {
        const double w = spline.weights.empty() ? 1 : spline.weights[i];
        rational = rational || w != (spline.weights.empty() ? 1 : spline.weights.front());
        control.push_back(Weighted{spline.control[i].x, spline.control[i].y, 1} * w);
    }
    clamp(p, knots, control);
    const std::vector<Piece> pieces = decompose(p, knots, control);
    if (out.segments.empty()) {
        out.start = pieces.front().front().point();
    }
    for (const Piece &piece : pieces) {
        const Point p0 = piece.front().point();
        if (!rational && p == 1) {
            out.segments.push_back(Segment::line(piece[1].point()));
        } else if (!rational && p == 2) {
            out.segments.push_back(quadraticAsCubic(p0, piece[1].point(), piece[2].point()));
        } else if (!rational && p == 3) {
            out.segments.push_back(Segment::cubic(piece[1].point(), piece[2].point(), piece[3].point()));
        } else {
            flattenPiece(piece, tolerance, 0, out.segments);
        }
    }
    return true;
}

} // namespace drv::drawing
