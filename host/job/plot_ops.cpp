#include "host/job/plot_ops.h"

#include <charconv>

#include "host/util/ascii_text.h"

namespace drv::host {
namespace {

constexpr CellType U = CellType::Unused;
constexpr CellType I = CellType::Int;
constexpr CellType F = CellType::Float;
constexpr CellType B = CellType::Byte;

// Cells by operation, p0 to p10, with what they mean to the drivers that
// read them.
constexpr OpInfo kOps[] = {
    // page size (p2, p3) and pen count (p4); PCI framing bytes (p5..p10)
    {.name = "BeginJob",
     .code = OpBeginJob,
     .cells = {U, U, I, I, I, B, B, B, B, B, B},
     .text = TextKind::String,
     .aliases = {{{"page_width", 2},
                  {"page_height", 3},
                  {"pens", 4},
                  {"bias", 5},
                  {"radix", 6},
                  {"sync_count", 7},
                  {"sync", 8},
                  {"terminator", 9},
                  {"checksum", 10}}}},
    {.name = "EndJob",
     .code = OpEndJob,
     .cells = {I, I, U, U, U, U, U, U, U, U, U},
     .text = TextKind::String,
     .aliases = {{{"copy_switch", 0}, {"copies", 1}}}},
    {.name = "SelectPen",
     .code = OpSelectPen,
     .cells = {I, U, U, U, U, U, U, U, U, U, U},
     .aliases = {{{"pen", 0}}}},
    {.name = "PenWidth",
     .code = OpPenWidth,
     .cells = {I, F, U, U, U, U, U, U, U, U, U},
     .aliases = {{{"pen", 0}, {"width", 1}}}},
    // 16-bit intensities; the device receives the high byte
    {.name = "PenColor",
     .code = OpPenColor,
     .cells = {I, I, I, I, U, U, U, U, U, U, U},
     .aliases = {{{"pen", 0}, {"red", 1}, {"green", 2}, {"blue", 3}, {"r", 1}, {"g", 2}, {"b", 3}}},
     .ranged = 0b1110,
     .rangeMin = 0,
     .rangeMax = 65535},
    // p5 and p6 are a second switch and value that only the PCI driver reads
    {.name = "Velocity",
     .code = OpVelocity,
     .cells = {I, I, F, U, U, I, F, U, U, U, U},
     .aliases = {{{"pen", 0}, {"on", 1}, {"speed", 2}}}},
    {.name = "PenUp", .code = OpPenUp},
    {.name = "PenDown", .code = OpPenDown},
    {.name = "Plot",
     .code = OpPlot,
     .cells = {I, I, U, U, U, U, U, U, U, U, U},
     .aliases = {{{"x", 0}, {"y", 1}}},
     .coordinates = 0b11},
    {.name = "Circle",
     .code = OpCircle,
     .cells = {I, I, I, F, U, U, U, U, U, U, U},
     .aliases = {{{"cx", 0}, {"cy", 1}, {"r", 2}, {"radius", 2}, {"chord", 3}}},
     .coordinates = 0b111},
    {.name = "Arc",
     .code = OpArc,
     .cells = {I, I, I, I, I, I, U, F, F, U, U},
     .aliases = {{{"cx", 0},
                  {"cy", 1},
                  {"sx", 2},
                  {"sy", 3},
                  {"ex", 4},
                  {"ey", 5},
                  {"sweep", 7},
                  {"chord", 8}}},
     .coordinates = 0b111111},
    // character size in plotter units (p0, p1) or in millimetres (p2, p3)
    {.name = "TextStyle",
     .code = OpTextStyle,
     .cells = {I, I, F, F, U, U, F, F, F, U, U},
     .aliases = {{{"height_units", 0},
                  {"width_units", 1},
                  {"height_mm", 2},
                  {"width_mm", 3},
                  {"dir_y", 6},
                  {"dir_x", 7},
                  {"slant", 8}}},
     .coordinates = 0b11},
    // p2 ends the label on the device: ETX unless the script says otherwise
    {.name = "Label",
     .code = OpLabel,
     .cells = {I, I, I, U, U, U, U, U, U, U, U},
     .text = TextKind::String,
     .aliases = {{{"x", 0}, {"y", 1}, {"terminator", 2}}},
     .coordinates = 0b11,
     .ranged = 0b100,
     .rangeMin = 0,
     .rangeMax = 255,
     .defaultCell = 2,
     .defaultValue = 3},
    {.name = "PolygonBegin",
     .code = OpPolygonBegin,
     .cells = {I, I, U, U, U, U, U, U, U, U, U},
     .aliases = {{{"x", 0}, {"y", 1}}},
     .coordinates = 0b11},
    {.name = "PolygonNext",
     .code = OpPolygonNext,
     .cells = {I, I, U, U, U, U, U, U, U, U, U},
     .aliases = {{{"x", 0}, {"y", 1}}},
     .coordinates = 0b11},
    {.name = "PolygonFill", .code = OpPolygonFill},
    {.name = "FillType",
     .code = OpFillType,
     .cells = {I, U, U, U, U, U, U, U, U, U, U},
     .aliases = {{{"level", 0}}}},
    {.name = "Font",
     .code = OpFont,
     .cells = {I, I, I, I, U, U, U, U, U, U, U},
     .aliases = {{{"typeface_on", 0}, {"symbol_set_on", 1}, {"typeface", 2}, {"symbol_set", 3}}}},
    // the palette travels as `text`; the host checks depth and size
    {.name = "RasterBegin",
     .code = OpRasterBegin,
     .cells = {I, I, F, F, I, I, I, U, U, U, U},
     .text = TextKind::Palette,
     .aliases = {{{"x", 0},
                  {"y", 1},
                  {"width_mm", 2},
                  {"height_mm", 3},
                  {"columns", 4},
                  {"rows", 5},
                  {"depth", 6}}},
     .coordinates = 0b11,
     .ranged = 0b110000,
     .rangeMin = 0,
     .rangeMax = kMaxRasterSide},
    {.name = "RasterEnd", .code = OpRasterEnd},
    // the row's bytes travel as `text`
    {.name = "RasterRow",
     .code = OpRasterRow,
     .cells = {I, I, U, U, U, U, U, U, U, U, U},
     .text = TextKind::Row,
     .aliases = {{{"columns", 0}, {"depth", 1}}},
     .ranged = 0b1,
     .rangeMin = 0,
     .rangeMax = kMaxRasterSide},
};

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

} // namespace drv::host
