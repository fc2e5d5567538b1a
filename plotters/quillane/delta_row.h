// Delta-row compression (PCL compression method 3) against the seed row.
//
// The output is a sequence of commands. A command byte holds the number of
// replacement bytes minus one in bits 7-5 (1..8 bytes) and an offset in bits
// 4-0; the offset counts the bytes left unchanged since the previous
// replacement (since the row start for the first). Offset 31 means that
// offset bytes follow, each adding its value, a byte of 255 announcing
// another. The replacement bytes follow. Bytes after the last replacement
// stay as they are, so a row equal to its seed compresses to nothing.
#pragma once

#include <cstdint>

#include "plotters/quillane/compress.h"
#include "plotters/quillane/row_scan.h"

namespace drv::quillane {

// Most bytes compressDeltaRow writes into its destination for a row of
// `length` bytes: it gives up before a byte would go past `length`. Uncapped,
// a row differing everywhere would grow by one command byte per 8 bytes.
constexpr std::int32_t deltaRowBound(std::int32_t length) { return length > 0 ? length : 0; }

// Compresses `length` bytes of `row` against `seed` (the previous row as the
// device holds it, `length` bytes) into `out` (room for `length` bytes).
// Returns the count, at most `length` (equal means no gain), or
// kCompressGaveUp when one more byte would not fit. A length of 0 or less
// writes nothing and returns 0; a null buffer gives up.
std::int32_t compressDeltaRow(std::uint8_t *out, const std::uint8_t *row, std::int32_t length,
                              const std::uint8_t *seed);

// compressDeltaRow with a chosen scanner (row_scan.h), as compressPackBitsWith.
template <typename Scan>
std::int32_t compressDeltaRowWith(std::uint8_t *out, const std::uint8_t *row, std::int32_t length,
                                  const std::uint8_t *seed);

}  // namespace drv::quillane
