// PCI bodies, by their first code:
//
//   2                    pen down
//   3                    pen up
//   4, p                 select pen p
//   14, 32, h, m, l      select pen h·r² + m·r + l
//   5, n, n bytes        label of n characters at the pen; the pen then
//                        advances n times (dirX·w/32768, dirY·w/32768),
//                        w = height·ratio/16, each truncated
//   11, 0, 5, 11, p, v, 11, hi, lo   pen speed
//   11, 0, 9, 11, 7, s   symbol set s
//   11, 5, 15, (0, height), (dirX, dirY), (0, ratio), (slant, ratio)
//                        label style: height in plotter units, direction
//                        times 32767, width in sixteenths of the height,
//                        slant times 128
//   12, 5, (r, 0)        circle of radius r through the pen, centre at
//                        the pen + (r, 0)
//   12, 13, (q, 0), (s, 0)  the same with r = 4096·q + s
//   12, 11, (qx, qy), (sx, sy), (qx', qy'), (sx', sy')
//                        arc from the pen around pen + 4096·q + s to
//                        centre + 4096·q' + s', counterclockwise
//   13, v                plot mode (read, no effect on the drawing)
//   a pair               move the pen by it, drawing when the pen is down
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>

#include "host/decode/byte_cursor.h"
#include "host/decode/default_pens.h"
#include "host/decode/drawing.h"
#include "host/decode/pci_framing.h"
#include "host/decode/pci_steps.h"
#include "host/decode/pen_trace.h"
#include "host/decode/problem_log.h"

namespace drv::decode {

// Reads the bodies of one record after another into the drawing, keeping
// the pen, its position and the label style between records.
class PciBodyReader {
public:
    PciBodyReader(Drawing &drawing, ProblemLog &log, const PciFraming &framing)
        : drawing_(drawing), log_(log), f_(framing), trace_(drawing.elements) {}

    // Decodes one record's bodies. Returns false when a body is malformed;
    // `fault` is then its offset within the record's body bytes.
    bool record(std::span<const std::uint8_t> body, std::size_t &fault);
    void finish() { trace_.end(); }

    // What a record may change, to undo a record that does not read whole.
    struct State {
        std::int64_t x = 0;
        std::int64_t y = 0;
        bool penDown = false;
        int pen = 1;
        std::int64_t height = 0;
        std::int64_t ratio = 16;
        std::int64_t dirX = 32767;
        std::int64_t dirY = 0;
        std::int64_t slant = 0;
        int symbolSet = -1;
        bool styled = false;
    };
    struct Mark {
        State state;
        std::size_t elements = 0;
        std::size_t strokePoints = 0; // of the last element, when a stroke
        bool strokeOpen = false;
    };
    Mark mark() const;
    void rollBack(const Mark &mark);

private:
    int code(ByteCursor &in) { return in.atEnd() ? -1 : (in.next() - f_.bias) & 0xFF; }
    bool expect(ByteCursor &in, std::initializer_list<int> codes) {
        for (const int c : codes) {
            if (code(in) != c) {
                return false;
            }
        }
        return true;
    }
    bool command(ByteCursor &in);
    bool style(ByteCursor &in);
    bool circleOrArc(ByteCursor &in);
    void move(const Step &step);
    Ink ink() const { return {s_.pen, kDefaultPenWidthMm, defaultPenColor(s_.pen)}; }

    Drawing &drawing_;
    ProblemLog &log_;
    const PciFraming &f_;
    PenTrace trace_;
    State s_;
};

} // namespace drv::decode
