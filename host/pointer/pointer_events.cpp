#include "host/pointer/pointer_events.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <cmath>

namespace drv::host {
namespace {

// The tablet's buttons in the order the events list them.
constexpr std::uint16_t kButtonCodes[] = {BTN_TOUCH, BTN_STYLUS, BTN_STYLUS2};

std::int32_t clampAxis(double value, std::int32_t max) {
    if (!(value > 0)) {
        return 0;
    }
    return value >= max ? max : static_cast<std::int32_t>(std::lround(value));
}

} // namespace

PenButtons defaultPenButtons() {
    return {{1, PenButton::Tip},    {'1', PenButton::Tip}, {2, PenButton::Side},
            {'2', PenButton::Side}, {3, PenButton::Side2}, {'3', PenButton::Side2}};
}

std::optional<PointerSetup> calibratedSetup(const Affine &toMm,
                                            const std::vector<PlanePoint> &referenceMm) {
    if (referenceMm.empty()) {
        return std::nullopt;
    }
    PlanePoint low = referenceMm.front();
    PlanePoint high = low;
    for (const PlanePoint &p : referenceMm) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y)};
    }
    const double width = (high.x - low.x) * kAxisUnitsPerMm;
    const double height = (high.y - low.y) * kAxisUnitsPerMm;
    if (!(width >= 1 && height >= 1 && width < INT32_MAX && height < INT32_MAX)) {
        return std::nullopt;
    }
    PointerSetup setup;
    const double s = kAxisUnitsPerMm;
    setup.toAxes = {toMm.a * s, toMm.b * s, (toMm.c - low.x) * s,
                    toMm.d * s, toMm.e * s, (toMm.f - low.y) * s};
    setup.x = {static_cast<std::int32_t>(std::lround(width)), kAxisUnitsPerMm};
    setup.y = {static_cast<std::int32_t>(std::lround(height)), kAxisUnitsPerMm};
    return setup;
}

PointerSetup declaredSetup(std::int32_t maxX, std::int32_t maxY) {
    PointerSetup setup;
    setup.x = {std::max(maxX, 1), 0};
    setup.y = {std::max(maxY, 1), 0};
    return setup;
}

PointerMapper::PointerMapper(PointerSetup setup) : setup_(std::move(setup)) {
    std::vector<InputEvent> ignored;
    set(ignored, EV_KEY, BTN_TOOL_PEN, 0);
    for (const std::uint16_t code : kButtonCodes) {
        set(ignored, EV_KEY, code, 0);
    }
}

void PointerMapper::set(std::vector<InputEvent> &events, std::uint16_t type, std::uint16_t code,
                        std::int32_t value) {
    const std::uint32_t key = static_cast<std::uint32_t>(type) << 16 | code;
    const auto sent = last_.find(key);
    if (sent == last_.end() || sent->second != value) {
        last_[key] = value;
        events.push_back({type, code, value});
    }
}

std::vector<InputEvent> PointerMapper::report(std::int16_t button, std::int32_t x, std::int32_t y) {
    std::vector<InputEvent> events;
    inRange_ = true;
    set(events, EV_KEY, BTN_TOOL_PEN, 1);
    const PlanePoint at = setup_.toAxes.apply({static_cast<double>(x), static_cast<double>(y)});
    set(events, EV_ABS, ABS_X, clampAxis(at.x, setup_.x.max));
    set(events, EV_ABS, ABS_Y, setup_.y.max - clampAxis(at.y, setup_.y.max));
    std::optional<PenButton> pressed;
    if (button != 0) {
        const auto assigned = setup_.buttons.find(button);
        pressed = assigned == setup_.buttons.end() ? PenButton::Tip : assigned->second;
    }
    for (std::size_t i = 0; i < std::size(kButtonCodes); ++i) {
        const bool down = pressed && static_cast<std::size_t>(*pressed) == i;
        set(events, EV_KEY, kButtonCodes[i], down ? 1 : 0);
    }
    if (!events.empty()) {
        events.push_back({EV_SYN, SYN_REPORT, 0});
    }
    return events;
}

std::vector<InputEvent> PointerMapper::leave() {
    std::vector<InputEvent> events;
    if (!inRange_) {
        return events;
    }
    inRange_ = false;
    for (const std::uint16_t code : kButtonCodes) {
        set(events, EV_KEY, code, 0);
    }
    set(events, EV_KEY, BTN_TOOL_PEN, 0);
    if (!events.empty()) {
        events.push_back({EV_SYN, SYN_REPORT, 0});
    }
    return events;
}

} // namespace drv::host
