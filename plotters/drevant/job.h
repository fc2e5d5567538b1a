// The two operations that frame a job: OpBeginJob and OpEndJob.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/drevant/state.h"

namespace drv::drevant {

// OpBeginJob: takes the framing from the low bytes of param[5]..param[10],
// sets the pen position to (0, 0), obtains the line buffer and writes the
// device-control preamble (flags bit 0x01) and the job's first record: the
// header `text` and the font set-up codes. Returns the count written, at
// most 67 + 255. The old lineBuffer is never read (the block may be fresh).
// Framing that cannot give a record free of 0 bytes (radix below 2, a
// negative syncCount, a 0 bias, terminator or used sync character), or a
// line buffer that cannot be obtained, leaves no line buffer and writes
// nothing: the job then produces nothing until the next OpBeginJob. A header
// too long for the first record is left out of it.
std::int32_t beginJob(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                      const char *text);

// OpEndJob: appends the trailer `text` to the pending record (opening one if
// none is pending, even for an empty trailer), delivers it and releases the
// line buffer. Returns the count written: one record, or two when the
// trailer does not fit beside the pending one (at most 510 bytes); a trailer
// too long for any record is left out. Without a line buffer: nothing.
std::int32_t endJob(std::uint8_t *out, PlotterState &state, const char *text);

}  // namespace drv::drevant
