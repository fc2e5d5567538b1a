#include "host/drawing/placement/page_size.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include "host/drawing/model/words.h"

namespace drv::drawing {
namespace {

struct NamedPage {
    std::string_view name;
    PageSize size;
};

constexpr NamedPage kPages[] = {
    {"a4", {210, 297}},       {"a3", {297, 420}},         {"a2", {420, 594}},
    {"a1", {594, 841}},       {"a0", {841, 1189}},        {"letter", {215.9, 279.4}},
    {"legal", {215.9, 355.6}}, {"tabloid", {279.4, 431.8}},
};

bool positive(std::string_view text, double &value) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size() && std::isfinite(value) &&
           value > 0;
}

} // namespace

std::optional<PageSize> parsePageSize(std::string_view text, std::string &error) {
    std::string name = lowered(text);
    for (const NamedPage &page : kPages) {
        if (page.name == name) {
            return page.size;
        }
    }
    double scale = 1;
    if (name.size() > 2 && name.substr(name.size() - 2) == "in") {
        scale = 25.4;
        name.resize(name.size() - 2);
    } else if (name.size() > 2 && name.substr(name.size() - 2) == "mm") {
        name.resize(name.size() - 2);
    }
    const std::size_t x = name.find('x');
    PageSize size;
    if (x == std::string::npos || !positive(std::string_view(name).substr(0, x), size.widthMm) ||
        !positive(std::string_view(name).substr(x + 1), size.heightMm)) {
        error = "--page " + std::string(text) +
                ": give A4, A3, A2, A1, A0, letter, legal, tabloid, WxH (mm) or WxHin";
        return std::nullopt;
    }
    size.widthMm *= scale;
    size.heightMm *= scale;
    return size;
}

} // namespace drv::drawing
