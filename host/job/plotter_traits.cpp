#include "host/job/plotter_traits.h"

#include "drvsuite/plotter.h"

namespace drv::host {
namespace {

// quillane sends each coordinate as a difference from the last point, in a
// number format that carries +-(2^30 - 1); coordinates of half that keep
// every difference inside it. drevant cuts long moves into steps of at most
// 32767 units, 7 bytes each, into a command body of 255 bytes that also
// holds up to 79 bytes of label; +-(2^18 - 1) keeps a move within 17 steps.
constexpr std::int32_t kPeCoordinateLimit = (1 << 29) - 1;
constexpr std::int32_t kPciCoordinateLimit = (1 << 18) - 1;

// quillane writes one command per text in a formatter limited to 32767
// bytes; drevant copies job texts into a 255-byte record with up to 127 sync
// characters and its own codes, and a label body carries 77 characters.
constexpr std::size_t kPeTextLimit = 32000;
constexpr std::size_t kPciJobTextLimit = 100;
constexpr std::size_t kPciLabelChars = 77;

constexpr PlotterTraits kKnownPlotters[] = {
    {.name = "quillane",
     .stateSize = QUILLANE_STATE_SIZE,
     .coordinateLimit = kPeCoordinateLimit,
     .maxJobText = kPeTextLimit,
     .maxLabelText = kPeTextLimit,
     .recordFraming = false,
     .plotter = kQuillane,
     .language = "HP-GL/2 vectors with polyline-encoded coordinates in base 32, or base 64 "
                 "with flag PeBase64; PCL raster images as bit planes (PackBits), "
                 "palette-expanded or direct-colour rows (delta-row coding)"},
    {.name = "drevant",
     .stateSize = DREVANT_STATE_SIZE,
     .coordinateLimit = kPciCoordinateLimit,
     .maxJobText = kPciJobTextLimit,
     .maxLabelText = kPeTextLimit,
     .recordFraming = true,
     .plotter = kDrevant,
     .labelCharsDrawn = kPciLabelChars,
     .pciGeometry = true,
     .language = "binary-coded plot language: command bodies in records framed by BeginJob's "
                 "bias, radix, sync characters, checksum and terminator"},
};

constexpr PlotterTraits kUnknownPlotter = {.name = "",
                                           .stateSize = PLOTTER_STATE_SIZE_MAX,
                                           .coordinateLimit = kPciCoordinateLimit,
                                           .maxJobText = kPciJobTextLimit,
                                           .maxLabelText = kPeTextLimit,
                                           .recordFraming = true};

} // namespace

const PlotterTraits &plotterTraits(std::string_view name) {
    for (const PlotterTraits &traits : kKnownPlotters) {
        if (traits.name == name) {
            return traits;
        }
    }
    return kUnknownPlotter;
}

bool handles(const PlotterTraits &traits, const OpInfo &op) {
    return traits.plotter == 0 || (op.handledBy & traits.plotter) != 0;
}

} // namespace drv::host
