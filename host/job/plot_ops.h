// What the host knows about each plot operation: its name and code, how each
// of the eleven parameter cells is filled, which cells each driver of the
// suite reads, the defaults a job may leave out, what the `text` argument
// carries, and readable names for the common cells.
//
// One table serves every plotter driver of the suite: a cell is listed with
// the type any driver reads it as (no driver reads one cell as an integer and
// another as a real), so one script drives either device.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string_view>

#include "drvsuite/plotter.h"

namespace drv::host {

// How a script value is put into a cell.
enum class CellType : std::uint8_t {
    Unused, // no driver reads the cell for this operation
    Int,    // signed 32-bit integer; reals are refused
    Float,  // single-precision real; integers are accepted
    Byte    // read by the driver as its low 8 bits: -128..255 or a 'c' character
};

// What the operation passes as `text`.
enum class TextKind : std::uint8_t {
    None,    // null
    String,  // NUL-terminated string from text="..."
    Palette, // RasterPalette record built from palette=#RRGGBB,...
    Row      // the row's pixel bytes from hex=...
};

// The plotter drivers of the suite, one bit each, for saying which of them
// handles an operation or reads a cell. A driver the host does not know has
// no bit.
using PlotterSet = std::uint8_t;
constexpr PlotterSet kQuillane = 1;
constexpr PlotterSet kDrevant = 2;
constexpr PlotterSet kEveryPlotter = kQuillane | kDrevant;

// A set of cells, bit i for p<i>.
using CellSet = std::uint16_t;

constexpr CellSet cellSet(std::initializer_list<int> cells) {
    CellSet set = 0;
    for (const int cell : cells) {
        set = static_cast<CellSet>(set | (1u << cell));
    }
    return set;
}

struct CellAlias {
    std::string_view name;
    int cell;
};

// What the host puts into a cell the job leaves out.
enum class DefaultKind : std::uint8_t {
    Value,    // `value`
    Switch,   // 1 when a cell this switch gates is given, else 0
    FromImage // the open raster image's columns or depth
};

struct CellDefault {
    int cell = -1; // -1 ends the list
    DefaultKind kind = DefaultKind::Value;
    double value = 0; // for Value; an integer cell takes it as an integer
};

// A cell read only while a switch cell of the same request is non-zero.
struct CellGate {
    int cell = -1; // -1 ends the list
    int switchCell = -1;
};

constexpr int kMaxAliases = 9;
constexpr int kMaxDefaults = 6;
constexpr int kMaxGates = 3;

// Largest raster image side, in pixels, that the host passes on.
constexpr std::int32_t kMaxRasterSide = 32767;

struct OpInfo {
    std::string_view name; // without the "Op" prefix, as in OpBeginJob
    std::int32_t code = 0;
    std::string_view summary; // what it does, for `drvhost ops`
    std::array<CellType, PLOT_PARAM_COUNT> cells{};
    TextKind text = TextKind::None;
    std::array<CellAlias, kMaxAliases> aliases{}; // empty names end the list
    // The drivers that handle the operation, and the cells each reads.
    PlotterSet handledBy = kEveryPlotter;
    CellSet quillaneReads = 0;
    CellSet drevantReads = 0;
    // Cells a job may leave out, and cells read only behind a switch. A
    // cell the loaded driver reads must be given unless it has a default or
    // its switch is off.
    std::array<CellDefault, kMaxDefaults> defaults{};
    std::array<CellGate, kMaxGates> gates{};
    // p<i> is a plotter coordinate or distance, held within the loaded
    // driver's coordinate range (plotter_traits.h).
    CellSet coordinates = 0;
    // p<i> and p<i+1> are a point on the page (x, y); `radiusCell` a
    // radius around the first point, or -1.
    CellSet points = 0;
    int radiusCell = -1;
    // A pen number, held within the pens the job declares, or -1.
    int penCell = -1;
    // For the request that starts what a driver may not draw: the feature
    // and the thing counted when a driver leaves them out ("drevant draws
    // no polygon fill: 3 polygons left out").
    std::string_view feature{};
    std::string_view counted{};
    // p<i> must lie within [rangeMin, rangeMax] for every driver.
    CellSet ranged = 0;
    std::int32_t rangeMin = 0;
    std::int32_t rangeMax = 0;
};

// Every operation, in code order (code 1 first).
std::span<const OpInfo> plotOps();

// The operation with this code, or null for codes outside 1..21.
const OpInfo *findOp(std::int32_t code);

// The operation named `name`, case-insensitive, with or without the "Op"
// prefix ("plot", "OpPlot", "OPPLOT"); null when there is none.
const OpInfo *findOp(std::string_view name);

// The cell that `key` names for `op`: "p0".."p10" or one of its aliases,
// case-insensitive. Nothing when the key names no cell.
std::optional<int> cellForKey(const OpInfo &op, std::string_view key);

// The name a cell is shown with in messages: its first alias, or "p<i>".
std::string_view cellDisplayName(const OpInfo &op, int cell);

// The cells `plotter` (one bit) reads for `op`, none when it does not
// handle the operation. A driver the host does not know (0) is held to the
// cells every driver that handles the operation reads.
CellSet cellsRead(const OpInfo &op, PlotterSet plotter);

// The default of `cell`, or null when the cell has none.
const CellDefault *cellDefault(const OpInfo &op, int cell);

// The switch that gates `cell`, or -1.
int gateOf(const OpInfo &op, int cell);

} // namespace drv::host
