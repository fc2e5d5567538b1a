// Comparisons of the ASCII words people type: operation and key names,
// command-line choices.
#pragma once

#include <string_view>

namespace drv::host {

// ASCII case-insensitive comparison.
bool equalsIgnoreCase(std::string_view a, std::string_view b);

} // namespace drv::host
