// The demo: the suite at work with nothing to set up (`drvhost demo`).
#pragma once

#include <string>

namespace drv::host {

struct DemoOptions {
    std::string outDir = "drvhost-demo";
};

// Writes the demo drawing's script and pictures into `outDir`, plots it
// through both plotter drivers (drawing.hpgl, drawing.pci), and for every
// tablet model and report format decodes a stream made from known points
// (saved in tablets/ for `drvhost tablet --input`). Prints a short summary
// on standard output. Returns 0 when everything ran and every point came
// back, 1 otherwise.
int runDemo(const DemoOptions &options);

} // namespace drv::host
