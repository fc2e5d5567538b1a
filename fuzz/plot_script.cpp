// Plot scripts from arbitrary bytes through the host's parser and job
// builder, for both plotter drivers and for one the host does not know,
// with pictures made in memory from their file names.
//
// Checked for every script:
//  - every error has a line, a column and a message;
//  - a job that builds keeps the host's promises to the driver: it starts
//    with BeginJob and ends with EndJob, brackets images and polygons,
//    passes strings with one NUL and within the driver's limits, rows of
//    the bytes the driver reads, coordinates within its range;
//  - under strict checking the job builds exactly when it gave no warning;
//  - its summary is finite; resuming it at any line gives the job's own
//    requests from there, after a frame that opens with BeginJob; ending
//    it early after any request gives requests that end with EndJob;
//  - the built drivers run the job, and every resumed job, without a fault
//    (an output count outside the buffer, a write past it).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "host/job/job_resume.h"
#include "host/job/job_summary.h"
#include "host/job/plot_ops.h"
#include "host/job/row_layout.h"
#include "host/loader/driver_library.h"
#include "host/plot/job_ledger.h"
#include "host/script/script_job.h"

namespace {

using namespace drv::host;

constexpr std::size_t kMaxResumes = 64;
constexpr std::size_t kMaxCloses = 256;

// A picture for any name but those holding "missing": its size and colours
// follow from the name.
bool madePicture(const std::string &path, RgbImage &image, std::string &error) {
    if (path.find("missing") != std::string::npos) {
        error = "no such picture";
        return false;
    }
    std::uint32_t hash = 2166136261u;
    for (const char c : path) {
        hash = (hash ^ static_cast<std::uint8_t>(c)) * 16777619u;
    }
    image.width = 1 + hash % 13;
    image.height = 1 + (hash >> 8) % 5;
    image.pixels.resize(image.width * image.height * 3);
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        image.pixels[i] = static_cast<std::uint8_t>((hash >> (i % 24)) * (i + 1));
    }
    return true;
}

// The built driver of that name, loaded once; null where it is not built.
PldbinFunction builtDriver(std::string_view name) {
    static std::string ignored;
    static const auto quillane =
        drv::DriverLibrary::open(DRV_LIBRARY_DIR "/" + drv::driverFileName("quillane"), ignored);
    static const auto drevant =
        drv::DriverLibrary::open(DRV_LIBRARY_DIR "/" + drv::driverFileName("drevant"), ignored);
    const auto &library = name == "quillane" ? quillane : drevant;
    return library ? library->pldbin() : nullptr;
}

void checkErrors(const std::vector<SourceError> &errors) {
    for (const SourceError &e : errors) {
        FUZZ_CHECK(e.pos.line >= 1 && e.pos.column >= 1 && !e.message.empty());
    }
}

// The promises a checked job keeps.
void checkJob(const std::vector<PlotCall> &job, const PlotterTraits &traits) {
    FUZZ_CHECK(!job.empty());
    FUZZ_CHECK(job.front().request.op == OpBeginJob && job.back().request.op == OpEndJob);
    bool inJob = false;
    bool inImage = false;
    bool inPolygon = false;
    for (const PlotCall &call : job) {
        const OpInfo *op = findOp(call.request.op);
        FUZZ_CHECK(op != nullptr);
        const std::int32_t code = op->code;
        FUZZ_CHECK(inJob == (code != OpBeginJob));
        FUZZ_CHECK(inImage == (code == OpRasterRow || code == OpRasterEnd));
        inJob = code != OpEndJob;
        inImage = code == OpRasterBegin || code == OpRasterRow;
        FUZZ_CHECK(!inPolygon || (code != OpEndJob && code != OpRasterBegin && code != OpLabel));
        FUZZ_CHECK(inPolygon || (code != OpPolygonNext && code != OpPolygonFill));
        inPolygon = (inPolygon || code == OpPolygonBegin) && code != OpPolygonFill;
        if (op->text == TextKind::String) {
            FUZZ_CHECK(!call.text.empty() && call.text.back() == 0);
            FUZZ_CHECK(std::find(call.text.begin(), call.text.end() - 1, 0) == call.text.end() - 1);
            FUZZ_CHECK(call.text.size() - 1 <=
                       (code == OpLabel ? traits.maxLabelText : traits.maxJobText));
        }
        if (code == OpRasterRow) {
            const std::int32_t width = call.request.param[0].i;
            FUZZ_CHECK(width >= 0 && isRasterDepth(call.request.param[1].i));
            FUZZ_CHECK(call.text.size() ==
                       std::max<std::size_t>(1, rowReadBytes(static_cast<std::size_t>(width),
                                                             call.request.param[1].i)));
        }
        for (int cell = 0; cell < PLOT_PARAM_COUNT; ++cell) {
            if ((op->coordinates & (1u << cell)) != 0) {
                FUZZ_CHECK(std::abs(static_cast<std::int64_t>(call.request.param[cell].i)) <=
                           traits.coordinateLimit);
            }
        }
    }
}

