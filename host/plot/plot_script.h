// A plot script through a plotter driver into an output target: what
// `drvhost plot` and the demo do, ready for any program that plots scripts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/io/byte_sink.h"
#include "host/plot/plot_runner.h"

namespace drv::host {

// Runs the script `source` (named `scriptName` in messages; Image files
// relative to `baseDir`) through the plotter `driver` into `target`. The
// script and the driver's needs are checked before the target is opened,
// so a bad script never leaves output behind. On failure returns false
// with one message per script error ("FILE:LINE:COL: ...") or one reason
// ("drvhost: ..."). With `sent`, every byte sent is also appended there,
// and an empty target sends the bytes nowhere else.
bool plotScript(const std::string &driver, std::string_view source, const std::string &scriptName,
                const std::string &baseDir, const OutputTarget &target, bool progressBar,
                PlotRunStats &stats, std::vector<std::string> &messages,
                std::vector<std::uint8_t> *sent = nullptr);

} // namespace drv::host
