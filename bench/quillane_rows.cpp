// Whole OpRasterRow requests through the quillane entry point: packing into
// planes or RGB, compression, the seed row and the work buffers, on rows a
// plot of 2400 pixels (8 inches at 300 dpi) or a 36-inch line-art row at 600
// dpi would send. Two rows alternate, as neighbouring rows of an image do.
// Throughput is in host row bytes per second; "out" is output bytes over
// the uncompressed size (3 bytes per pixel, or the planes).
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_table.h"
#include "bench/raster_workloads.h"
#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kPixels = 2400;
constexpr std::int32_t kLineArtPixels = 21600;
constexpr std::uint32_t kSeed = 20240601;

// Line art: white with short dark strokes (1 bit per pixel).
Bytes lineArt(std::uint32_t seed) {
    std::mt19937 engine(seed);
    Bytes row(kLineArtPixels / 8, 0x00);
    for (std::size_t x = engine() % 40; x + 8 < row.size(); x += 20 + engine() % 40) {
        for (std::size_t i = 0, n = 2 + engine() % 6; i < n; ++i) {
            row[x + i] = static_cast<std::uint8_t>(engine());
        }
    }
    return row;
}

// A smooth ramp of palette indexes that shifts by one pixel per row.
Bytes indexRamp(std::uint32_t y, unsigned depth) {
    Bytes row((static_cast<std::size_t>(kPixels) * depth + 7) / 8, 0);
    for (std::size_t x = 0; x < kPixels; ++x) {
        const unsigned value =
            static_cast<unsigned>((x + y) * (1u << depth) / (kPixels + 2)) & ((1u << depth) - 1);
        for (unsigned b = 0; b < depth; ++b) {
            if ((value >> (depth - 1 - b) & 1u) != 0) {
                const std::size_t bit = x * depth + b;
                row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | 0x80u >> (bit % 8));
            }
        }
    }
    return row;
}

// A colour photograph-like gradient, 4 bytes per pixel (ignored, r, g, b).
Bytes gradient32(std::uint32_t y) {
    Bytes row(static_cast<std::size_t>(kPixels) * 4, 0);
    for (std::size_t x = 0; x < kPixels; ++x) {
        row[4 * x + 1] = static_cast<std::uint8_t>(x * 255 / kPixels);
        row[4 * x + 2] = static_cast<std::uint8_t>(y / 4);
        row[4 * x + 3] = static_cast<std::uint8_t>((x + y) / 8);
    }
    return row;
}

// The same scene at 5 bits per component, little-endian words.
Bytes gradient16(std::uint32_t y) {
    Bytes row(static_cast<std::size_t>(kPixels) * 2, 0);
    for (std::size_t x = 0; x < kPixels; ++x) {
        const unsigned word = (x * 31 / kPixels) << 10 | (y / 32 % 32) << 5 | ((x + y) / 64 % 32);
        row[2 * x] = static_cast<std::uint8_t>(word & 0xFF);
        row[2 * x + 1] = static_cast<std::uint8_t>(word >> 8);
    }
    return row;
}

struct RowCase {
    const char *name;
    std::int32_t width;
    std::int32_t depth;
    std::int32_t flags;
    Bytes (*row)(std::uint32_t y);
};

const RowCase kRowCases[] = {
    {"planes1/lineart", kLineArtPixels, 1, 0, [](std::uint32_t y) { return lineArt(kSeed + y); }},
    {"planes1/lineart-raw", kLineArtPixels, 1, FlagPlanesUncompressed,
     [](std::uint32_t y) { return lineArt(kSeed + y); }},
    {"planes4/ramp", kPixels, 4, 0, [](std::uint32_t y) { return indexRamp(y, 4); }},
    {"planes8/ramp", kPixels, 8, 0, [](std::uint32_t y) { return indexRamp(y, 8); }},
    {"palette8/ramp", kPixels, 8, FlagExpandPalette,
     [](std::uint32_t y) { return indexRamp(y, 8); }},
    {"palette1/ramp", kPixels, 1, FlagExpandPalette,
     [](std::uint32_t y) { return indexRamp(y, 1); }},
    {"direct32/gradient", kPixels, 32, 0, gradient32},
    {"direct32/gradient-raw", kPixels, 32, FlagColorUncompressed, gradient32},
    {"direct16/gradient", kPixels, 16, 0, gradient16},
    // The A0 CAD sheet at 600 dpi in colour, 32 bits per pixel: two rows
    // next to each other, as a line drawing's neighbouring rows are.
    {"direct32/cad-line-drawing", drv::bench::kSheetWidth, 32, 0,
     [](std::uint32_t y) {
         return drv::bench::toDirect32(drv::bench::cadRgbRow(static_cast<std::int32_t>(9000 + y)));
     }},
    {"planes1/cad", drv::bench::kSheetWidth, 1, 0,
     [](std::uint32_t y) { return drv::bench::cadPlaneRow(static_cast<std::int32_t>(9000 + y)); }},
};

// A 256-entry grey palette record.
Bytes greyPalette() {
    Bytes record(8 + 8 * 256, 0);
    record[6] = 255;
    for (std::size_t i = 0; i < 256; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            record[8 + 8 * i + 2 + 2 * c + 1] = static_cast<std::uint8_t>(i);
        }
    }
    return record;
}

void rasterRow(benchmark::State &state, const RowCase &c) {
    const Bytes rows[2] = {c.row(0), c.row(1)};
    const Bytes palette = greyPalette();
    Bytes out(static_cast<std::size_t>(c.width) * 3 + 16 * 16 + 4096);
    drv::quillane::PlotterState plotter{};
    PlotRequest request{};
    request.op = OpBeginJob;
    pldbin(&request, nullptr, out.data(), &plotter);
    request.op = OpRasterBegin;
    request.flags = c.flags;
    request.param[6].i = c.depth;
    pldbin(&request, palette.data(), out.data(), &plotter);

    request.op = OpRasterRow;
    request.param[0].i = c.width;
    request.param[1].i = c.depth;
    std::int64_t written = 0;
    std::size_t next = 0;
    for (auto _ : state) {
        pldbin(&request, rows[next].data(), out.data(), &plotter);
        written += request.outLength;
        next ^= 1;
        benchmark::ClobberMemory();
    }
    request.op = OpRasterEnd;
    pldbin(&request, nullptr, out.data(), &plotter);

    const double uncompressed = c.flags & FlagExpandPalette || c.depth >= 16
                                    ? 3.0 * c.width
                                    : static_cast<double>(c.depth) * ((c.width + 7) / 8);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rows[0].size()));
    state.counters["out"] =
        static_cast<double>(written) / (uncompressed * static_cast<double>(state.iterations()));
}

// A long polyline: one OpPlot request per point inside one PE instruction.
void polyline(benchmark::State &state) {
    Bytes out(256);
    drv::quillane::PlotterState plotter{};
    PlotRequest request{};
    request.op = OpBeginJob;
    pldbin(&request, nullptr, out.data(), &plotter);
    request.op = OpPlot;
    std::int32_t x = 0;
    for (auto _ : state) {
        x = (x + 37) % 40000;
        request.param[0].i = x;
        request.param[1].i = 20000 - x / 2;
        pldbin(&request, nullptr, out.data(), &plotter);
        benchmark::DoNotOptimize(request.outLength);
    }
    state.SetItemsProcessed(state.iterations());
}

}  // namespace

int main(int argc, char **argv) {
    drv::bench::registerTable("RasterRow", kRowCases, rasterRow);
    benchmark::RegisterBenchmark("Plot/polyline", polyline);
    return drv::bench::runRegistered(argc, argv);
}
