// A driver that needs a DLL other than the system's: anything it uses from
// another DLL makes it depend on that DLL at load time.
#include "drvsuite/plotter.h"

extern "C" __declspec(dllimport) int fixtureHelper();

extern "C" DRV_ENTRY int32_t DRV_CALL pldbin(PlotRequest *request, const void *, unsigned char *,
                                             void *) {
    request->outLength = fixtureHelper();
    return 0;
}
