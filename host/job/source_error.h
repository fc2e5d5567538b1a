// A fault in the input of a plot job, where it is.
#pragma once

#include <string>
#include <string_view>

#include "host/job/plot_call.h"

namespace drv::host {

struct SourceError {
    SourcePos pos;
    std::string message;
};

// "FILE:LINE:COL: message", the form editors jump to.
std::string formatSourceError(std::string_view file, const SourceError &error);

} // namespace drv::host
