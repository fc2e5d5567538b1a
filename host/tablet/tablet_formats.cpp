#include "host/tablet/tablet_formats.h"

#include "digitizers/encoder/tablet_encoder.h"

namespace drv::host {
namespace {

// The selector member the model reads; nothing for a model the suite does
// not know. Every format of one model is picked by the same member.
std::optional<TabletSelector> selectorOf(std::string_view model) {
    for (const int number : {1, 2}) {
        if (const std::optional<TabletFormat> format = tabletFormat(model, number)) {
            return format->selector;
        }
    }
    return std::nullopt;
}

std::string describe(const ModelFormat &format) {
    return std::to_string(format.number) + (format.binary ? " (binary)" : " (ASCII)");
}

} // namespace

std::vector<ModelFormat> modelFormats(std::string_view model) {
    std::vector<ModelFormat> formats;
    for (const int number : {1, 2}) {
        if (const std::optional<TabletFormat> format = tabletFormat(model, number)) {
            formats.push_back({number, format->kind == TabletReportKind::Binary});
        }
    }
    return formats;
}

int effectiveFormat(std::string_view model, const TabletProfileSettings &settings) {
    switch (selectorOf(model).value_or(TabletSelector::ReportFormat)) {
    case TabletSelector::AuxFormat:
        return settings.auxFormat;
    case TabletSelector::None:
        return 1;
    case TabletSelector::ReportFormat:
        break;
    }
    return settings.format;
}

std::optional<std::string> formatProblem(std::string_view model,
                                         const TabletProfileSettings &settings) {
    const std::vector<ModelFormat> formats = modelFormats(model);
    const std::optional<TabletSelector> selector = selectorOf(model);
    if (formats.empty() || !selector) {
        return std::nullopt;
    }
    // A model that reads no selector decodes its one format whatever the
    // profile holds; the person still asked for a number, and only 1 names it.
    const int asked = *selector == TabletSelector::AuxFormat ? settings.auxFormat : settings.format;
    for (const ModelFormat &format : formats) {
        if (format.number == asked) {
            return std::nullopt;
        }
    }
    std::string message = std::string(model) + " has no report format " + std::to_string(asked);
    if (*selector == TabletSelector::AuxFormat) {
        message += " (--aux-format)";
    }
    if (formats.size() == 1) {
        return message + "; its only format is " + describe(formats.front());
    }
    return message + "; its formats are " + describe(formats[0]) + " and " + describe(formats[1]);
}

} // namespace drv::host