void checkRuns(PldbinFunction entry, const std::vector<PlotCall> &job,
               const PlotterTraits &traits) {
    if (entry == nullptr) {
        return;
    }
    JobLedger ledger;
    std::string error;
    FUZZ_CHECK(measureJob(entry, job, traits, ledger, error));
    FUZZ_CHECK(ledger.size() == job.size() && ledger.through(ledger.total()) == job.size());
}

void checkJobFollowers(const std::vector<PlotCall> &job, const PlotterTraits &traits,
                       PldbinFunction entry) {
    const JobSummary summary = summarizeJob(job, traits);
    FUZZ_CHECK(std::isfinite(summary.penDownMm) && summary.penDownMm >= 0);
    FUZZ_CHECK(std::isfinite(summary.penUpMm) && summary.penUpMm >= 0);
    FUZZ_CHECK(std::isfinite(summary.seconds) && summary.seconds >= 0);
    std::vector<int> lines;
    for (const PlotCall &call : job) {
        if (lines.size() < kMaxResumes && (lines.empty() || lines.back() != call.pos.line)) {
            lines.push_back(call.pos.line);
        }
    }
    for (const int line : lines) {
        std::vector<PlotCall> resumed;
        std::string error;
        if (!resumeJob(job, line, traits, resumed, error)) {
            FUZZ_CHECK(!error.empty());
            continue;
        }
        const auto from = std::find_if(job.begin(), job.end(),
                                       [line](const PlotCall &c) { return c.pos.line >= line; });
        const auto tail = static_cast<std::size_t>(job.end() - from);
        FUZZ_CHECK(resumed.size() >= tail && resumed.front().request.op == OpBeginJob);
        for (std::size_t i = 0; i < tail; ++i) {
            const PlotCall &a = resumed[resumed.size() - tail + i];
            const PlotCall &b = *(from + static_cast<std::ptrdiff_t>(i));
            FUZZ_CHECK(a.request.op == b.request.op && a.text == b.text && a.pos.line == b.pos.line);
        }
        checkRuns(entry, resumed, traits);
    }
    for (std::size_t sent = 0; sent <= job.size() && sent < kMaxCloses; ++sent) {
        const std::vector<PlotCall> closing = closingCalls(job, sent, traits);
        FUZZ_CHECK(closing.empty() ||
                   (closing.back().request.op == OpEndJob && closing.back().request.param[0].i == 0));
        FUZZ_CHECK(closing.size() <= 3);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view source(reinterpret_cast<const char *>(data), size);
    std::vector<SourceError> errors;
    const std::vector<ScriptStatement> statements = parseScript(source, errors);
    checkErrors(errors);
    if (!errors.empty()) {
        return 0;
    }
    for (const std::string_view driver : {"quillane", "drevant", ""}) {
        const PlotterTraits &traits = plotterTraits(driver);
        std::vector<SourceError> warnings;
        const std::vector<PlotCall> job =
            buildPlotJob(statements, traits, "pics", madePicture, errors, {false, &warnings});
        checkErrors(errors);
        checkErrors(warnings);
        const bool built = errors.empty();
        FUZZ_CHECK(built != job.empty());
        errors.clear();
        const std::vector<PlotCall> strict =
            buildPlotJob(statements, traits, "pics", madePicture, errors, {true, nullptr});
        FUZZ_CHECK(strict.empty() == (!built || !warnings.empty()));
        FUZZ_CHECK(strict.empty() || strict.size() == job.size());
        errors.clear();
        if (!built) {
            continue;
        }
        checkJob(job, traits);
        const PldbinFunction entry = driver.empty() ? nullptr : builtDriver(driver);
        checkRuns(entry, job, traits);
        checkJobFollowers(job, traits, entry);
    }
    return 0;
}
