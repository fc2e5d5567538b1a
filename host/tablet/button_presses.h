// What counts as a press of a puck or pen button.
//
// Tablets report in one of two ways: a point only when a button goes down,
// or a stream of points while the puck is near, each with the button held
// at that moment (0 for none). A press is a report whose button differs
// from the one before and is not 0: a button held down through a stream of
// reports is one press, releasing it is none, and going from one button
// straight to another presses the other.
#pragma once

#include <cstdint>

namespace drv::host {

class PressDetector {
public:
    // Whether the report with `button` is a press.
    bool press(std::int16_t button) {
        const bool pressed = button != 0 && button != last_;
        last_ = button;
        return pressed;
    }

private:
    std::int16_t last_ = 0;
};

} // namespace drv::host
