#include "host/drawing/dxf/dxf_reader.h"

#include <dxflib/dl_dxf.h>

#include <sstream>

#include "host/drawing/dxf/block_expander.h"
#include "host/drawing/dxf/dxf_adapter.h"
#include "host/drawing/dxf/group_filter.h"

namespace drv::drawing::dxf {
namespace {

struct Unit {
    int code;
    double mm;
    const char *name;
};

// $INSUNITS codes this reader scales; 0 (unitless) is taken as mm.
constexpr Unit kUnits[] = {
    {0, 1.0, "unitless"},      {1, 25.4, "inches"},       {2, 304.8, "feet"},
    {4, 1.0, "millimetres"},   {5, 10.0, "centimetres"},  {6, 1000.0, "metres"},
    {8, 25.4e-6, "microinches"}, {9, 0.0254, "mils"},     {10, 914.4, "yards"},
    {13, 0.001, "micrometres"}, {14, 100.0, "decimetres"},
};

std::string skippedWarning(const std::map<std::string, int> &skipped) {
    std::string text;
    for (const auto &[name, count] : skipped) {
        text += (text.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    }
    return "not plotted (no line drawing of their own here): " + text;
}

} // namespace

bool readDxf(std::string_view bytes, double toleranceMm, Drawing &out, SourceError &error,
             const DxfLimits &limits) {
    if (bytes.size() > limits.maxBytes) {
        error = {0, "the file is larger than " + std::to_string(limits.maxBytes >> 20) + " MiB"};
        return false;
    }
    std::vector<Group> groups;
    FilteredGroups filtered;
    if (!readGroups(bytes, groups, error) || !filterGroups(groups, filtered, error)) {
        return false;
    }
    DxfDocument document;
    DxfAdapter adapter(document, toleranceMm);
    DL_Dxf library;
    std::istringstream stream(filtered.text);
    library.in(stream, &adapter);
    if (adapter.error()) {
        error = *adapter.error();
        return false;
    }
    const Unit *unit = nullptr;
    for (const Unit &known : kUnits) {
        if (known.code == document.units) {
            unit = &known;
        }
    }
    if (unit == nullptr) {
        error = {0, "$INSUNITS " + std::to_string(document.units) +
                        " is not a unit this reader scales (unitless, inches, feet, mm, cm, m, ...)"};
        return false;
    }
    Drawing drawing;
    drawing.yAxis = YAxis::Up;
    drawing.pensByLayer = true;
    if (!expandBlocks(document, Affine::scale(unit->mm, unit->mm), limits, drawing, error)) {
        return false;
    }
    drawing.warnings = std::move(document.warnings);
    if (!filtered.skipped.empty()) {
        drawing.warnings.push_back(skippedWarning(filtered.skipped));
    }
    if (document.paperSpaceEntities > 0) {
        drawing.warnings.push_back(std::to_string(document.paperSpaceEntities) +
                                   " entities of paper space are not plotted; model space is");
    }
    out = std::move(drawing);
    return true;
}

} // namespace drv::drawing::dxf
