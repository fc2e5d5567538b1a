// The transfer-raster-data command that carries every row of an image.
#pragma once

#include <cstdint>

namespace drv::quillane {

// Compression methods as the command names them.
constexpr char kMethodUncompressed = '0';
constexpr char kMethodPackBits = '2';
constexpr char kMethodDeltaRow = '3';

// Longest command before the data: escape, "*b", method, "m", ten digits,
// terminator.
constexpr std::int32_t kMaxTransferHeader = 16;

// Writes "\e*b<method>m<count><terminator>" ("V" for a plane that more
// planes of the row follow, "W" for a row's last) and then `count` bytes of
// `data`. Writes exactly the returned count, header plus data, and nothing
// after it: a row's output ends with its last data byte.
std::int32_t emitTransfer(std::uint8_t *out, char method, std::int32_t count, char terminator,
                          const std::uint8_t *data);

}  // namespace drv::quillane
