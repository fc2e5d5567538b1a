// Sheet sizes by name (A4 ... A0, letter, legal, tabloid) or as WxH in
// millimetres, or WxHin in inches.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace drv::drawing {

struct PageSize {
    double widthMm = 0;
    double heightMm = 0;
};

// Named sizes are portrait (width below height). On failure returns
// nothing with the reason in `error`.
std::optional<PageSize> parsePageSize(std::string_view text, std::string &error);

} // namespace drv::drawing
