#include "host/tablet/tablet_defaults.h"

#include "digitizers/encoder/tablet_encoder.h"

namespace drv::host {

std::optional<TabletFraming> knownFraming(std::string_view model, int format) {
    const std::optional<TabletFormat> known = tabletFormat(model, format);
    if (!known) {
        return std::nullopt;
    }
    if (known->kind == TabletReportKind::Binary) {
        return TabletFraming{TabletFraming::Kind::Marked, known->frameByte, known->encodedLength,
                             0};
    }
    // An encoded line is its characters and one terminator.
    return TabletFraming{TabletFraming::Kind::Lines, 0, known->encodedLength - 1, 0};
}

FramingChoice chooseFraming(std::uint8_t frameByte, std::uint8_t reportLength,
                            std::string_view model, int format,
                            std::optional<std::uint8_t> frameOverride,
                            std::optional<std::uint8_t> lengthOverride) {
    bool declared = false;
    if (frameOverride || lengthOverride) {
        return {framingFromProfile(frameOverride.value_or(frameByte),
                                   lengthOverride.value_or(reportLength), declared),
                "as given"};
    }
    const TabletFraming profile = framingFromProfile(frameByte, reportLength, declared);
    const std::optional<TabletFraming> known = knownFraming(model, format);
    if (known && (!declared || (known->kind == profile.kind && known->mark == profile.mark))) {
        return {*known,
                declared ? "this model's exact length" : "not declared: this model's reports"};
    }
    return {profile, declared ? "declared by the driver" : "not declared: lines of any length"};
}

} // namespace drv::host
