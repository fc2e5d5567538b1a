// Turns pen movements into strokes: consecutive pen-down moves with the
// same ink make one polyline; a pen-down move that goes nowhere, with no
// stroke open, is a stroke of one point.
#pragma once

#include <vector>

#include "host/decode/drawing.h"

namespace drv::decode {

// Appends `p` unless it repeats the last point: a point the pen does not
// leave adds nothing to a line.
void appendDistinct(std::vector<Point> &points, Point p);

class PenTrace {
public:
    explicit PenTrace(std::vector<Element> &out) : out_(out) {}

    // The pen goes from `from` to `to`, drawing when `down`.
    void move(Point from, Point to, bool down, const Ink &ink);
    // Ends the open stroke, if any: the next pen-down move starts a new one.
    void end() { open_ = false; }
    // Whether the next pen-down move may extend the last stroke; kept and
    // given back by a decoder that undoes what it read.
    bool isOpen() const { return open_; }
    void setOpen(bool open) { open_ = open; }

private:
    std::vector<Element> &out_;
    bool open_ = false;
};

} // namespace drv::decode
