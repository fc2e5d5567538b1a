// The job's memory between calls: the block the host allocates and passes
// with every request of one job. The host never looks inside it, but it
// allocates QUILLANE_STATE_SIZE bytes, so the record's size and member order
// are fixed for each pointer size and checked below.
#pragma once

#include <cstddef>
#include <cstdint>

#include "drvsuite/plotter.h"

namespace drv::quillane {

struct PlotterState {
    // 1: the next coordinate pair is a pen-up move ("<" before it).
    std::uint8_t penUp;
    // 1: a PE instruction is open in the output stream (no ";" sent yet).
    std::uint8_t peOpen;
    // 1: PE numbers in base 32 with the "7" flag; 0: base 64.
    std::uint8_t sevenBit;
    // Last pair written in the open PE instruction (0, 0 right after it
    // opens); the next pair is sent as the difference from it.
    std::int32_t lastX;
    std::int32_t lastY;
    // The delta-row seed of the current image (see seed_row.h), or null.
    std::uint8_t *seedRow;
    // 1: everything but OpBeginJob and OpEndJob produces nothing.
    std::uint8_t vectorsHalted;
    // 768-byte RGB expansion table of an indexed image, or null.
    std::uint8_t *palette;
};

static_assert(offsetof(PlotterState, penUp) == 0);
static_assert(offsetof(PlotterState, peOpen) == 1);
static_assert(offsetof(PlotterState, sevenBit) == 2);
static_assert(offsetof(PlotterState, lastX) == 4);
static_assert(offsetof(PlotterState, lastY) == 8);
static_assert(offsetof(PlotterState, seedRow) == (sizeof(void *) == 8 ? 16 : 12));
static_assert(offsetof(PlotterState, vectorsHalted) == (sizeof(void *) == 8 ? 24 : 16));
static_assert(offsetof(PlotterState, palette) == (sizeof(void *) == 8 ? 32 : 20));
static_assert(sizeof(PlotterState) == QUILLANE_STATE_SIZE,
              "hosts allocate QUILLANE_STATE_SIZE bytes for this record");
static_assert(alignof(PlotterState) <= PLOTTER_STATE_ALIGN);

}  // namespace drv::quillane
