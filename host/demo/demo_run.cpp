#include "host/demo/demo_run.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/demo/demo_drawing.h"
#include "host/demo/demo_pictures.h"
#include "host/demo/demo_tablets.h"
#include "host/loader/driver_search.h"
#include "host/picture/png_file.h"
#include "host/plot/plot_script.h"

namespace drv::host {
namespace {

namespace fs = std::filesystem;

struct DemoPlotter {
    const char *driver;
    const char *file;
};

constexpr DemoPlotter kPlotters[] = {{"quillane", "drawing.hpgl"}, {"drevant", "drawing.pci"}};

// What the demo did, for the summary.
struct Tally {
    std::size_t libraries = 0;
    std::uint64_t bytesWritten = 0;
    std::size_t filesWritten = 0;
    bool failed = false;
};

bool writeFile(const fs::path &path, const std::string &bytes, Tally &tally) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
        std::cout << "  cannot write " << path.string() << '\n';
        tally.failed = true;
        return false;
    }
    tally.bytesWritten += bytes.size();
    ++tally.filesWritten;
    return true;
}

void writeInputs(const fs::path &dir, Tally &tally) {
    writeFile(dir / "drawing.plt", std::string(demoDrawingScript()), tally);
    for (const DemoPicture &picture : demoPictures()) {
        std::string error;
        const fs::path path = dir / picture.file;
        if (!writePng(path.string(), picture.image, error)) {
            std::cout << "  cannot write " << path.string() << ": " << error << '\n';
            tally.failed = true;
            continue;
        }
        tally.bytesWritten += fs::file_size(path);
        ++tally.filesWritten;
    }
}

void runPlotters(const fs::path &dir, Tally &tally) {
    for (const DemoPlotter &plotter : kPlotters) {
        const fs::path out = dir / plotter.file;
        PlotRunStats stats;
        PlotMessages messages;
        const PlotScriptOptions options{.driver = plotter.driver,
                                        .scriptName = (dir / "drawing.plt").string(),
                                        .baseDir = dir.string()};
        if (!plotScript(demoDrawingScript(), options, {out.string(), std::nullopt}, stats,
                        messages)) {
            std::cout << "  plot    " << plotter.driver << ": FAILED\n";
            for (const std::string &message : messages.errors) {
                std::cout << "          " << message << '\n';
            }
            tally.failed = true;
            continue;
        }
        ++tally.libraries;
        tally.bytesWritten += stats.bytes;
        ++tally.filesWritten;
        std::printf("  plot    %-9s %-13s %7llu bytes from %zu requests\n", plotter.driver,
                    plotter.file, static_cast<unsigned long long>(stats.bytes), stats.calls);
        // What the driver leaves out of the drawing, as the tool says it.
        for (const std::string &warning : messages.warnings) {
            std::cout << "          " << warning << '\n';
        }
    }
}

void runTablets(const fs::path &dir, Tally &tally) {
    fs::create_directories(dir / "tablets");
    std::size_t models = 0;
    std::size_t formats = 0;
    std::size_t sent = 0;
    std::size_t decoded = 0;
    std::size_t dropped = 0;
    std::vector<std::string> trouble;
    for (const std::string_view name : tabletModelNames()) {
        const std::string model(name);
        std::string error;
        const std::unique_ptr<DriverLibrary> library = openDriver(model, error);
        if (!library || library->dgdbin() == nullptr) {
            trouble.push_back(model + ": " + (library ? "exports no dgdbin" : error));
            continue;
        }
        ++models;
        for (int format : {1, 2}) {
            if (!tabletFormat(model, format)) {
                continue;
            }
            ++formats;
            const TabletRoundTrip trip = runTabletRoundTrip(library->dgdbin(), model, format);
            const std::string file = model + "-" + std::to_string(format) + ".bin";
            writeFile(dir / "tablets" / file, std::string(trip.stream.begin(), trip.stream.end()),
                      tally);
            sent += trip.sent.size();
            decoded += trip.counts.decoded;
            dropped += trip.counts.unframed;
            if (!trip.matched()) {
                trouble.push_back(model + " format " + std::to_string(format) + ": " +
                                  std::to_string(trip.counts.decoded) + " of " +
                                  std::to_string(trip.sent.size()) + " decoded, " +
                                  std::to_string(trip.counts.unframed) + " unframed, " +
                                  std::to_string(trip.counts.rejected) + " rejected");
            }
        }
    }
    tally.libraries += models;
    std::printf("  tablet  %zu models, %zu report formats: %zu of %zu known points decoded back,\n"
                "          %zu pieces of line noise and lost bytes dropped (streams in tablets/)\n",
                models, formats, decoded, sent, dropped);
    for (const std::string &line : trouble) {
        std::cout << "  MISMATCH " << line << '\n';
    }
    tally.failed = tally.failed || !trouble.empty() || models != tabletModelNames().size();
}

} // namespace

int runDemo(const DemoOptions &options) {
    const fs::path dir(options.outDir);
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        std::cerr << "drvhost: " << dir.string() << ": " << ec.message() << '\n';
        return 1;
    }
    std::cout << "drvhost demo, writing to " << dir.string() << '\n';
    Tally tally;
    writeInputs(dir, tally);
    runPlotters(dir, tally);
    runTablets(dir, tally);
    std::printf("%zu driver libraries loaded, %zu files and %llu bytes written: %s\n",
                tally.libraries, tally.filesWritten,
                static_cast<unsigned long long>(tally.bytesWritten),
                tally.failed ? "SOMETHING FAILED" : "every point matched");
    return tally.failed ? 1 : 0;
}

} // namespace drv::host
