// Digitizing: button presses on a tablet turned into polylines.
//
// Each press does what its button is assigned to: add a vertex at the
// puck's position (what every button not assigned otherwise does), end the
// open polyline, close it (its last vertex joins its first), or undo the
// last vertex. Undo goes back through ended polylines too: with the open
// polyline empty it reopens the one before and takes its last vertex.
// Presses come from PressDetector, so a button held through a stream of
// reports adds one vertex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

#include "host/digitize/drawing.h"
#include "host/tablet/button_presses.h"

namespace drv::host {

enum class ButtonAction { Add, End, Close, Undo };

// The model's raw button codes with an action other than Add.
using ButtonActions = std::map<std::int16_t, ButtonAction>;

class DigitizeSession {
public:
    struct Event {
        enum class Kind { None, Added, Ended, Closed, Undone };
        Kind kind = Kind::None;
        PlanePoint at; // Added: the new vertex; Undone: the vertex taken away
        std::size_t vertices =
            0; // in the open polyline afterwards (Ended/Closed: in the one ended)
        std::size_t polyline = 0; // 1-based number of the polyline concerned
    };

    DigitizeSession(ButtonActions actions, bool millimetres);

    // One decoded report, its point already in the drawing's units.
    Event report(std::int16_t button, PlanePoint point);

    // Ends the open polyline and gives the drawing: every polyline of two
    // or more vertices (a single vertex draws nothing and is left out).
    Drawing finish();

    // Polylines of fewer than two vertices that finish() left out.
    std::size_t leftOut() const { return leftOut_; }

private:
    Event end(bool close);
    Event undo();

    ButtonActions actions_;
    PressDetector presses_;
    Drawing drawing_;
    Polyline open_;
    std::size_t leftOut_ = 0;
};

} // namespace drv::host
