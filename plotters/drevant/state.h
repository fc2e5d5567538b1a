// The job memory of the binary-coded plotter driver.
//
// The host owns the block and hands it back with every call of a job; the
// driver alone reads and writes it. The layout is shared with no one, but
// its size is published (DREVANT_STATE_SIZE) so that hosts can allocate it,
// hence the checks at the end of this file.
#pragma once

#include <cstddef>
#include <cstdint>

#include "drvsuite/plotter.h"

namespace drv::drevant {

// The line buffer and every body buffer: at most 255 characters and a NUL.
inline constexpr std::int32_t kLineSize = 256;
inline constexpr std::int32_t kLineCapacity = kLineSize - 1;

struct PlotterState {
    // The record being collected, NUL-terminated; obtained by OpBeginJob,
    // released by OpEndJob, null outside a job (undefined before the first
    // OpBeginJob of a block).
    std::uint8_t *lineBuffer;
    // Where the device's pen stands once everything collected is plotted.
    std::int32_t lastX;
    std::int32_t lastY;
    // Framing chosen by the host at OpBeginJob, kept for the whole job.
    std::int8_t biasChar;    // added to every code value
    std::int8_t radix;       // base of the coordinate digits, 2..127
    std::int8_t syncCount;   // sync characters opening a record, 0..127
    std::uint8_t syncChar;
    std::uint8_t terminator; // ends a record, written three times
    std::int8_t checksumOn;  // nonzero: records carry a checksum character
    // Label style as last sent by OpTextStyle; kept across jobs.
    std::int32_t charHeight;
    std::int32_t widthRatio; // character width in sixteenths of the height
    std::int32_t dirX;       // label direction, components times 32767
    std::int32_t dirY;
};

static_assert(offsetof(PlotterState, lineBuffer) == 0);
static_assert(offsetof(PlotterState, lastX) == sizeof(void *));
static_assert(offsetof(PlotterState, biasChar) == sizeof(void *) + 8);
static_assert(offsetof(PlotterState, checksumOn) == sizeof(void *) + 13);
static_assert(sizeof(PlotterState) == DREVANT_STATE_SIZE,
              "DREVANT_STATE_SIZE must match the driver's state record");
static_assert(alignof(PlotterState) <= PLOTTER_STATE_ALIGN);

// Bytes that open a record (sync characters and code 0) and close it
// (checksum character when enabled, three terminators).
inline std::int32_t openLength(const PlotterState &state) {
    return (state.syncCount < 0 ? 0 : state.syncCount) + 1;
}
inline std::int32_t closeLength(const PlotterState &state) {
    return (state.checksumOn != 0 ? 1 : 0) + 3;
}

// The longest body that still fits a record of its own in the line buffer.
inline std::int32_t maxBodyLength(const PlotterState &state) {
    return kLineCapacity - openLength(state) - closeLength(state);
}

}  // namespace drv::drevant
