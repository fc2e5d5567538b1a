#include "host/job/plot_ops.h"

#include <charconv>

#include "host/job/plot_op_table.h"
#include "host/util/ascii_text.h"

namespace drv::host {
namespace {

using op_table::kOps;

static_assert(std::size(kOps) == OpRasterRow, "one entry per operation code");

constexpr bool codesInOrder() {
    for (std::size_t i = 0; i < std::size(kOps); ++i) {
        if (kOps[i].code != static_cast<std::int32_t>(i) + 1) {
            return false;
        }
    }
    return true;
}
static_assert(codesInOrder(), "kOps is indexed by code - 1");

// Every alias must name a cell that the operation reads.
constexpr bool aliasesNameUsedCells() {
    for (const OpInfo &op : kOps) {
        for (const CellAlias &alias : op.aliases) {
            if (!alias.name.empty() &&
                op.cells[static_cast<std::size_t>(alias.cell)] == CellType::Unused) {
                return false;
            }
        }
    }
    return true;
}
static_assert(aliasesNameUsedCells(), "an alias names an unused cell");

// A driver reads only cells of the operation, only of operations it
// handles; defaults, gates and switches name cells that are read.
constexpr bool readsAreConsistent() {
    for (const OpInfo &op : kOps) {
        CellSet used = 0;
        for (std::size_t i = 0; i < op.cells.size(); ++i) {
            if (op.cells[i] != CellType::Unused) {
                used = static_cast<CellSet>(used | (1u << i));
            }
        }
        const CellSet read = op.quillaneReads | op.drevantReads;
        if ((read & ~used) != 0 || (used & ~read) != 0 ||
            ((op.handledBy & kQuillane) == 0 && op.quillaneReads != 0) ||
            ((op.handledBy & kDrevant) == 0 && op.drevantReads != 0)) {
            return false;
        }
        for (const CellDefault &d : op.defaults) {
            if (d.cell >= 0 && (read & (1u << d.cell)) == 0) {
                return false;
            }
        }
        for (const CellGate &g : op.gates) {
            if (g.cell >= 0 && ((read & (1u << g.cell)) == 0 || (read & (1u << g.switchCell)) == 0)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(readsAreConsistent(), "the drivers' cells and the cells in use disagree");

constexpr std::string_view kCellNames[PLOT_PARAM_COUNT] = {"p0", "p1", "p2", "p3", "p4", "p5",
                                                            "p6", "p7", "p8", "p9", "p10"};

} // namespace

std::span<const OpInfo> plotOps() {
    return kOps;
}

const OpInfo *findOp(std::int32_t code) {
    if (code < 1 || code > static_cast<std::int32_t>(std::size(kOps))) {
        return nullptr;
    }
    return &kOps[code - 1];
}

const OpInfo *findOp(std::string_view name) {
    if (name.size() > 2 && equalsIgnoreCase(name.substr(0, 2), "op")) {
        if (const OpInfo *op = findOp(name.substr(2))) {
            return op;
        }
    }
    for (const OpInfo &op : kOps) {
        if (equalsIgnoreCase(op.name, name)) {
            return &op;
        }
    }
    return nullptr;
}

std::optional<int> cellForKey(const OpInfo &op, std::string_view key) {
    if (key.size() >= 2 && (key[0] == 'p' || key[0] == 'P')) {
        int cell = -1;
        const char *end = key.data() + key.size();
        const auto [ptr, ec] = std::from_chars(key.data() + 1, end, cell);
        if (ec == std::errc() && ptr == end && cell >= 0 && cell < PLOT_PARAM_COUNT &&
            (key.size() == 2 || key[1] != '0')) {
            return cell;
        }
    }
    for (const CellAlias &alias : op.aliases) {
        if (!alias.name.empty() && equalsIgnoreCase(alias.name, key)) {
            return alias.cell;
        }
    }
    return std::nullopt;
}

std::string_view cellDisplayName(const OpInfo &op, int cell) {
    for (const CellAlias &alias : op.aliases) {
        if (!alias.name.empty() && alias.cell == cell) {
            return alias.name;
        }
    }
    return kCellNames[cell];
}

CellSet cellsRead(const OpInfo &op, PlotterSet plotter) {
    if (plotter == kQuillane) {
        return op.quillaneReads;
    }
    if (plotter == kDrevant) {
        return op.drevantReads;
    }
    // A driver the host does not know: the cells every driver that handles
    // the operation reads.
    CellSet read = 0xFFFF;
    if ((op.handledBy & kQuillane) != 0) {
        read &= op.quillaneReads;
    }
    if ((op.handledBy & kDrevant) != 0) {
        read &= op.drevantReads;
    }
    return read;
}

const CellDefault *cellDefault(const OpInfo &op, int cell) {
    for (const CellDefault &d : op.defaults) {
        if (d.cell == cell) {
            return &d;
        }
    }
    return nullptr;
}

int gateOf(const OpInfo &op, int cell) {
    for (const CellGate &g : op.gates) {
        if (g.cell == cell) {
            return g.switchCell;
        }
    }
    return -1;
}

} // namespace drv::host
