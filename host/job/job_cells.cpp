// The values of a checked request: defaults for what the job left out,
// cells the driver reads but nobody gave, coordinates, texts and the
// record framing bytes.
#include "host/job/job_checker.h"
#include "host/job/plot_ops.h"

namespace drv::host {
namespace {

// The PCI record framing bytes of BeginJob are read as signed bytes: the
// radix is a divisor of at least 2, the sync count a count of at least 0.
constexpr std::int32_t kMinRadix = 2;

std::int32_t lowByteSigned(std::int32_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

bool given(const PlotCall &call, int cell) {
    return (call.givenCells & (1u << cell)) != 0;
}

// Where a cell's value starts on its line, or the request's own place.
SourcePos cellPos(const PlotCall &call, int cell) {
    const int column = call.cellColumns[static_cast<std::size_t>(cell)];
    return {call.pos.line, column > 0 ? column : call.pos.column};
}

} // namespace

void JobChecker::applyDefaults(PlotCall &out) const {
    const OpInfo &op = *findOp(out.request.op);
    for (const CellDefault &d : op.defaults) {
        if (d.cell < 0 || given(out, d.cell)) {
            continue;
        }
        PlotParam &param = out.request.param[d.cell];
        if (d.kind == DefaultKind::Switch) {
            // On when the job gives a value it switches on.
            bool gated = false;
            for (const CellGate &g : op.gates) {
                gated = gated || (g.cell >= 0 && g.switchCell == d.cell && given(out, g.cell));
            }
            param.i = gated ? 1 : 0;
        } else if (d.kind == DefaultKind::Value) {
            if (op.cells[static_cast<std::size_t>(d.cell)] == CellType::Float) {
                param.f = static_cast<float>(d.value);
            } else {
                param.i = static_cast<std::int32_t>(d.value);
            }
        }
        // FromImage: the raster bracket fills it (checkRow).
    }
}

bool JobChecker::checkGiven(const PlotCall &out) {
    const OpInfo &op = *findOp(out.request.op);
    const CellSet read = cellsRead(op, traits_.plotter);
    std::string missing;
    int count = 0;
    for (int cell = 0; cell < PLOT_PARAM_COUNT; ++cell) {
        if ((read & (1u << cell)) == 0 || given(out, cell) || cellDefault(op, cell) != nullptr) {
            continue;
        }
        const int gate = gateOf(op, cell);
        if (gate >= 0 && out.request.param[gate].i == 0) {
            continue; // switched off: not read
        }
        const std::string plain = "p" + std::to_string(cell);
        std::string shown(cellDisplayName(op, cell));
        if (shown != plain) {
            shown += " (" + plain + ")";
        }
        missing += (count == 0 ? "" : ", ") + shown;
        ++count;
    }
    if (count == 0) {
        return true;
    }
    const std::string reader = traits_.name.empty()
                                   ? std::string()
                                   : ": " + std::string(traits_.name) + " reads " +
                                         (count == 1 ? "it" : "them");
    return error(out.pos, std::string(op.name) + " needs " + missing + reader);
}

bool JobChecker::checkCoordinates(const PlotCall &call) {
    const OpInfo &op = *findOp(call.request.op);
    for (int cell = 0; cell < PLOT_PARAM_COUNT; ++cell) {
        if ((op.coordinates & (1u << cell)) == 0) {
            continue;
        }
        const std::int32_t value = call.request.param[cell].i;
        if (value < -traits_.coordinateLimit || value > traits_.coordinateLimit) {
            return error(cellPos(call, cell),
                         std::string(cellDisplayName(op, cell)) + " = " + std::to_string(value) +
                             " is outside this driver's coordinate range +-" +
                             std::to_string(traits_.coordinateLimit));
        }
    }
    return true;
}

bool JobChecker::checkText(const PlotCall &call, PlotCall &out) {
    const OpInfo &op = *findOp(call.request.op);
    if (op.text != TextKind::String) {
        return true;
    }
    if (out.text.empty()) {
        out.text.push_back(0); // an empty string, never null
    }
    const std::size_t length = out.text.size() - 1;
    const std::size_t limit = op.code == OpLabel ? traits_.maxLabelText : traits_.maxJobText;
    if (length > limit) {
        return error(call.pos, std::string(op.name) + " text is " + std::to_string(length) +
                                   " bytes; this driver takes at most " + std::to_string(limit));
    }
    return true;
}

bool JobChecker::checkRecordFraming(const PlotCall &call) {
    const std::int32_t radix = lowByteSigned(call.request.param[6].i);
    const std::int32_t syncCount = lowByteSigned(call.request.param[7].i);
    if (radix < kMinRadix) {
        return error(cellPos(call, 6), "BeginJob radix (p6) must be 2..127 for this driver");
    }
    if (syncCount < 0) {
        return error(cellPos(call, 7), "BeginJob sync_count (p7) must be 0..127 for this driver");
    }
    // The records travel as C strings: none of their bytes may be 0.
    const auto lowByte = [&call](int cell) { return call.request.param[cell].i & 0xFF; };
    if (lowByte(5) == 0 || lowByte(9) == 0 || (syncCount > 0 && lowByte(8) == 0)) {
        return error(call.pos, "BeginJob bias (p5), terminator (p9) and, with syncs, sync (p8) "
                               "must not be 0 for this driver: records cannot hold a 0 byte");
    }
    return true;
}

} // namespace drv::host
