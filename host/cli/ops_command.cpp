#include "host/cli/ops_command.h"

#include <cstdio>
#include <iostream>

#include "host/job/plot_ops.h"
#include "host/job/plotter_traits.h"
#include "host/loader/driver_search.h"

namespace drv::host {
namespace {

constexpr const char *kTypeNames[] = {"unused", "int", "real", "byte"};

std::string readers(PlotterSet set) {
    std::string text;
    for (const std::string_view name : {"quillane", "drevant"}) {
        if ((set & plotterTraits(name).plotter) != 0) {
            text += (text.empty() ? "" : ", ") + std::string(name);
        }
    }
    return text;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string aliasesOf(const OpInfo &op, int cell) {
    std::string names;
    for (const CellAlias &alias : op.aliases) {
        if (!alias.name.empty() && alias.cell == cell) {
            names += (names.empty() ? "" : ", ") + std::string(alias.name);
        }
    }
    return names;
}

// Defaults, switches, ranges: what a script author must know of the cell.
std::string notes(const OpInfo &op, int cell) {
    std::vector<std::string> parts;
    if (const CellDefault *d = cellDefault(op, cell)) {
        if (d->kind == DefaultKind::Value) {
            parts.push_back("default " + number(d->value));
        } else if (d->kind == DefaultKind::FromImage) {
            parts.push_back("default: the image's");
        } else {
            std::string gated;
            for (const CellGate &g : op.gates) {
                if (g.cell >= 0 && g.switchCell == cell) {
                    gated += (gated.empty() ? "" : " or ") + std::string(cellDisplayName(op, g.cell));
                }
            }
            parts.push_back("default: 1 when " + gated + " is given, else 0");
        }
    }
    if (const int gate = gateOf(op, cell); gate >= 0) {
        parts.push_back("read while " + std::string(cellDisplayName(op, gate)) + " is not 0");
    }
    if ((op.ranged & (1u << cell)) != 0) {
        parts.push_back(std::to_string(op.rangeMin) + ".." + std::to_string(op.rangeMax));
    }
    if ((op.coordinates & (1u << cell)) != 0) {
        parts.push_back("plotter units");
    }
    std::string text;
    for (const std::string &part : parts) {
        text += (text.empty() ? "" : "; ") + part;
    }
    return text;
}

constexpr const char *kTextNames[] = {"", "text=\"...\", a string", "palette=#RRGGBB,...",
                                      "hex=..., the row's packed pixels"};

void printOp(const OpInfo &op, PlotterSet only) {
    std::printf("%d %.*s: %.*s\n", op.code, static_cast<int>(op.name.size()), op.name.data(),
                static_cast<int>(op.summary.size()), op.summary.data());
    std::string handled = "  handled by " + readers(op.handledBy);
    if (op.text != TextKind::None) {
        handled += "; text: " + std::string(kTextNames[static_cast<int>(op.text)]);
    }
    std::printf("%s\n", handled.c_str());
    for (int cell = 0; cell < PLOT_PARAM_COUNT; ++cell) {
        const CellType type = op.cells[static_cast<std::size_t>(cell)];
        PlotterSet read = 0;
        read |= (op.quillaneReads & (1u << cell)) != 0 ? kQuillane : 0;
        read |= (op.drevantReads & (1u << cell)) != 0 ? kDrevant : 0;
        if (type == CellType::Unused || (only != 0 && (read & only) == 0)) {
            continue;
        }
        const std::string name = "p" + std::to_string(cell);
        std::string line;
        char text[160];
        std::snprintf(text, sizeof text, "  %-3s %-12s %-6s %-17s %s", name.c_str(),
                      aliasesOf(op, cell).c_str(), kTypeNames[static_cast<int>(type)],
                      readers(read).c_str(), notes(op, cell).c_str());
        line = text;
        while (!line.empty() && line.back() == ' ') {
            line.pop_back();
        }
        std::printf("%s\n", line.c_str());
    }
}

} // namespace

OpsCommand::OpsCommand(CLI::App &app)
    : Subcommand(app, "ops", "list the plot operations, their cells and the drivers reading them") {
    command_->add_option("--driver", driver_, "only what this plotter driver handles and reads");
}

int OpsCommand::run() {
    PlotterSet only = 0;
    if (!driver_.empty()) {
        only = plotterTraits(driverStem(driver_)).plotter;
        if (only == 0) {
            std::cerr << "drvhost: ops knows the plotter drivers quillane and drevant, not '"
                      << driver_ << "'\n";
            return 2;
        }
    }
    std::printf("Plot script requests: an operation by name or code, then key=value cells.\n"
                "Columns: cell, names, type, drivers that read it, defaults and ranges. A cell\n"
                "the loaded driver reads must be given unless it has a default.\n");
    for (const OpInfo &op : plotOps()) {
        if (only == 0 || (op.handledBy & only) != 0) {
            std::printf("\n");
            printOp(op, only);
        }
    }
    return 0;
}

} // namespace drv::host
