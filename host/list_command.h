// `drvhost list`: the driver libraries the host finds.
#pragma once

namespace drv::host {

// Prints one line per library found: name, kind (pldbin or dgdbin), path;
// then the folders searched on standard error. Returns 0, or 1 when no
// library was found.
int runListCommand();

} // namespace drv::host
