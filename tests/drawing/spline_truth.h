// The point of a B-spline at a parameter by de Boor's recurrence: the
// reference that converted splines are held to.
#pragma once

#include <vector>

#include "host/drawing/geometry/bspline.h"

namespace drv::drawing::testing {

inline Point deBoor(const BSpline &s, double u) {
    const int p = s.degree;
    const int n = static_cast<int>(s.control.size()) - 1;
    int k = p;
    while (k < n && !(u < s.knots[static_cast<std::size_t>(k + 1)])) {
        ++k;
    }
    std::vector<double> x, y, w;
    for (int j = 0; j <= p; ++j) {
        const auto i = static_cast<std::size_t>(j + k - p);
        const double wt = s.weights.empty() ? 1 : s.weights[i];
        x.push_back(s.control[i].x * wt);
        y.push_back(s.control[i].y * wt);
        w.push_back(wt);
    }
    for (int r = 1; r <= p; ++r) {
        for (int j = p; j >= r; --j) {
            const double lo = s.knots[static_cast<std::size_t>(j + k - p)];
            const double hi = s.knots[static_cast<std::size_t>(j + 1 + k - r)];
            const double a = (u - lo) / (hi - lo);
            const auto uj = static_cast<std::size_t>(j);
            x[uj] = (1 - a) * x[uj - 1] + a * x[uj];
            y[uj] = (1 - a) * y[uj - 1] + a * y[uj];
            w[uj] = (1 - a) * w[uj - 1] + a * w[uj];
        }
    }
    const auto up = static_cast<std::size_t>(p);
    return {x[up] / w[up], y[up] / w[up]};
}


} // namespace drv::drawing::testing
