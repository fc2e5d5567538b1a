// The drawing operations: each builds its body, hands it to the pending
// record (emitBody, BodyCommand) and returns the count of bytes written to
// `out`, which is 0 or one earlier record (at most 255 bytes).
//
// An operation changes the block only when its body was collected: a body
// that is spoiled (too long, a code byte of 0), or arrives while the block
// holds no line buffer, leaves position and label style as they were, so
// `lastX`/`lastY` always describe where the pen stands after the bytes the
// device will actually receive.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/drevant/state.h"

namespace drv::drevant {

// OpSelectPen: codes 4 and the pen number as a code value, or with flags bit
// 0x02 the three-digit form of encodePenNumber.
std::int32_t selectPen(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpVelocity, only when param[1] and param[5] are nonzero: codes 11, 0, 5,
// 11, pen, v = round(param[6] x 10), 11, then the low byte of
// s = round(param[2] / 10) as two base-16 digits.
std::int32_t velocity(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpPenUp (code 3) and OpPenDown (code 2).
std::int32_t penUp(std::uint8_t *out, PlotterState &state);
std::int32_t penDown(std::uint8_t *out, PlotterState &state);

// OpPlot: the pair from the pen position to (param[0], param[1]).
std::int32_t plot(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpCircle, centre (param[0], param[1]), radius param[2]: pair to the start
// point (cx - r, cy), code 2, then codes 12, 5 and pair (r, 0), or for a
// radius above 32767 codes 12, 13 and r split in units of 4096. The pen
// ends at the start point; one that would leave the 32-bit range is refused.
std::int32_t circle(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpArc, centre, start and end point in param[0]..param[5]: code 3, pair to
// the start, codes 12, 11, then start-to-centre and centre-to-end, each as
// the pair of its 4096-unit quotients and the pair of its rests.
std::int32_t arc(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpTextStyle: height param[0], width ratio 16 x param[1] / param[0] kept to
// 1..127 (1 for a zero height), direction (param[7], param[6]) x 32767 and
// slant param[8] x 128 kept to -127..127; codes 11, 5, 15 and four pairs.
// Stores the style for OpLabel only when the body was collected.
std::int32_t textStyle(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpLabel at (param[0], param[1]): pair to the point, code 5, the count n
// (text cut to 77 characters) and the text; the pen then advances n times
// one character's advance of the stored style. A label whose end would leave
// the 32-bit range is refused.
std::int32_t label(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                   const char *text);

// OpFont, only when param[1] is nonzero: codes 11, 0, 9, 11, 7 and the
// symbol set param[3].
std::int32_t font(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

}  // namespace drv::drevant
