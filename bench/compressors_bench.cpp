// PackBits and delta row over realistic raster rows: a 36-inch bit-plane
// row at 600 dpi (2700 bytes) for PackBits and a 2400-pixel RGB row (7200
// bytes) against the row above for delta row. Throughput is in source bytes
// per second; "ratio" is output over input (1 when the compressor gave up).
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_table.h"
#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/packbits.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kPlaneBytes = 2700;
constexpr std::size_t kRgbPixels = 2400;
constexpr std::uint32_t kSeed = 20240601;

Bytes blankPlane() { return Bytes(kPlaneBytes, 0x00); }

// Mostly white with short clusters of glyph bytes, as a text line crossing
// the row.
Bytes textPlane() {
    std::mt19937 engine(kSeed);
    Bytes row(kPlaneBytes, 0x00);
    for (std::size_t x = engine() % 40; x + 8 < row.size(); x += 20 + engine() % 40) {
        for (std::size_t i = 0, n = 2 + engine() % 6; i < n; ++i) {
            row[x + i] = static_cast<std::uint8_t>(engine());
        }
    }
    return row;
}

// An ordered-dither rendering of a left-to-right grey ramp.
Bytes halftonePlane() {
    static constexpr std::uint8_t kBayer[4] = {0, 8, 2, 10};
    Bytes row(kPlaneBytes, 0x00);
    for (std::size_t x = 0; x < kPlaneBytes * 8; ++x) {
        const std::size_t level = x * 16 / (kPlaneBytes * 8);
        if (level > kBayer[x % 4] + (x / 4) % 2 * 4u) {
            row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | 0x80u >> (x % 8));
        }
    }
    return row;
}

Bytes noise(std::size_t length, std::uint32_t seed) {
    std::mt19937 engine(seed);
    Bytes row(length);
    for (std::uint8_t &b : row) {
        b = static_cast<std::uint8_t>(engine());
    }
    return row;
}

Bytes noisePlane() { return noise(kPlaneBytes, kSeed); }

// A smooth colour image: red ramps across, blue steps every 8 pixels along
// the diagonal, so the next row differs in one pixel of every 8.
Bytes gradientRgb(std::size_t y) {
    Bytes row(kRgbPixels * 3);
    for (std::size_t x = 0; x < kRgbPixels; ++x) {
        row[3 * x] = static_cast<std::uint8_t>(x * 255 / kRgbPixels);
        row[3 * x + 1] = static_cast<std::uint8_t>(y / 4);
        row[3 * x + 2] = static_cast<std::uint8_t>((x + y) / 8);
    }
    return row;
}

// White paper with a few dark strokes.
Bytes textRgb(std::uint32_t seed) {
    std::mt19937 engine(seed);
    Bytes row(kRgbPixels * 3, 0xFF);
    for (std::size_t x = engine() % 100; x + 10 < kRgbPixels; x += 60 + engine() % 100) {
        for (std::size_t i = 0, n = 2 + engine() % 8; i < n; ++i) {
            row[3 * (x + i)] = row[3 * (x + i) + 1] = row[3 * (x + i) + 2] = 0x10;
        }
    }
    return row;
}

struct PlaneCase {
    const char *name;
    Bytes (*make)();
};

constexpr PlaneCase kPlaneCases[] = {
    {"blank", blankPlane},
    {"text", textPlane},
    {"halftone", halftonePlane},
    {"noise", noisePlane},
};

struct RgbCase {
    const char *name;
    Bytes (*seed)();
    Bytes (*row)();
};

const RgbCase kRgbCases[] = {
    {"unchanged", [] { return Bytes(kRgbPixels * 3, 0xFF); }, [] { return Bytes(kRgbPixels * 3, 0xFF); }},
    {"text", [] { return textRgb(kSeed); }, [] { return textRgb(kSeed + 1); }},
    {"gradient", [] { return gradientRgb(2); }, [] { return gradientRgb(3); }},
    {"noise", [] { return noise(kRgbPixels * 3, kSeed); }, [] { return noise(kRgbPixels * 3, kSeed + 1); }},
};

void report(benchmark::State &state, std::size_t length, std::int32_t result) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * length));
    state.counters["ratio"] = result == drv::quillane::kCompressGaveUp
                                  ? 1.0
                                  : static_cast<double>(result) / static_cast<double>(length);
}

void packBits(benchmark::State &state, const PlaneCase &c) {
    const Bytes row = c.make();
    Bytes out(row.size());
    std::int32_t result = 0;
    for (auto _ : state) {
        result = drv::quillane::compressPackBits(out.data(), row.data(),
                                                 static_cast<std::int32_t>(row.size()));
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    report(state, row.size(), result);
}

void deltaRow(benchmark::State &state, const RgbCase &c) {
    const Bytes seed = c.seed();
    const Bytes row = c.row();
    Bytes out(row.size());
    std::int32_t result = 0;
    for (auto _ : state) {
        result = drv::quillane::compressDeltaRow(out.data(), row.data(),
                                                 static_cast<std::int32_t>(row.size()), seed.data());
        benchmark::DoNotOptimize(result);
        benchmark::ClobberMemory();
    }
    report(state, row.size(), result);
}

}  // namespace

int main(int argc, char **argv) {
    drv::bench::registerTable("PackBits", kPlaneCases, packBits);
    drv::bench::registerTable("DeltaRow", kRgbCases, deltaRow);
    return drv::bench::runRegistered(argc, argv);
}
