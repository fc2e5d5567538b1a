// Label text as the plotters print it: their fonts hold printable ASCII,
// so other characters become '?' and control characters (one of which
// ends a label on the device) are left out.
#pragma once

#include <string>
#include <string_view>

namespace drv::drawing {

std::string deviceText(std::string_view utf8, bool &replaced);

} // namespace drv::drawing
