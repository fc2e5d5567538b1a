// PackBits row compression (PCL compression method 2).
//
// The output is a sequence of runs, each opened by a header byte h read as
// signed: 0..127 means h + 1 literal bytes follow; -1..-127 means the one
// byte that follows stands for 1 - h copies (2..128); -128 is never written.
#pragma once

#include <cstdint>

#include "plotters/quillane/compress.h"
#include "plotters/quillane/row_scan.h"

namespace drv::quillane {

// Most bytes compressPackBits writes into its destination for a row of
// `length` bytes: the write that fills the destination is the last one, so
// a destination of the row's length always suffices. Uncapped, noise would
// grow by one header byte per 128 literal bytes.
constexpr std::int32_t packBitsBound(std::int32_t length) { return length > 0 ? length : 0; }

// Compresses `length` bytes of `row` into `out` (room for `length`
// bytes). Returns the compressed count, always below `length`, or
// kCompressGaveUp as soon as the output reaches `length` bytes. A length of
// 0 or less writes nothing and returns 0; a null buffer gives up.
std::int32_t compressPackBits(std::uint8_t *out, const std::uint8_t *row, std::int32_t length);

// compressPackBits with a chosen scanner (row_scan.h): scan::Words, and
// scan::Sse2 where the build has it. All give the same results; the tests
// hold each of them to the byte-at-a-time rules.
template <typename Scan>
std::int32_t compressPackBitsWith(std::uint8_t *out, const std::uint8_t *row, std::int32_t length);

}  // namespace drv::quillane
