#include "host/job/source_error.h"

namespace drv::host {

std::string formatSourceError(std::string_view file, const SourceError &error) {
    return std::string(file) + ":" + std::to_string(error.pos.line) + ":" +
           std::to_string(error.pos.column) + ": " + error.message;
}

std::string formatSourceWarning(std::string_view file, const SourceError &warning) {
    return formatSourceError(file, {warning.pos, "warning: " + warning.message});
}

} // namespace drv::host
