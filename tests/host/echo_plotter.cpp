// A stand-in plotter driver for the host's tests: it answers every request
// with a readable echo of what it was given, so a test can see exactly
// which requests, cells, texts and row bytes reached the driver, and in
// which order. Row bytes are echoed raw (NUL bytes included) so that only
// the reported count can delimit the output.
//
// A FillType with level -1 reports an output count larger than any buffer,
// so that the host's handling of a faulty driver can be tested; one with
// level -2 takes 10 ms, so that a test can catch a job while it runs.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "drvsuite/plotter.h"

namespace {

constexpr int kRowBytesPerPixel[] = {0, 1, 2, 0, 4, 0, 0, 0, 8};

int rowBytes(const PlotRequest &request) {
    const int width = request.param[0].i;
    const int depth = request.param[1].i;
    if (depth >= 16) {
        return width * depth / 8;
    }
    return (width + 7) / 8 * kRowBytesPerPixel[depth];
}

} // namespace

extern "C" DRV_ENTRY int32_t DRV_CALL pldbin(PlotRequest *request, const void *text,
                                             unsigned char *out, void *state) {
    out[0] = 0;
    int *calls = static_cast<int *>(state);
    if (request->op == OpBeginJob) {
        *calls = 0;
    }
    ++*calls;
    char *cursor = reinterpret_cast<char *>(out);
    cursor += std::sprintf(cursor, "%d:op%d:f%d:%d,%d", *calls, request->op, request->flags,
                           request->param[0].i, request->param[1].i);
    if (request->op == OpFillType && request->param[0].i == -1) {
        request->outLength = 1 << 30;
        return 0;
    }
    if (request->op == OpFillType && request->param[0].i == -2) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const char *string = static_cast<const char *>(text);
    if (request->op == OpBeginJob || request->op == OpEndJob || request->op == OpLabel) {
        cursor += std::sprintf(cursor, ":\"%s\"", string);
    }
    if (request->op == OpRasterRow) {
        const int n = rowBytes(*request);
        *cursor++ = ':';
        std::memcpy(cursor, text, static_cast<std::size_t>(n));
        cursor += n;
    }
    *cursor++ = '\n';
    *cursor = '\0';
    request->outLength = static_cast<int32_t>(cursor - reinterpret_cast<char *>(out));
    return 0;
}
