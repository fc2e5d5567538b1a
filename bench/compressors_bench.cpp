// The row compressors side by side on the rows plots are made of: the
// driver's (`new`, and `words`, its portable scanner), the byte-at-a-time
// rules (`reference`), libtiff's PackBits encoder through its API
// (`libtiff`; `libtiff-none` is the same API with no compression, what the
// API costs per row), and memcpy of the same bytes.
//
// Throughput is in bytes of input per second; "ratio" is output over input
// over all rows run (a row that gave up counts as its own length).
//
// PackBits: 1-bit plane rows of an A0 sheet at 600 dpi (2,484 bytes): the
// CAD drawing, the dithered picture with and without grain, random bytes.
// Delta row: RGB rows of 59,598 bytes against the row above: the CAD
// drawing in colour, the picture with grain, a gradient.
#include <cstdint>
#include <cstring>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_table.h"
#include "bench/libtiff_rows.h"
#include "bench/raster_workloads.h"
#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/packbits.h"
#include "tests/support/reference_compressors.h"

namespace {

using drv::bench::Bytes;
using Rows = std::vector<Bytes>;
namespace quillane = drv::quillane;

const Rows &rowsOf(const std::string &workload) {
    using namespace drv::bench;
    static std::vector<std::pair<std::string, Rows>> made;
    for (const auto &entry : made) {
        if (entry.first == workload) {
            return entry.second;
        }
    }
    Rows rows;
    if (workload == "cad") {
        rows = sampleRows(256, cadPlaneRow);
    } else if (workload == "dither") {
        rows = sampleRows(128, [](std::int32_t y) { return ditheredPlaneRow(y, false); });
    } else if (workload == "dither-grain") {
        rows = sampleRows(128, [](std::int32_t y) { return ditheredPlaneRow(y, true); });
    } else if (workload == "random") {
        rows = sampleRows(64, [](std::int32_t y) { return randomRow(kPlaneBytes, y); });
    } else {
        // Delta rows: each row followed by the one below it.
        std::function<Bytes(std::int32_t)> make = workload == "rgb-line-drawing" ? cadRgbRow
                                                  : workload == "rgb-photo"      ? photoRgbRow
                                                                                 : gradientRgbRow;
        for (std::int32_t k = 0; k < 24; ++k) {
            const std::int32_t y = (2 * k + 1) * kSheetHeight / 48;
            rows.push_back(make(y));
            rows.push_back(make(y + 1));
        }
    }
    made.emplace_back(workload, std::move(rows));
    return made.back().second;
}

void report(benchmark::State &state, std::size_t rowBytes, std::uint64_t inBytes,
            std::uint64_t outBytes) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rowBytes));
    state.counters["ratio"] =
        inBytes == 0 ? 1.0 : static_cast<double>(outBytes) / static_cast<double>(inBytes);
}

// Runs `compress(out, row, seed)` over the workload's rows in turn; for
// delta rows (`step` 2) each row is compressed against the one before it.
template <typename Compress>
void compressRows(benchmark::State &state, const std::string &workload, std::size_t step,
                  Compress compress) {
    const Rows &rows = rowsOf(workload);
    Bytes out(rows[0].size());
    std::uint64_t in = 0;
    std::uint64_t written = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        const Bytes &row = rows[next + step - 1];
        const std::int32_t n = compress(out.data(), row, rows[next]);
        next = next + step == rows.size() ? 0 : next + step;
        benchmark::DoNotOptimize(n);
        benchmark::ClobberMemory();
        in += row.size();
        written += n == quillane::kCompressGaveUp ? row.size() : static_cast<std::size_t>(n);
    }
    report(state, rows[0].size(), in, written);
}

using PackBitsFn = std::int32_t (*)(std::uint8_t *, const std::uint8_t *, std::int32_t);

void packBits(benchmark::State &state, const std::string &workload, PackBitsFn compress) {
    compressRows(state, workload, 1,
                 [compress](std::uint8_t *out, const Bytes &row, const Bytes &) {
                     return compress(out, row.data(), static_cast<std::int32_t>(row.size()));
                 });
}

