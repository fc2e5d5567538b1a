// What the host knows about each plot operation: its name and code, how each
// of the eleven parameter cells is filled, what the `text` argument carries,
// and readable names for the common cells.
//
// One table serves every plotter driver of the suite: a cell is listed with
// the type any driver reads it as (no driver reads one cell as an integer and
// another as a real), so one script drives either device.
#pragma once

#include <array>
#include <cstdint>
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

struct CellAlias {
    std::string_view name;
    int cell;
};

constexpr int kMaxAliases = 9;

// Largest raster image side, in pixels, that the host passes on.
constexpr std::int32_t kMaxRasterSide = 32767;

struct OpInfo {
    std::string_view name; // without the "Op" prefix, as in OpBeginJob
    std::int32_t code = 0;
    std::array<CellType, PLOT_PARAM_COUNT> cells{};
    TextKind text = TextKind::None;
    std::array<CellAlias, kMaxAliases> aliases{}; // empty names end the list
    // Bit i: p<i> is a plotter coordinate or distance, held within the
    // loaded driver's coordinate range (plotter_traits.h).
    std::uint16_t coordinates = 0;
    // Bit i: p<i> must lie within [rangeMin, rangeMax] for every driver.
    std::uint16_t ranged = 0;
    std::int32_t rangeMin = 0;
    std::int32_t rangeMax = 0;
    // A cell the host fills when the script leaves it out, or -1.
    int defaultCell = -1;
    std::int32_t defaultValue = 0;
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

} // namespace drv::host
