/* The host-facing headers must serve a plain C host: this file includes them
 * as C11 and re-checks, from C, what a host relies on. */
#include <stdio.h>
#include <string.h>

#include "drvsuite/digitizer.h"
#include "drvsuite/plotter.h"

int main(void) {
    PlotRequest request;
    DigitizerProfile profile;
    DigitizerRequest tablet;
    memset(&request, 0, sizeof request);
    memset(&profile, 0, sizeof profile);
    memset(&tablet, 0, sizeof tablet);

    request.op = OpRasterRow;
    request.flags = FlagExpandPalette | FlagNoRotation;
    request.param[2].f = 100.0f;
    tablet.op = DgdOpDecode;

    if (sizeof request != 56 || sizeof profile != 130 || sizeof tablet != 16) {
        fprintf(stderr, "record sizes differ in C\n");
        return 1;
    }
    if (QUILLANE_STATE_SIZE > PLOTTER_STATE_SIZE_MAX || DREVANT_STATE_SIZE > PLOTTER_STATE_SIZE_MAX) {
        fprintf(stderr, "a state block exceeds PLOTTER_STATE_SIZE_MAX\n");
        return 1;
    }
    /* The row bound is a constant expression a C host can size arrays by. */
    {
        static unsigned char expanded[QUILLANE_ROW_OUTPUT_MAX(800, 1, FlagExpandPalette)];
        static unsigned char planes[QUILLANE_ROW_OUTPUT_MAX(800, 4, 0)];
        if (sizeof expanded != 3 * 800 + 16 || sizeof planes != 4 * (100 + 16) ||
            QUILLANE_ROW_OUTPUT_MAX(9, 32, 0) != 27 + 16 || QUILLANE_ROW_OUTPUT_MAX(9, 0, 0) != 0) {
            fprintf(stderr, "QUILLANE_ROW_OUTPUT_MAX gives the wrong bound\n");
            return 1;
        }
    }
    printf("C headers: ok\n");
    return 0;
}
