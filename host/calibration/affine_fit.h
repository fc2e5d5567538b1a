// The affine transform from tablet counts to millimetres on the drawing,
// fitted by least squares to reference points whose positions on the
// drawing are known and whose tablet counts were pressed.
//
// An affine transform takes what a tablet and a taped-down sheet do to
// each other: a scale per axis (counts per mm), a rotation of the sheet,
// a shear (axes not quite square) and an offset. Three points fix it; with
// more, least squares spreads the pressing error over all of them and the
// residual of each point tells how well it was pressed.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace drv::host {

struct PlanePoint {
    double x = 0;
    double y = 0;
    bool operator==(const PlanePoint &) const = default;
};

// mm = (a x + b y + c, d x + e y + f) for tablet counts (x, y).
struct Affine {
    double a = 1, b = 0, c = 0;
    double d = 0, e = 1, f = 0;

    PlanePoint apply(PlanePoint tablet) const {
        return {a * tablet.x + b * tablet.y + c, d * tablet.x + e * tablet.y + f};
    }
};

// One reference point: where it is on the drawing and where it was pressed.
struct ReferencePair {
    PlanePoint drawing; // mm
    PlanePoint tablet;  // counts
};

struct AffineFit {
    Affine transform;
    // Per pair, in order: how far the fitted transform puts the pressed
    // point from the drawing's point, in mm. All 0 for three points, which
    // the transform meets exactly.
    std::vector<double> residuals;
    double worst = 0; // the largest residual
};

// Fewest pairs that fix an affine transform.
constexpr std::size_t kMinReferencePoints = 3;

// Whether the points lie on one line, or so near it that no plane
// transform follows from them: their spread across the line is less than a
// thousandth of their spread along it (one point, or all in one place,
// counts as a line).
bool onOneLine(std::span<const PlanePoint> points);

// Fits the transform, or returns nothing with the reason in `error`: fewer
// than three pairs, or the drawing's points or the pressed points on one
// line.
std::optional<AffineFit> fitAffine(std::span<const ReferencePair> pairs, std::string &error);

} // namespace drv::host
