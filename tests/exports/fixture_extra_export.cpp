// A driver that exports a second function beside its entry.
#include "drvsuite/plotter.h"

extern "C" DRV_ENTRY int32_t DRV_CALL pldbin(PlotRequest *request, const void *, unsigned char *,
                                             void *) {
    request->outLength = 0;
    return 0;
}

extern "C" __declspec(dllexport) int fixtureExtra() { return 1; }
