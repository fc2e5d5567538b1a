// Plot scripts run through the built plotter libraries in memory, as
// drvhost runs them: the checked requests and the exact device bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/job/plot_call.h"

namespace drv::test {

struct RanJob {
    std::vector<host::PlotCall> calls;
    std::vector<std::uint8_t> bytes;
    std::string error; // empty when the script checked and ran
};

// Pictures named in Image lines come from the demo's own pictures.
RanJob runPlotScript(const std::string &driver, const std::string &script);

} // namespace drv::test
