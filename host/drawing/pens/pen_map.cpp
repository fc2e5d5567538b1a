#include "host/drawing/pens/pen_map.h"

#include <charconv>

#include "host/drawing/svg/paint.h"

namespace drv::drawing {

bool parsePenMap(std::string_view text, std::vector<PenMapEntry> &out, std::string &error) {
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        const std::size_t equals = item.rfind('=');
        if (equals == std::string_view::npos) {
            error = "--pen-map: '" + std::string(item) + "' is not KEY=PEN";
            return false;
        }
        const std::string_view key = item.substr(0, equals);
        const std::string_view number = item.substr(equals + 1);
        PenMapEntry entry;
        const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), entry.pen);
        if (number.empty() || ec != std::errc() || ptr != number.data() + number.size() || entry.pen < 1) {
            error = "--pen-map: '" + std::string(number) + "' is not a pen number (1 or more)";
            return false;
        }
        if (key.rfind("layer:", 0) == 0) {
            entry.layer = std::string(key.substr(6));
        } else if (const std::optional<Colour> colour = svg::parseColour(key)) {
            entry.colour = colour;
        } else {
            error = "--pen-map: '" + std::string(key) + "' is neither a colour nor layer:NAME";
            return false;
        }
        out.push_back(std::move(entry));
    }
    return true;
}

} // namespace drv::drawing
