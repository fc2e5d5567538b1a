#include "plotters/quillane/raster_frame.h"

#include <cstring>

#include "common/heap.h"
#include "common/plot_contract.h"
#include "plotters/quillane/emit.h"
#include "plotters/quillane/palette_record.h"
#include "plotters/quillane/pe_encoding.h"

namespace drv::quillane {
namespace {

// "%%" reaches the device as one "%". Transparency on; enter PCL at the pen
// position, push the palette, allow negative motion, then announce the six
// configure-image-data bytes.
constexpr const char *kEnterPcl = "TR1;\x1b%%1A\x1b*p0P\x1b&a0N\x1b*v6W";
// Source width in pixels and height in rows.
constexpr const char *kSourceSizeFormat = "\x1b*r%dS\x1b*r%dT";
// Destination width and height in decipoints.
constexpr const char *kDestinationSizeFormat = "\x1b*t%.0fH\x1b*t%.0fV";
// Colour components of one palette index.
constexpr const char *kPaletteEntryFormat = "\x1b*v%da%db%dc%dI";
// Start raster graphics in scale mode at the cursor.
constexpr const char *kStartRaster = "\x1b*r3A";
// End raster graphics, pop the palette, back to HP-GL/2 at the previous pen
// position, transparency off.
constexpr const char *kEndRaster = "\x1b*rC\x1b*p1P\x1b%%0BTR0;";

// 720 decipoints per inch, 25.4 millimetres per inch.
constexpr double kDecipointsPerMillimetre = 28.346456692913;

// Configure-image-data payload: colour space (device RGB), pixel encoding,
// bits per index, bits for red, green and blue.
constexpr std::size_t kPayloadSize = 6;
constexpr std::uint8_t kDirectByPixel[kPayloadSize] = {0, 3, 8, 8, 8, 8};
constexpr std::uint8_t kIndexedByPlane[kPayloadSize] = {0, 0, 0, 8, 8, 8};
constexpr std::size_t kBitsPerIndexByte = 2;

constexpr std::int32_t kTableEntries = 256;
constexpr std::size_t kTableSize = 3 * kTableEntries;

// The 256-entry RGB table that palette-expanded rows look pixels up in;
// entries the record does not hold are black. Null when not obtained.
std::uint8_t *buildExpansionTable(const std::uint8_t *record) {
    auto *table = static_cast<std::uint8_t *>(obtainBlock(kTableSize));
    if (table == nullptr) {
        return nullptr;
    }
    std::memset(table, 0, kTableSize);
    const std::int32_t lastIndex = paletteLastIndex(record);
    for (std::int32_t i = 0; i < kTableEntries && i <= lastIndex; ++i) {
        const PaletteColor color = paletteColor(record, i);
        table[3 * i] = static_cast<std::uint8_t>(color.red);
        table[3 * i + 1] = static_cast<std::uint8_t>(color.green);
        table[3 * i + 2] = static_cast<std::uint8_t>(color.blue);
    }
    return table;
}

std::int32_t programPalette(std::uint8_t *out, const std::uint8_t *record) {
    std::int32_t n = 0;
    const std::int32_t lastIndex = paletteLastIndex(record);
    for (std::int32_t i = 0; i <= lastIndex; ++i) {
        const PaletteColor color = paletteColor(record, i);
        n += emitText(out + n, kPaletteEntryFormat, color.red, color.green, color.blue, i);
    }
    return n;
}

}  // namespace

void releaseRasterBuffers(PlotterState &state) {
    releaseBlock(state.seedRow);
    releaseBlock(state.palette);
    state.seedRow = nullptr;
    state.palette = nullptr;
}

std::int32_t rasterBegin(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                         const void *text) {
    // Buffers of an image that was never ended would otherwise be lost.
    releaseRasterBuffers(state);
    const auto *record = static_cast<const std::uint8_t *>(text);
    const std::int32_t depth = cellInt(request, 6);
    const bool indexed = depth < 16;
    const bool expand = hasFlag(request, FlagExpandPalette);

    std::int32_t n = penUpMoveAndClose(out, state, cellInt(request, 0), cellInt(request, 1));
    n += emitText(out + n, kEnterPcl);
    std::uint8_t payload[kPayloadSize];
    if (indexed && !expand) {
        std::memcpy(payload, kIndexedByPlane, kPayloadSize);
        payload[kBitsPerIndexByte] = cellByte(request, 6);
    } else {
        std::memcpy(payload, kDirectByPixel, kPayloadSize);
    }
    std::memcpy(out + n, payload, kPayloadSize);
    n += static_cast<std::int32_t>(kPayloadSize);
    n += emitText(out + n, kSourceSizeFormat, cellInt(request, 4), cellInt(request, 5));
    n += emitText(out + n, kDestinationSizeFormat,
                  double{cellFloat(request, 2)} * kDecipointsPerMillimetre,
                  double{cellFloat(request, 3)} * kDecipointsPerMillimetre);
    if (indexed && !expand) {
        n += programPalette(out + n, record);
    }
    n += emitText(out + n, kStartRaster);
    if (indexed && expand) {
        state.palette = buildExpansionTable(record);
    }
    return n;
}

std::int32_t rasterEnd(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = emitText(out, kEndRaster);
    releaseRasterBuffers(state);
    if (hasFlag(request, FlagHaltAfterRaster)) {
        state.vectorsHalted = 1;
    }
    return n;
}

}  // namespace drv::quillane
