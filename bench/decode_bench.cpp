// The device-byte decoders and the preview over jobs of realistic size: a
// polyline of 100 000 points in one PE instruction (base 32), a 2400 x 600
// direct-colour image in delta rows, a PCI job of 100 000 moves in framed,
// checksummed records; and a PNG preview of the polyline at 96 dpi.
// Throughput is in input bytes per second.
#include <cstdint>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_table.h"
#include "host/decode/hpgl2_decoder.h"
#include "host/decode/pci_decoder.h"
#include "host/preview/render.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void peNumber(Bytes &out, long value) {
    unsigned long folded = value < 0 ? 2ul * static_cast<unsigned long>(-value) + 1 : 2ul * static_cast<unsigned long>(value);
    do {
        const auto digit = static_cast<std::uint8_t>(folded % 32);
        folded /= 32;
        out.push_back(static_cast<std::uint8_t>(digit + 63 + (folded == 0 ? 32 : 0)));
    } while (folded != 0);
}

void text(Bytes &out, const std::string &s) { out.insert(out.end(), s.begin(), s.end()); }

// A zig-zag polyline across an A0 sheet.
Bytes polyline() {
    Bytes out;
    text(out, "PS47520,33600;NP8;SP1;PE7=<");
    peNumber(out, 1000);
    peNumber(out, 1000);
    for (int i = 0; i < 100000; ++i) {
        peNumber(out, (i % 100) * 7 - 300);
        peNumber(out, i % 2 == 0 ? 250 : -240);
    }
    text(out, ";PG;");
    return out;
}

// Rows of a gradient, each differing from the one above in a band.
Bytes image() {
    constexpr int kColumns = 2400;
    constexpr int kRows = 600;
    Bytes out;
    text(out, "PU1000,1000;\x1B%1A\x1B*v6W");
    out.insert(out.end(), {0, 3, 8, 8, 8, 8});
    text(out, "\x1B*r2400S\x1B*r600T\x1B*t8000h2000V\x1B*r3A");
    for (int r = 0; r < kRows; ++r) {
        if (r == 0) {
            text(out, "\x1B*b0m7200W");
            for (int c = 0; c < kColumns; ++c) {
                out.insert(out.end(), {static_cast<std::uint8_t>(c), 0x80, static_cast<std::uint8_t>(r)});
            }
            continue;
        }
        // A replacement of 8 bytes every 48: about a sixth of the row.
        Bytes delta;
        for (int at = 0; at + 8 <= kColumns * 3; at += 48) {
            delta.push_back(at == 0 ? 0xE0 : 0xE0 | 31);
            if (at != 0) {
                delta.push_back(40 - 31);
            }
            for (int k = 0; k < 8; ++k) {
                delta.push_back(static_cast<std::uint8_t>(r + k));
            }
        }
        text(out, "\x1B*b3m" + std::to_string(delta.size()) + "W");
        out.insert(out.end(), delta.begin(), delta.end());
    }
    text(out, "\x1B*rC\x1B%0B");
    return out;
}

// Records of up to 83 characters: each move a two-digit step.
Bytes pciJob() {
    constexpr int kBias = 0x20;
    Bytes out;
    Bytes record;
    const auto close = [&] {
        long sum = 0;
        for (const std::uint8_t b : record) {
            sum += static_cast<std::int8_t>(b);
        }
        record.push_back(static_cast<std::uint8_t>(96 - (sum >= 0 ? sum & 31 : -((-sum) & 31))));
        out.insert(out.end(), {'!', '!'});
        out.insert(out.end(), record.begin(), record.end());
        out.insert(out.end(), {'\r', '\r', '\r'});
        record.assign(1, kBias);
    };
    record.assign(1, kBias);
    for (const int c : {11, 0, 9, 11, 7, 1, 13, 1}) {
        record.push_back(static_cast<std::uint8_t>(kBias + c));
    }
    close();
    record.push_back(kBias + 2);
    for (int i = 0; i < 100000; ++i) {
        if (record.size() + 5 >= 84) {
            close();
        }
        // (+2 digits, +2 digits) is code 20, (+2, -2) code 22: up and down.
        record.insert(record.end(), {static_cast<std::uint8_t>(kBias + (i % 2 ? 22 : 20)), kBias + 3,
                                     static_cast<std::uint8_t>(kBias + i % 32), kBias + 2, kBias + 5});
    }
    close();
    return out;
}

struct Job {
    const char *name;
    Bytes (*make)();
    bool pci;
};

constexpr Job kJobs[] = {
    {"hpgl2_polyline_100k", polyline, false},
    {"pcl_delta_rows_2400x600", image, false},
    {"pci_moves_100k", pciJob, true},
};

void decodeJob(benchmark::State &state, const Job &job) {
    const Bytes bytes = job.make();
    drv::decode::PciFramingOptions framing;
    framing.radix = 32;
    std::size_t elements = 0;
    std::size_t problems = 0;
    for (auto _ : state) {
        const drv::decode::Drawing d = job.pci ? drv::decode::decodePci(bytes, framing) : drv::decode::decodeHpgl2(bytes);
        elements = d.elements.size();
        problems = d.problems.size();
        benchmark::DoNotOptimize(elements);
    }
    // A job the decoder finds fault with measures the wrong thing.
    state.counters["problems"] = static_cast<double>(problems);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(bytes.size()));
    state.counters["input_bytes"] = static_cast<double>(bytes.size());
}

void previewPolyline(benchmark::State &state) {
    const drv::decode::Drawing drawing = drv::decode::decodeHpgl2(polyline());
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        std::size_t pages = 0;
        std::string error;
        drv::preview::renderPreview(drawing, {drv::preview::Format::Png, 96, 0}, png, pages, error);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["png_bytes"] = static_cast<double>(png.size());
}

} // namespace

int main(int argc, char **argv) {
    drv::bench::registerTable("decode", kJobs, decodeJob);
    benchmark::RegisterBenchmark("preview/png_96dpi_polyline_100k", previewPolyline)->Unit(benchmark::kMillisecond);
    const int status = drv::bench::runRegistered(argc, argv);
    drv::preview::releaseRenderingCaches();
    return status;
}
