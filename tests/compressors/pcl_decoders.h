// Decoders for PCL compression methods 2 (PackBits) and 3 (delta row),
// written from the data format alone so that round trips check the
// compressors instead of mirroring them. Both are bounded on both sides:
// they never read past the input they are given nor write past the output,
// and report data that would make them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::test {

// Expands PackBits data into `output` (room for `capacity` bytes). Returns
// the bytes produced, or -1 for malformed data: a header of -128 (never
// written by a compressor), a run or literal cut short by the end of the
// input, or output beyond `capacity`.
std::int64_t decodePackBits(const std::uint8_t *input, std::size_t inputLength,
                            std::uint8_t *output, std::size_t capacity);

// Applies delta-row commands to `row`, which holds the seed row on entry
// (`rowLength` bytes) and the decoded row on return. Returns false for a
// command cut short by the end of the input or replacing bytes beyond the
// row; `row` is then partly updated.
bool applyDeltaRow(const std::uint8_t *input, std::size_t inputLength, std::uint8_t *row,
                   std::size_t rowLength);

}  // namespace drv::test
