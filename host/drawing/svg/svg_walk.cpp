#include "host/drawing/svg/svg_walk.h"

#include <algorithm>

namespace drv::drawing::svg {

SvgSource::SvgSource(std::string_view text, Drawing &drawing) : drawing_(drawing) {
    lineStarts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            lineStarts_.push_back(i + 1);
        }
    }
}

int SvgSource::lineAt(std::ptrdiff_t offset) const {
    if (offset < 0) {
        return 0;
    }
    const auto it = std::upper_bound(lineStarts_.begin(), lineStarts_.end(),
                                     static_cast<std::size_t>(offset));
    return static_cast<int>(it - lineStarts_.begin());
}

int SvgSource::lineOf(const pugi::xml_node &node) const {
    return lineAt(node.offset_debug());
}

void SvgSource::warn(const pugi::xml_node &node, const std::string &message) {
    drawing_.warnings.push_back("line " + std::to_string(lineOf(node)) + ": " + message);
}

void SvgSource::warnOnce(const std::string &message) {
    if (said_.insert(message).second) {
        drawing_.warnings.push_back(message);
    }
}

bool SvgSource::fail(const pugi::xml_node &node, std::string message) {
    return failAt(lineOf(node), std::move(message));
}

bool SvgSource::failAt(int line, std::string message) {
    if (!failed_) {
        failed_ = true;
        error_ = {line, std::move(message)};
    }
    return false;
}

std::string_view localName(const pugi::xml_node &node) {
    std::string_view name = node.name();
    if (name.rfind("svg:", 0) == 0) {
        name.remove_prefix(4);
    }
    return name;
}

bool penFor(const WalkState &state, PenKey &key) {
    // A pen plotter draws outlines: a shape that is only filled is drawn
    // round its edge in its fill colour rather than left out.
    std::optional<Colour> colour = resolve(state.style.stroke, state.style);
    if (!colour) {
        colour = resolve(state.style.fill, state.style);
    }
    if (!colour) {
        return false;
    }
    key.colour = colour;
    key.layer = state.layer;
    key.layerPen = state.layerPen;
    const double scale = std::sqrt(std::abs(state.ctm.determinant()));
    key.widthMm = state.style.stroke.kind == Paint::Kind::None ? 0 : state.style.strokeWidth * scale;
    return true;
}

} // namespace drv::drawing::svg
