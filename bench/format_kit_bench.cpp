// The formatting kit on the commands the plotter drivers write most: pen
// moves, pen widths, raster row headers and labels, plus the number writers
// alone. Throughput is in output bytes per second.
#include <cstdint>

#include <benchmark/benchmark.h>

#include "bench/bench_table.h"
#include "common/format_kit.h"

namespace {

struct FormatCase {
    const char *name;
    int (*write)(char *out);
};

const FormatCase kFormatCases[] = {
    {"select_pen", [](char *out) -> int { return drv::formatText(out, "SP%d;", 3); }},
    {"pen_up_move", [](char *out) -> int { return drv::formatText(out, "PU%d,%d;", 12345, -6789); }},
    {"pen_width", [](char *out) -> int { return drv::formatText(out, "PW%.2f;", 0.35); }},
    {"circle", [](char *out) -> int { return drv::formatText(out, "CI%.3f,%d;", 1234.5678, 5); }},
    {"raster_row_header",
     [](char *out) -> int { return drv::formatText(out, "\x1b*b%cm%dW", std::int32_t{'3'}, 7200); }},
    {"label",
     [](char *out) -> int { return drv::formatText(out, "LB%s%c", "Drawing A-001 rev 7", 3); }},
    {"format_int", [](char *out) -> int { return drv::formatInt(out, -2147483647); }},
    {"format_real_6", [](char *out) -> int { return drv::formatReal(out, 6, 12345.678901); }},
    {"format_real_19", [](char *out) -> int { return drv::formatReal(out, 19, 0.1); }},
};

void format(benchmark::State &state, const FormatCase &c) {
    char out[256];
    std::int64_t bytes = 0;
    for (auto _ : state) {
        bytes += c.write(out);
        benchmark::DoNotOptimize(out);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}

}  // namespace

int main(int argc, char **argv) {
    drv::bench::registerTable("FormatKit", kFormatCases, format);
    return drv::bench::runRegistered(argc, argv);
}
