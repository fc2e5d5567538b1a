// Reading plot requests the way the drivers read them, for the oracles in
// expected_hpgl2.cpp and expected_pci.cpp.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "host/decode/drawing.h"
#include "host/job/plot_call.h"

namespace drv::test::cells {

inline std::int32_t cell(const host::PlotCall &c, int i) { return c.request.param[i].i; }
inline double real(const host::PlotCall &c, int i) { return static_cast<double>(c.request.param[i].f); }
inline decode::Point point(double x, double y) { return {x, y}; }

} // namespace drv::test::cells
