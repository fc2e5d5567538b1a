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

// "FILE:LINE:COL: warning: message": something the job asks for that the
// device will not draw as asked.
std::string formatSourceWarning(std::string_view file, const SourceError &warning);

} // namespace drv::host
