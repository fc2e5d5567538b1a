// The exported entry of the drevant library: the C shim over the driver.
#include "plotters/drevant/entry.h"

std::int32_t DRV_CALL pldbin(PlotRequest *request, const void *text, unsigned char *out,
                             void *state) {
    return drv::drevant::runPlotter(request, text, out, state);
}
