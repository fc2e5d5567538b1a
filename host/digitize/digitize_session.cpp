#include "host/digitize/digitize_session.h"

#include <utility>

namespace drv::host {

DigitizeSession::DigitizeSession(ButtonActions actions, bool millimetres)
    : actions_(std::move(actions)) {
    drawing_.millimetres = millimetres;
}

DigitizeSession::Event DigitizeSession::report(std::int16_t button, PlanePoint point) {
    if (!presses_.press(button)) {
        return {};
    }
    const auto assigned = actions_.find(button);
    const ButtonAction action = assigned == actions_.end() ? ButtonAction::Add : assigned->second;
    switch (action) {
    case ButtonAction::Add:
        open_.points.push_back(point);
        return {Event::Kind::Added, point, open_.points.size(), drawing_.polylines.size() + 1};
    case ButtonAction::End:
        return end(false);
    case ButtonAction::Close:
        return end(true);
    case ButtonAction::Undo:
        return undo();
    }
    return {};
}

DigitizeSession::Event DigitizeSession::end(bool close) {
    if (open_.points.empty()) {
        return {};
    }
    open_.closed = close;
    const Event event{close ? Event::Kind::Closed : Event::Kind::Ended, open_.points.back(),
                      open_.points.size(), drawing_.polylines.size() + 1};
    drawing_.polylines.push_back(std::move(open_));
    open_ = {};
    return event;
}

DigitizeSession::Event DigitizeSession::undo() {
    if (open_.points.empty()) {
        if (drawing_.polylines.empty()) {
            return {};
        }
        open_ = std::move(drawing_.polylines.back());
        drawing_.polylines.pop_back();
        open_.closed = false;
    }
    const PlanePoint taken = open_.points.back();
    open_.points.pop_back();
    return {Event::Kind::Undone, taken, open_.points.size(), drawing_.polylines.size() + 1};
}

Drawing DigitizeSession::finish() {
    end(false);
    Drawing result;
    result.millimetres = drawing_.millimetres;
    leftOut_ = 0;
    for (const Polyline &line : drawing_.polylines) {
        if (line.points.size() >= 2) {
            result.polylines.push_back(line);
        } else {
            ++leftOut_;
        }
    }
    return result;
}

} // namespace drv::host
