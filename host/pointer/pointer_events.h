// A tablet as a desktop pointer: decoded reports turned into Linux input
// events, as the kernel's own drivers for serial tablets send them.
//
// The device is a pen tablet: absolute X and Y, the pen tool in range from
// the first report until the end, and three buttons, the pen's tip
// (BTN_TOUCH) and its two side buttons (BTN_STYLUS, BTN_STYLUS2). Which of
// the model's raw button codes presses which button is the caller's
// choice; the default takes button 1 as the tip, 2 and 3 as the side
// buttons, whether the model sends the number (1) or its character ('1',
// 49), and any other code but 0 as the tip.
//
// X grows to the right; the tablet's Y grows upwards and the screen's
// downwards, so Y is turned over: the top of the tablet's range is 0.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "host/calibration/affine_fit.h"

namespace drv::host {

enum class PenButton : std::uint8_t { Tip, Side, Side2 };

// Raw button codes and the button each presses; codes not listed but 0
// press the tip.
using PenButtons = std::map<std::int16_t, PenButton>;

PenButtons defaultPenButtons();

struct InputEvent {
    std::uint16_t type;
    std::uint16_t code;
    std::int32_t value;
    bool operator==(const InputEvent &) const = default;
};

struct AxisRange {
    std::int32_t max = 0;        // from 0
    std::int32_t resolution = 0; // units per mm; 0 when not known
};

// How reports become axis values: tablet counts through `toAxes` into axis
// units, clamped to 0..max (Y then turned over).
struct PointerSetup {
    Affine toAxes;
    AxisRange x;
    AxisRange y;
    PenButtons buttons = defaultPenButtons();
};

// Axis units of a calibrated tablet: a hundredth of a millimetre.
constexpr std::int32_t kAxisUnitsPerMm = 100;

// The setup for a calibrated tablet: the axes span the reference points'
// bounds on the drawing, in hundredths of a mm. Nothing when the
// reference points span no area.
std::optional<PointerSetup> calibratedSetup(const Affine &toMm,
                                            const std::vector<PlanePoint> &referenceMm);

// The setup for raw tablet counts 0..maxX and 0..maxY.
PointerSetup declaredSetup(std::int32_t maxX, std::int32_t maxY);

class PointerMapper {
public:
    // The device starts with the pen out of range and every button up.
    explicit PointerMapper(PointerSetup setup);

    const PointerSetup &setup() const { return setup_; }

    // The events for one decoded report, closed by a SYN_REPORT; only what
    // changed is sent, nothing at all when nothing changed.
    std::vector<InputEvent> report(std::int16_t button, std::int32_t x, std::int32_t y);

    // The pen leaves: buttons released, tool out of range.
    std::vector<InputEvent> leave();

private:
    void set(std::vector<InputEvent> &events, std::uint16_t type, std::uint16_t code,
             std::int32_t value);

    PointerSetup setup_;
    std::map<std::uint32_t, std::int32_t> last_; // (type << 16 | code) -> value sent
    bool inRange_ = false;
};

} // namespace drv::host
