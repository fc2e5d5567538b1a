// Reading the host's RasterPalette record.
//
// The record is read through byte offsets, little-endian, never through a
// struct cast: hosts may pass more entries than the C declaration holds,
// and the record need not be aligned.
//
//   offset 0   6 bytes   host-private
//   offset 6   int16     lastIndex: entries 0..lastIndex follow (none if < 0)
//   offset 8   8 bytes per entry:
//              +0 2 bytes host-private, +2 red, +4 green, +6 blue (uint16)
#pragma once

#include <cstdint>

namespace drv::quillane {

inline std::uint16_t readLittle16(const std::uint8_t *at) {
    return static_cast<std::uint16_t>(at[0] | at[1] << 8);
}

// The record's last entry index; a missing record (null) holds no entries.
inline std::int32_t paletteLastIndex(const std::uint8_t *record) {
    return record != nullptr ? static_cast<std::int16_t>(readLittle16(record + 6)) : -1;
}

// Red, green and blue of entry `index` as the device takes them: the high
// byte of each 16-bit intensity. The caller keeps `index` within lastIndex.
struct PaletteColor {
    std::int32_t red;
    std::int32_t green;
    std::int32_t blue;
};

inline PaletteColor paletteColor(const std::uint8_t *record, std::int32_t index) {
    const std::uint8_t *entry = record + 8 + 8 * index;
    return {readLittle16(entry + 2) >> 8, readLittle16(entry + 4) >> 8,
            readLittle16(entry + 6) >> 8};
}

}  // namespace drv::quillane
