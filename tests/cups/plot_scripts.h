// Plot scripts for the print-queue tests, complete for each driver.
#pragma once

#include <cstddef>
#include <string>

namespace drv::test {

// A drawing of `points` plotted points for `driver` (quillane or drevant):
// its first label reads `tag`, so that jobs can be told apart.
inline std::string plotScript(const std::string &driver, const std::string &tag, int points = 40) {
    std::string script = driver == "quillane"
                             ? "BeginJob page_width=16000 page_height=11000 pens=8\n"
                             : "BeginJob bias=0x20 radix=32 sync_count=2 sync='!' "
                               "terminator='\\r' checksum=1\n";
    script += "# " + tag + "\nSelectPen pen=1\n";
    script += "TextStyle height_units=30 width_units=20 height_mm=3 width_mm=2 dir_x=1 dir_y=0 "
              "slant=0\n";
    script += "Label x=100 y=100 text=\"" + tag + "\"\nPenDown\n";
    for (long long i = 0; i < points; ++i) {
        script += "Plot x=" + std::to_string((i * 7919) % 16000) +
                  " y=" + std::to_string((i * 104729) % 11000) + "\n";
    }
    script += "PenUp\nCircle cx=8000 cy=5500 r=2000 chord=5\nEndJob\n";
    return script;
}

// A long quillane job of `labels` labels of `length` characters each:
// megabytes of device bytes from few requests. Every label closes its
// instruction, so between any two requests the job's end is "PUSP0PG;".
inline std::string longLabelScript(int labels, std::size_t length) {
    std::string script = "BeginJob page_width=16000 page_height=11000 pens=8\n"
                         "TextStyle height_units=30 width_units=20 height_mm=3 width_mm=2 "
                         "dir_x=1 dir_y=0 slant=0\n";
    const std::string text(length, 'W');
    for (int i = 0; i < labels; ++i) {
        script += "Label x=" + std::to_string(i % 16000) + " y=" + std::to_string(i % 11000) +
                  " text=\"" + std::to_string(i) + text + "\"\n";
    }
    return script + "EndJob\n";
}

} // namespace drv::test