void libtiff(benchmark::State &state, const std::string &workload, bool compress) {
    const Rows &rows = rowsOf(workload);
    drv::bench::TiffRowWriter writer(rows[0].size(), compress);
    if (!writer.ok()) {
        state.SkipWithError("libtiff cannot open the memory file");
        return;
    }
    std::size_t next = 0;
    for (auto _ : state) {
        if (!writer.write(rows[next].data())) {
            state.SkipWithError("TIFFWriteScanline failed");
            return;
        }
        next = next + 1 == rows.size() ? 0 : next + 1;
    }
    // What reached the sink, over the rows written: the last strip's data
    // still in libtiff's buffer is left out, a few kilobytes at most.
    report(state, rows[0].size(), writer.rows() * rows[0].size(), writer.sunk());
}

using DeltaRowFn =
    std::int32_t (*)(std::uint8_t *, const std::uint8_t *, std::int32_t, const std::uint8_t *);

void deltaRow(benchmark::State &state, const std::string &workload, DeltaRowFn compress) {
    compressRows(state, workload, 2,
                 [compress](std::uint8_t *out, const Bytes &row, const Bytes &seed) {
                     return compress(out, row.data(), static_cast<std::int32_t>(row.size()),
                                     seed.data());
                 });
}

void copyRows(benchmark::State &state, const std::string &workload) {
    const Rows &rows = rowsOf(workload);
    Bytes out(rows[0].size());
    std::size_t next = 0;
    for (auto _ : state) {
        std::memcpy(out.data(), rows[next].data(), rows[next].size());
        benchmark::ClobberMemory();
        next = next + 1 == rows.size() ? 0 : next + 1;
    }
    report(state, rows[0].size(), 1, 1);
}

// Registers `<suite>/<workload>/<name>` for every workload and every
// (name, run) of the table.
template <typename Run>
void registerSuite(const char *suite, std::initializer_list<const char *> workloads,
                   std::initializer_list<std::pair<const char *, Run>> runs) {
    for (const char *workload : workloads) {
        for (const auto &[name, run] : runs) {
            const std::string w = workload;
            benchmark::RegisterBenchmark((std::string(suite) + "/" + w + "/" + name).c_str(),
                                         [w, run = run](benchmark::State &s) { run(s, w); });
        }
    }
}

using Run = void (*)(benchmark::State &, const std::string &);

void registerAll() {
    registerSuite<Run>(
        "PackBits", {"cad", "dither", "dither-grain", "random"},
        {{"new", [](benchmark::State &s, const std::string &w) {
              packBits(s, w, quillane::compressPackBits);
          }},
         {"words", [](benchmark::State &s, const std::string &w) {
              packBits(s, w, quillane::compressPackBitsWith<quillane::scan::Words>);
          }},
         {"reference", [](benchmark::State &s, const std::string &w) {
              packBits(s, w, drv::reference::packBits);
          }},
         {"libtiff", [](benchmark::State &s, const std::string &w) { libtiff(s, w, true); }},
         {"libtiff-none", [](benchmark::State &s, const std::string &w) { libtiff(s, w, false); }},
         {"memcpy", copyRows}});
    registerSuite<Run>(
        "DeltaRow", {"rgb-line-drawing", "rgb-photo", "rgb-gradient"},
        {{"new", [](benchmark::State &s, const std::string &w) {
              deltaRow(s, w, quillane::compressDeltaRow);
          }},
         {"words", [](benchmark::State &s, const std::string &w) {
              deltaRow(s, w, quillane::compressDeltaRowWith<quillane::scan::Words>);
          }},
         {"reference", [](benchmark::State &s, const std::string &w) {
              deltaRow(s, w, drv::reference::deltaRow);
          }},
         {"memcpy", copyRows}});
}

}  // namespace

int main(int argc, char **argv) {
    registerAll();
    return drv::bench::runRegistered(argc, argv);
}
