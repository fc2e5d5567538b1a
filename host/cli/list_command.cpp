#include "host/cli/list_command.h"

#include <iomanip>
#include <iostream>

#include "digitizers/encoder/tablet_encoder.h"
#include "host/job/plot_ops.h"
#include "host/job/plotter_traits.h"
#include "host/job/row_layout.h"
#include "host/loader/driver_search.h"

namespace drv::host {
namespace {

std::string plotterAbilities(const PlotterTraits &traits) {
    if (traits.plotter == 0) {
        return "a plotter driver drvhost does not know: jobs are held to the strictest limits";
    }
    int handled = 0;
    for (const OpInfo &op : plotOps()) {
        handled += handles(traits, op) ? 1 : 0;
    }
    std::string text = std::to_string(handled) + " of " + std::to_string(plotOps().size()) +
                       " operations; ";
    text += handles(traits, *findOp(OpPolygonFill)) ? "polygon fill, " : "no polygon fill, ";
    if (handles(traits, *findOp(OpRasterBegin))) {
        std::string depths;
        for (std::int32_t depth = 1; depth <= 32; ++depth) {
            if (isRasterDepth(depth)) {
                depths += (depths.empty() ? "" : depth == 32 ? " and " : ", ") +
                          std::to_string(depth);
            }
        }
        text += "raster images of " + depths + " bits";
    } else {
        text += "no raster";
    }
    if (traits.labelCharsDrawn > 0) {
        text += "; labels of up to " + std::to_string(traits.labelCharsDrawn) + " characters";
    }
    return text + "; coordinates within +-" + std::to_string(traits.coordinateLimit) +
           " units of 0.025 mm; job texts of up to " + std::to_string(traits.maxJobText) +
           " bytes";
}

std::string tabletAbilities(const std::string &model) {
    std::string text;
    for (const int number : {1, 2}) {
        const std::optional<TabletFormat> format = tabletFormat(model, number);
        if (!format) {
            continue;
        }
        char line[160];
        if (format->kind == TabletReportKind::Ascii) {
            std::snprintf(line, sizeof line, "format %d: ASCII reports of %zu bytes ended by 0x%02X",
                          number, format->encodedLength, format->frameByte);
        } else {
            std::snprintf(line, sizeof line,
                          "format %d: binary reports of %zu bytes, the first marked 0x%02X", number,
                          format->encodedLength, format->frameByte);
        }
        text += (text.empty() ? "" : "; ") + std::string(line) + ", x 0.." +
                std::to_string(format->maxX) + ", y 0.." + std::to_string(format->maxY);
    }
    return text.empty() ? "a tablet driver drvhost does not know: framing as it declares" : text;
}

} // namespace

ListCommand::ListCommand(CLI::App &app)
    : Subcommand(app, "list", "list the driver libraries found") {
    command_->add_flag("--long", long_,
                       "what each driver can do: operations, fills, raster, limits, tablet formats");
}

int ListCommand::run() {
    const std::vector<FoundDriver> drivers = listDrivers();
    for (const FoundDriver &driver : drivers) {
        std::cout << std::left << std::setw(12) << driver.name << ' ' << driverKindName(driver.kind)
                  << "  " << driver.path << '\n';
        if (!long_) {
            continue;
        }
        if (driver.kind == DriverKind::Plotter) {
            const PlotterTraits &traits = plotterTraits(driver.name);
            if (!traits.language.empty()) {
                std::cout << "    " << traits.language << '\n';
            }
            std::cout << "    " << plotterAbilities(traits) << '\n';
        } else if (driver.kind == DriverKind::Digitizer) {
            std::cout << "    " << tabletAbilities(driver.name) << '\n';
        }
    }
    std::cerr << "drvhost: " << drivers.size() << " driver libraries; searched:";
    for (const std::string &folder : driverSearchPath()) {
        std::cerr << "\n  " << folder;
    }
    std::cerr << '\n';
    return drivers.empty() ? 1 : 0;
}

} // namespace drv::host
