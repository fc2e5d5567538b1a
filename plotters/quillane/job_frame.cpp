#include "plotters/quillane/job_frame.h"

#include <cstdint>
#include <limits>

#include "common/plot_contract.h"
#include "plotters/quillane/emit.h"
#include "plotters/quillane/pe_encoding.h"
#include "plotters/quillane/raster_frame.h"

namespace drv::quillane {
namespace {

// Header, page size, optional rotation, pen count, then the fixed set-up:
// round line caps and joins, transparency off.
constexpr const char *kBeginFormat = "%sPS%d,%d;%sNP%d;LA1,4,2,6;TR0;";
// A page whose first size is the shorter one is turned to landscape.
constexpr const char *kRotation = "RO90;";
// Pen up, put the pen away, feed the page.
constexpr const char *kEndFormat = "PUSP0PG;";
// RP repeats the page: the device prints it once more per count.
constexpr const char *kCopiesFormat = "RP%d;";

}  // namespace

std::int32_t beginJob(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                      const void *text) {
    state.sevenBit = hasFlag(request, FlagPeBase64) ? 0 : 1;
    state.penUp = 1;
    state.peOpen = 0;
    state.vectorsHalted = 0;
    // The block's contents before the first OpBeginJob are undefined; the
    // raster members must never hold garbage a later image would release.
    state.seedRow = nullptr;
    state.palette = nullptr;

    const std::int32_t first = cellInt(request, 2);
    const std::int32_t second = cellInt(request, 3);
    const bool rotate = first < second && !hasFlag(request, FlagNoRotation);
    return emitText(out, kBeginFormat, textOrEmpty(text), first, second, rotate ? kRotation : "",
                    cellInt(request, 4));
}

std::int32_t endJob(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                    const void *text) {
    std::int32_t n = closePe(out, state);
    n += emitText(out + n, kEndFormat);
    state.penUp = 1;
    const std::int32_t copies = cellInt(request, 1);
    if (cellInt(request, 0) != 0 && copies != 1) {
        // The repeat count is one less than the copies; the lowest int32 has
        // no predecessor and stays as it is rather than wrapping round to a
        // huge count.
        const std::int32_t repeats =
            copies == std::numeric_limits<std::int32_t>::min() ? copies : copies - 1;
        n += emitText(out + n, kCopiesFormat, repeats);
    }
    n += emitText(out + n, "%s", textOrEmpty(text));
    // A host may end the job inside an image (no OpRasterEnd): its buffers
    // go back here, as the next OpBeginJob must not trust the block.
    releaseRasterBuffers(state);
    return n;
}

}  // namespace drv::quillane
