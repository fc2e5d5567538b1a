/* What a host built for this target allocates for a plotter job: the state
 * block sizes of the public header, printed for CTest to compare with the
 * sizes the suite documents for the target's pointer size. */
#include <stdio.h>

#include "drvsuite/plotter.h"

int main(void) {
    printf("%u-bit: state blocks quillane %u, drevant %u bytes\n",
           (unsigned)(sizeof(void *) * 8), (unsigned)QUILLANE_STATE_SIZE,
           (unsigned)DREVANT_STATE_SIZE);
    return 0;
}
