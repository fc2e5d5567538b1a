/* A host built outside the project, against the installed headers only: it
 * loads an installed plotter driver and an installed tablet driver from the
 * drivers' folder the package names, runs a short job through the one and
 * sets the other up, and prints what they returned.
 *
 *   c_host [DRIVER_DIR]      (default: the DRVSUITE_DRIVER_DIR it was built with)
 */
#include <dlfcn.h>
#include <stdio.h>
#include <string.h>

#include "drvsuite/digitizer.h"
#include "drvsuite/plotter.h"

static void *open_driver(const char *dir, const char *name, const char *entry) {
    char path[4096];
    if (snprintf(path, sizeof path, "%s/lib%s.so", dir, name) >= (int)sizeof path) {
        fprintf(stderr, "c_host: path too long\n");
        return NULL;
    }
    void *library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (library == NULL) {
        fprintf(stderr, "c_host: %s\n", dlerror());
        return NULL;
    }
    void *function = dlsym(library, entry);
    if (function == NULL) {
        fprintf(stderr, "c_host: %s has no %s\n", path, entry);
    }
    return function;
}

static int plot(const char *dir) {
    PldbinFunction pldbin_entry;
    void *function = open_driver(dir, "quillane", "pldbin");
    if (function == NULL) {
        return 1;
    }
    memcpy(&pldbin_entry, &function, sizeof pldbin_entry);

    _Alignas(PLOTTER_STATE_ALIGN) unsigned char state[QUILLANE_STATE_SIZE];
    static unsigned char out[4096];
    static const int32_t job[][4] = {
        {OpBeginJob, 16000, 11000, 1}, /* op, page width, page height, pens */
        {OpSelectPen, 1, 0, 0},
        {OpPlot, 100, 200, 0},
        {OpEndJob, 0, 0, 0},
    };
    printf("quillane:");
    for (size_t i = 0; i < sizeof job / sizeof job[0]; ++i) {
        PlotRequest request;
        memset(&request, 0, sizeof request);
        request.op = job[i][0];
        if (request.op == OpBeginJob) {
            request.param[2].i = job[i][1];
            request.param[3].i = job[i][2];
            request.param[4].i = job[i][3];
        } else {
            request.param[0].i = job[i][1];
            request.param[1].i = job[i][2];
        }
        pldbin_entry(&request, NULL, out, state);
        if (request.outLength < 0 || request.outLength > (int32_t)sizeof out) {
            fprintf(stderr, "c_host: bad outLength %d\n", (int)request.outLength);
            return 1;
        }
        printf(" %d", (int)request.outLength);
        if (i == 0) {
            printf(" (%.*s)", (int)strcspn((const char *)out, ";"), (const char *)out);
        }
    }
    printf(" bytes\n");
    return 0;
}

static int tablet(const char *dir) {
    DgdbinFunction dgdbin_entry;
    void *function = open_driver(dir, "ambrel", "dgdbin");
    if (function == NULL) {
        return 1;
    }
    memcpy(&dgdbin_entry, &function, sizeof dgdbin_entry);

    DigitizerProfile profile;
    DigitizerRequest request;
    unsigned char buffer[DGD_MIN_BUFFER_SIZE];
    memset(&profile, 0, sizeof profile);
    memset(&request, 0, sizeof request);
    memset(buffer, 0, sizeof buffer);
    profile.reportFormat = 1;
    request.op = DgdOpSetup;
    dgdbin_entry(&profile, &request, buffer);
    printf("ambrel: report length %u, frame byte 0x%02x\n", (unsigned)profile.reportLength,
           (unsigned)profile.frameByte);
    return profile.reportLength > 0 ? 0 : 1;
}

int main(int argc, char **argv) {
#ifdef DRVSUITE_DRIVER_DIR
    const char *dir = DRVSUITE_DRIVER_DIR;
#else
    const char *dir = NULL;
#endif
    if (argc > 1) {
        dir = argv[1];
    }
    if (dir == NULL) {
        fprintf(stderr, "usage: c_host DRIVER_DIR\n");
        return 2;
    }
    return plot(dir) || tablet(dir);
}
