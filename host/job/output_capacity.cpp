#include "host/job/output_capacity.h"

namespace drv::host {

std::size_t outputCapacity(const PlotCall &call) {
    // Fixed commands, a job's preamble and two whole PCI records (255 bytes
    // each: EndJob may hand back the pending record and the trailer's) fit
    // in the base; texts are copied at most once, escaped never.
    constexpr std::size_t kBase = 1024;
    constexpr std::size_t kPaletteCommand = 32; // "\e*v255a255b255c255I" and more
    std::size_t capacity = kBase + 2 * call.text.size();
    if (call.request.op == OpRasterBegin && call.text.size() >= offsetof(RasterPalette, entries)) {
        capacity += (call.text.size() / sizeof(RasterPaletteEntry)) * kPaletteCommand;
    }
    // A row goes out in the form the driver sends it, which for palette
    // expansion and direct colour is three bytes a pixel, more than the row
    // the host packed.
    const std::int32_t width = call.request.param[0].i;
    if (call.request.op == OpRasterRow && width >= 0) {
        const std::int32_t depth = call.request.param[1].i;
        capacity += QUILLANE_ROW_OUTPUT_MAX(static_cast<std::size_t>(width), depth,
                                            call.request.flags);
    }
    return capacity;
}

} // namespace drv::host
