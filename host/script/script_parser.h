// The plot script language: one request per line.
//
//   # comment
//   BeginJob flags=0x01 page_width=16000 page_height=11000 pens=8 text="\e%-12345X"
//   SelectPen pen=1
//   Plot x=100 y=200              # or: OpPlot p0=100 p1=200, or: 9 p0=100 p1=200
//   Label x=0 y=0 text="Hello\r\n"
//   RasterBegin x=0 y=0 width_mm=20 height_mm=10 columns=8 rows=1 depth=1 palette=#FFFFFF,#000000
//   RasterRow hex=F0
//   RasterEnd
//   Image file="logo.png" x=0 y=0 width_mm=40 depth=8
//   EndJob
//
// The parser checks the lines one by one (names, value types, escapes);
// whether the requests come in an order the drivers accept is checked when
// the job is put together (script_job.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "host/job/plot_call.h"
#include "host/job/source_error.h"

namespace drv::host {

// An Image line, expanded into a raster bracket once the picture is read.
struct ImageDirective {
    std::string file;
    SourcePos filePos;
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::optional<float> widthMm;
    std::optional<float> heightMm;
    std::int32_t depth = 32;
    std::int32_t flags = 0;
    SourcePos pos;
};

using ScriptStatement = std::variant<PlotCall, ImageDirective>;

// Parses a whole script. Returns the statements of the lines that parsed and
// one error per bad line, in line order; a script is usable only when there
// are no errors.
std::vector<ScriptStatement> parseScript(std::string_view source, std::vector<SourceError> &errors);

} // namespace drv::host
