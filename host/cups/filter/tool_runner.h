// Running drvhost (and Poppler's tools) for the filter: its standard output is the filter's (the
// device bytes go straight on to the backend), its messages become status
// lines for the spooler, and a cancel (SIGTERM) is passed on to it, which
// finishes the request in flight and sends the job's end before it exits.
#pragma once

#include <csignal>
#include <string>
#include <vector>

#include "host/cups/status_lines.h"

namespace drv::cups {

// drvhost beside the filter's installation: <prefix>/lib/cups/filter/X
// runs <prefix>/bin/drvhost; the build tree has the same layout. Empty
// when there is none.
std::string findDrvhost();

// Runs `program` (a path, or a name looked up in PATH) with `args`,
// waits for it and returns its exit status, or 128 + the signal that ended
// it. Its standard-error lines are passed on as DEBUG (WARNING for
// warnings) while it runs, and, when it fails, as ERROR, so that the job's
// state message says what went wrong. `terminate`, once raised, is passed
// on as SIGTERM. Its standard output is the filter's, or, with `output`,
// collected there.
int runTool(const std::string &program, const std::vector<std::string> &args,
            StatusLines &status, const volatile std::sig_atomic_t &terminate,
            std::string *output = nullptr);

} // namespace drv::cups
