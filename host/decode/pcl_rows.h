// PCL raster row decompression, bounded on both sides: a row never grows
// past its plane length (the device clips what lies beyond the source
// width) and no command reads past its data.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace drv::decode {

// Decodes `data`, compressed with PCL `method`, into `row`, whose size is
// the plane length:
//   0  unencoded: the bytes, zeros after them;
//   1  run-length: (count - 1, byte) pairs;
//   2  PackBits: header h 0..127 takes h + 1 literal bytes, 129..255 repeats
//      the next byte 257 - h times, 128 does nothing;
//   3  delta row: the seed with replacements (count and offset in the
//      command byte, offset bytes of 255 continuing), so no data repeats the
//      seed.
// Methods 0 to 2 replace the whole row; `seed` (the plane's previous row,
// the size of `row`) is read only by method 3. Returns false with the
// reason in `problem` for an unknown method or data that ends inside a
// command; `row` then holds what was decoded before it. `extent`, when
// given, receives how far into the row the data reached (clipped to it).
bool decodeRow(int method, std::span<const std::uint8_t> data, std::span<const std::uint8_t> seed,
               std::vector<std::uint8_t> &row, std::string &problem, std::size_t *extent = nullptr);

} // namespace drv::decode
