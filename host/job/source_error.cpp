#include "host/job/source_error.h"

namespace drv::host {

std::string formatSourceError(std::string_view file, const SourceError &error) {
    return std::string(file) + ":" + std::to_string(error.pos.line) + ":" +
           std::to_string(error.pos.column) + ": " + error.message;
}

} // namespace drv::host
