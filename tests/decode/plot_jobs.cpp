#include "tests/decode/plot_jobs.h"

#include "host/demo/demo_pictures.h"
#include "host/job/plotter_traits.h"
#include "host/job/source_error.h"
#include "host/plot/plot_runner.h"
#include "host/script/script_job.h"
#include "tests/support/built_driver.h"

namespace drv::test {
namespace {

bool demoPicture(const std::string &path, host::RgbImage &image, std::string &error) {
    for (const host::DemoPicture &picture : host::demoPictures()) {
        if (path.ends_with(picture.file)) {
            image = picture.image;
            return true;
        }
    }
    error = path + ": not one of the demo's pictures";
    return false;
}

} // namespace

RanJob runPlotScript(const std::string &driver, const std::string &script) {
    RanJob ran;
    const auto library = openBuiltDriver(driver, ran.error);
    if (!library) {
        return ran;
    }
    std::vector<host::SourceError> errors;
    const auto statements = host::parseScript(script, errors);
    const host::PlotterTraits &traits = host::plotterTraits(driver);
    if (errors.empty()) {
        ran.calls = host::buildPlotJob(statements, traits, "", demoPicture, errors);
    }
    if (!errors.empty()) {
        ran.error = host::formatSourceError(driver, errors.front());
        return ran;
    }
    host::MemorySink sink;
    host::PlotRunStats stats;
    if (!host::runPlotJob(library->pldbin(), ran.calls, traits.stateSize, sink, nullptr, stats,
                          ran.error)) {
        return ran;
    }
    ran.bytes = std::move(sink.bytes);
    return ran;
}

} // namespace drv::test
