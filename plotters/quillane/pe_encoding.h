// HP-GL/2 polyline encoding (the PE instruction).
//
// Pen numbers and coordinates travel inside one PE instruction that stays
// open across calls while only coordinates and pen changes follow. Each
// number is its sign folded into the lowest bit, written least significant
// digit first as base-32 or base-64 digits d + 63; the most significant digit
// carries the terminator mark (+32 in base 32, +128 in base 64).
#pragma once

#include <cstdint>

#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// Most digit bytes one number can take: a difference of two int32 values
// folds to less than 2^33, which is at most 7 base-32 digits.
constexpr std::int32_t kMaxPeDigits = 7;

// Writes `value` as one polyline-encoded number in the base `state.sevenBit`
// selects, then a NUL (not counted). Returns the digit count, 1 to
// kMaxPeDigits. Values within +-(2^30 - 1) are what the device accepts; any
// difference of two int32 coordinates is still encoded exactly, without
// overflow, in at most kMaxPeDigits bytes.
std::int32_t encodePeNumber(std::uint8_t *out, const PlotterState &state, std::int64_t value);

// Makes sure a PE instruction is open before a pair or pen number: opens one
// ("PE", "7" in base 32, "<" when penUp, "=" for an absolute first pair;
// resets lastX/lastY) or, when one is open, writes "<" if penUp. Returns the
// bytes written (0 to 5).
std::int32_t openPe(std::uint8_t *out, PlotterState &state);

// Ends an open PE instruction with ";"; writes nothing when none is open.
// Returns the bytes written (0 or 1).
std::int32_t closePe(std::uint8_t *out, PlotterState &state);

// A move to (x, y): openPe, then x - lastX and y - lastY (computed in 64
// bits). Pen up or down as `penUp` says; lastX/lastY are left unchanged (see
// recordedMoveTo). Returns the bytes written, at most 5 + 2 * kMaxPeDigits.
std::int32_t moveTo(std::uint8_t *out, PlotterState &state, std::int32_t x, std::int32_t y);

// moveTo, after which (x, y) is the point the next pair is relative to.
std::int32_t recordedMoveTo(std::uint8_t *out, PlotterState &state, std::int32_t x, std::int32_t y);

// Sets penUp, moves to (x, y) and closes the instruction: how circles, arcs,
// labels, polygons and images place the pen before their own command. Not
// recorded: the next PE instruction starts from 0 anyway.
std::int32_t penUpMoveAndClose(std::uint8_t *out, PlotterState &state, std::int32_t x,
                               std::int32_t y);

}  // namespace drv::quillane
