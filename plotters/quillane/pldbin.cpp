// The exported entry of the quillane library: the C shim over the driver.
#include "plotters/quillane/entry.h"

std::int32_t DRV_CALL pldbin(PlotRequest *request, const void *text, unsigned char *out,
                             void *state) {
    return drv::quillane::runPlotter(request, text, out, state);
}
