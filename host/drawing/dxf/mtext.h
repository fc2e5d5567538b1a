// MTEXT contents as plain lines: paragraph breaks (\P) split lines, and
// formatting codes (fonts, heights, colours, stacking) are dropped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drv::drawing::dxf {

std::vector<std::string> mtextLines(std::string_view text);

// TEXT's control codes: %%d, %%p, %%c as their symbols, %%u and %%o (under
// and over lines) dropped, %%% a percent sign.
std::string plainText(std::string_view text);

} // namespace drv::drawing::dxf
