// A 4000 x 3000 photograph placed on a plot (`Image file=photo.png ...
// depth=N`), as `drvhost plot --driver quillane` runs it, whole and stage by
// stage: reading the PNG, packing it into rows (the palette chosen and every
// pixel mapped to it at indexed depths), putting the job together (rows
// checked and copied), and running the job through the driver into a sink
// that only counts. The picture is made once (tests/support/photo_picture.h) and kept as a
// PNG in the system's temporary folder; a file there that does not read back
// as that picture is made again.
//
// Times are the process's processor time per run of a stage (user and
// system: page faults of the large tables count); bytes per second are the
// picture's RGB bytes.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_table.h"
#include "host/io/byte_sink.h"
#include "host/job/plotter_traits.h"
#include "host/loader/driver_search.h"
#include "host/picture/png_file.h"
#include "host/picture/raster_image.h"
#include "host/plot/plot_runner.h"
#include "host/plot/plot_script.h"
#include "host/script/script_job.h"
#include "host/script/script_parser.h"
#include "tests/support/photo_picture.h"

namespace {

namespace fs = std::filesystem;
using drv::host::RgbImage;

constexpr std::size_t kWidth = 4000;
constexpr std::size_t kHeight = 3000;
constexpr std::int32_t kDepths[] = {1, 2, 4, 8, 16, 32};

const RgbImage &picture() {
    static const RgbImage image = [] {
        RgbImage made;
        made.width = kWidth;
        made.height = kHeight;
        made.pixels = drv::testing::photoPicture(kWidth, kHeight);
        return made;
    }();
    return image;
}

// The picture's PNG, written when missing or stale.
const std::string &picturePath() {
    static const std::string path = [] {
        const fs::path file = fs::temp_directory_path() / "drvsuite-bench-photo-4000x3000-v1.png";
        RgbImage read;
        std::string error;
        if (!drv::host::readPng(file.string(), read, error) ||
            read.pixels != picture().pixels) {
            if (!drv::host::writePng(file.string(), picture(), error)) {
                return std::string();
            }
        }
        return file.string();
    }();
    return path;
}

std::string script(std::int32_t depth) {
    return "BeginJob page_width=11880 page_height=8400 pens=1\nImage file=\"" + picturePath() + "\" x=0 y=0 depth=" +
           std::to_string(depth) + "\nEndJob\n";
}

void report(benchmark::State &state) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kWidth * kHeight * 3));
}

// Bytes counted, nothing kept.
class CountingSink final : public drv::host::ByteSink {
public:
    bool write(const std::uint8_t *, std::size_t size, std::string &) override {
        bytes += size;
        return true;
    }
    bool commit(std::string &) override { return true; }
    std::uint64_t bytes = 0;
};

bool loadPicture(const std::string &, RgbImage &image, std::string &) {
    image = picture();
    return true;
}

std::vector<drv::host::PlotCall> buildJob(std::int32_t depth,
                                          std::vector<drv::host::SourceError> &errors) {
    const auto statements = drv::host::parseScript(script(depth), errors);
    return drv::host::buildPlotJob(statements, drv::host::plotterTraits("quillane"), "",
                                   loadPicture, errors);
}

void readPng(benchmark::State &state) {
    if (picturePath().empty()) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    for (auto _ : state) {
        RgbImage image;
        std::string error;
        if (!drv::host::readPng(picturePath(), image, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(image.pixels.data());
    }
    report(state);
}

void packImage(benchmark::State &state) {
    const auto depth = static_cast<std::int32_t>(state.range(0));
    picture();
    for (auto _ : state) {
        const drv::host::RasterRows rows = drv::host::packImage(picture(), depth);
        benchmark::DoNotOptimize(rows.rows.data());
    }
    report(state);
}

// The job put together from the picture in memory: packing, the calls and
// the checker.
void buildPlotJob(benchmark::State &state) {
    const auto depth = static_cast<std::int32_t>(state.range(0));
    picture();
    for (auto _ : state) {
        std::vector<drv::host::SourceError> errors;
        const auto job = buildJob(depth, errors);
        if (!errors.empty()) {
            state.SkipWithError(errors.front().message.c_str());
            return;
        }
        benchmark::DoNotOptimize(job.data());
    }
    report(state);
}

// The checked job through the driver into a counting sink.
void runPlotJob(benchmark::State &state) {
    const auto depth = static_cast<std::int32_t>(state.range(0));
    std::string error;
    const auto library = drv::host::openDriver("quillane", error);
    std::vector<drv::host::SourceError> errors;
    const auto job = buildJob(depth, errors);
    if (!library || library->pldbin() == nullptr || !errors.empty()) {
        state.SkipWithError(library ? "the job does not build" : error.c_str());
        return;
    }
    std::uint64_t bytes = 0;
    for (auto _ : state) {
        CountingSink sink;
        drv::host::PlotRunStats stats;
        if (!drv::host::runPlotJob(library->pldbin(), job,
                                   drv::host::plotterTraits("quillane").stateSize, sink, nullptr,
                                   stats, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        bytes = sink.bytes;
    }
    report(state);
    state.counters["out_MB"] = static_cast<double>(bytes) / 1e6;
}

// What `drvhost plot --driver quillane photo.plt -o out.pcl` does, less
// starting the program: the script read and checked, the PNG read, the job
// run into a file replaced when complete.
void plotScript(benchmark::State &state) {
    const auto depth = static_cast<std::int32_t>(state.range(0));
    if (picturePath().empty()) {
        state.SkipWithError("cannot write the picture");
        return;
    }
    const std::string source = script(depth);
    const drv::host::OutputTarget target{
        (fs::temp_directory_path() / "drvsuite-bench-photo.pcl").string(), {}};
    for (auto _ : state) {
        drv::host::PlotRunStats stats;
        drv::host::PlotMessages messages;
        drv::host::PlotScriptOptions options;
        options.driver = "quillane";
        options.scriptName = "photo.plt";
        if (!drv::host::plotScript(source, options, target, stats, messages)) {
            state.SkipWithError(messages.errors.empty() ? "failed"
                                                        : messages.errors.front().c_str());
            return;
        }
    }
    report(state);
    fs::remove(target.target);
}

void depths(benchmark::internal::Benchmark *b) {
    b->ArgName("depth")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
    for (const std::int32_t depth : kDepths) {
        b->Arg(depth);
    }
}

}  // namespace

BENCHMARK(readPng)->Name("PictureJob/read-png")->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();
BENCHMARK(packImage)->Name("PictureJob/pack")->Apply(depths);
BENCHMARK(buildPlotJob)->Name("PictureJob/build-job")->Apply(depths);
BENCHMARK(runPlotJob)->Name("PictureJob/run-job")->Apply(depths);
BENCHMARK(plotScript)->Name("PictureJob/drvhost-plot")->Apply(depths);

int main(int argc, char **argv) { return drv::bench::runRegistered(argc, argv); }
