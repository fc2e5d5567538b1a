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
// characters and its own codes.
constexpr std::size_t kPeTextLimit = 32000;
constexpr std::size_t kPciJobTextLimit = 100;

constexpr PlotterTraits kKnownPlotters[] = {
    {"quillane", QUILLANE_STATE_SIZE, kPeCoordinateLimit, kPeTextLimit, kPeTextLimit, false},
    {"drevant", DREVANT_STATE_SIZE, kPciCoordinateLimit, kPciJobTextLimit, kPeTextLimit, true},
};

constexpr PlotterTraits kUnknownPlotter = {
    "", PLOTTER_STATE_SIZE_MAX, kPciCoordinateLimit, kPciJobTextLimit, kPeTextLimit, true};

} // namespace

const PlotterTraits &plotterTraits(std::string_view name) {
    for (const PlotterTraits &traits : kKnownPlotters) {
        if (traits.name == name) {
            return traits;
        }
    }
    return kUnknownPlotter;
}

} // namespace drv::host
