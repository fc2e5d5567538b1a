// Small pieces every operation uses to append its output.
//
// Output is a byte buffer owned by the host; every writer returns the bytes
// it appended and the caller advances by that count. Commands are text built
// by the formatting kit, which ends each piece with a NUL that the next
// piece overwrites.
#pragma once

#include <cstdint>

#include "common/format_kit.h"

namespace drv::quillane {

// Writes `format` with `args` through the formatting kit at `out`, then a
// NUL (not counted). Returns the bytes written. The driver's own formats
// carry no malformed precision, so the kit's -1 cannot occur here.
template <typename... Args>
std::int32_t emitText(std::uint8_t *out, const char *format, const Args &...args) {
    return formatText(reinterpret_cast<char *>(out), format, args...);
}

// The host's string argument; a null pointer reads as an empty string.
inline const char *textOrEmpty(const void *text) {
    return text != nullptr ? static_cast<const char *>(text) : "";
}

}  // namespace drv::quillane
