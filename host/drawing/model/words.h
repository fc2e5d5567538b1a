// Small text helpers the readers of words in files and options share.
#pragma once

#include <string>
#include <string_view>

namespace drv::drawing {

// Without the white space (space, tab, CR, LF, FF) at either end.
std::string_view trimmed(std::string_view text);

// In ASCII lower case.
std::string lowered(std::string_view text);

} // namespace drv::drawing
