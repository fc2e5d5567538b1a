// A tablet's calibration as a small JSON file: which model and format it
// was made for, the transform from tablet counts to mm, and each reference
// point with its residual.
//
//   {
//     "drvhost_calibration": 1,
//     "model": "ambrel", "format": 1,
//     "transform": { "x_mm": [a, b, c], "y_mm": [d, e, f] },
//     "points": [ { "drawing_mm": [0, 0], "tablet": [1021, 998], "residual_mm": 0.04 }, ... ],
//     "worst_residual_mm": 0.07, "max_error_mm": 0.5
//   }
//
// x_mm = a * x + b * y + c and y_mm = d * x + e * y + f for tablet counts
// (x, y). "points" and the two figures after it tell the reader how good
// the fit is; only the model, the format and the transform are needed to
// use it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/calibration/affine_fit.h"

namespace drv::host {

struct CalibrationPoint {
    PlanePoint drawing; // mm
    PlanePoint tablet;  // counts
    double residual = 0;
};

struct Calibration {
    std::string model;
    int format = 1;
    Affine transform;
    std::vector<CalibrationPoint> points;
    double worst = 0;
    double maxError = 0;

    PlanePoint toMm(PlanePoint tablet) const { return transform.apply(tablet); }
};

// The file's text.
std::string calibrationText(const Calibration &calibration);

// Reads a calibration file's text; `name` is the file, for messages. False
// with "NAME:LINE:COLUMN: problem" (or "NAME: problem" for a value that is
// there but wrong) in `error`.
bool parseCalibration(std::string_view text, const std::string &name, Calibration &calibration,
                      std::string &error);

// Reads the file (at most kMaxCalibrationBytes) and parses it.
bool readCalibration(const std::string &path, Calibration &calibration, std::string &error);

// Larger than any calibration of sensible size (a few hundred bytes a point).
constexpr std::size_t kMaxCalibrationBytes = 1 << 20;
constexpr std::size_t kMaxCalibrationPoints = 1000;

} // namespace drv::host
