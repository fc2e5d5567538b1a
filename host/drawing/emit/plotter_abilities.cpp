#include "host/drawing/emit/plotter_abilities.h"

#include "host/job/plotter_traits.h"

namespace drv::drawing {
namespace {

struct KnownAbilities {
    std::string_view name;
    bool circles;
    bool arcs;
    bool fills;
    double circleStartDegrees; // where the device starts a circle
    std::size_t maxLabel;      // characters one label request carries
    bool peBaseChoice;         // BeginJob's FlagPeBase64 picks base 64 PE numbers
};

// The HP-GL/2 circle starts at 0 degrees; the PCI circle at 180 (its
// leftmost point), and a PCI label carries at most 77 characters. Only the
// HP-GL/2 driver writes polyline-encoded numbers, in base 32 (safe on a
// 7-bit line) or base 64; the PCI driver reads the same flag bit as its
// device preamble switch.
constexpr KnownAbilities kKnown[] = {
    {"quillane", true, true, true, 0, 1000, true},
    {"drevant", true, false, false, 180, 77, false},
};

} // namespace

PlotterAbilities plotterAbilities(std::string_view name) {
    const host::PlotterTraits &traits = host::plotterTraits(name);
    PlotterAbilities abilities;
    abilities.coordinateLimit = traits.coordinateLimit;
    abilities.maxLabel = 77;
    for (const KnownAbilities &known : kKnown) {
        if (known.name == name) {
            abilities.circles = known.circles;
            abilities.arcs = known.arcs;
            abilities.fills = known.fills;
            abilities.circleStartDegrees = known.circleStartDegrees;
            abilities.maxLabel = known.maxLabel;
            abilities.peBaseChoice = known.peBaseChoice;
        }
    }
    return abilities;
}

} // namespace drv::drawing
