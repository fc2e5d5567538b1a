#include "host/job/palette_record.h"

#include <cstddef>
#include <cstring>

#include "drvsuite/plotter.h"

namespace drv::host {

std::vector<std::uint8_t> paletteRecord(const std::vector<Rgb> &colours) {
    std::vector<std::uint8_t> record(
        offsetof(RasterPalette, entries) + colours.size() * sizeof(RasterPaletteEntry), 0);
    const auto lastIndex = static_cast<std::int16_t>(static_cast<int>(colours.size()) - 1);
    std::memcpy(record.data() + offsetof(RasterPalette, lastIndex), &lastIndex, sizeof lastIndex);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        // 0xAB becomes 0xABAB: full white is 65535, and the high byte, the
        // only one a device receives, is the colour as written.
        const std::uint16_t channel[3] = {static_cast<std::uint16_t>(colours[i].red * 257u),
                                          static_cast<std::uint16_t>(colours[i].green * 257u),
                                          static_cast<std::uint16_t>(colours[i].blue * 257u)};
        std::uint8_t *entry = record.data() + offsetof(RasterPalette, entries) +
                              i * sizeof(RasterPaletteEntry) + offsetof(RasterPaletteEntry, red);
        std::memcpy(entry, channel, sizeof channel);
    }
    return record;
}

} // namespace drv::host
