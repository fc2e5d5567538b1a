// The delta-row seed of the current image.
//
// A delta row describes a row by its differences from the row the device
// holds as its seed: the last row it decoded. The block kept in
// PlotterState::seedRow is a copy of that row only while every colour row
// sent since it was filled went through here with flags 0x04 clear and the
// rows kept their length. A seed that was never filled (the first row ran
// out of memory), that missed a row sent with 0x04, or that belongs to rows
// of another length would make the device rebuild the wrong row, so the
// block records both facts beside the bytes:
//
//   offset 0  int32   row length in bytes
//   offset 4  uint8   1: the bytes are the device's seed
//   offset 8  the RGB bytes of the row
#pragma once

#include <cstdint>

namespace drv::quillane {

// The seed block for rows of `length` bytes: the held one when it has that
// length, otherwise a new one (the old one released) that matches nothing
// yet. Null, with `seedRow` null, when a new block cannot be obtained.
std::uint8_t *seedFor(std::uint8_t *&seedRow, std::int32_t length);

// True when the block holds the row the device holds as its seed.
bool seedMatchesDevice(const std::uint8_t *block);

// The block's row bytes, `length` of them as given to seedFor.
const std::uint8_t *seedBytes(const std::uint8_t *block);
std::uint8_t *seedBytes(std::uint8_t *block);

// Marks the block as no longer the device's seed; null is ignored.
void forgetSeed(std::uint8_t *block);

// A block laid out like a seed block for rows of `length` bytes, to convert
// a row into (at seedBytes) and then keep as the seed without copying it;
// null when it cannot be obtained.
std::uint8_t *obtainRowBlock(std::int32_t length);

// Makes `block` (from obtainRowBlock, holding the row just sent) the seed:
// the old seed block is released and the new one marked as the device's.
void adoptSeed(std::uint8_t *&seedRow, std::uint8_t *block);

}  // namespace drv::quillane
