#include "plotters/quillane/row_transfer.h"

#include <cstddef>
#include <cstring>

#include "common/format_kit.h"

namespace drv::quillane {
namespace {

constexpr const char *kTransferFormat = "\x1b*b%cm%d%c";

}  // namespace

std::int32_t emitTransfer(std::uint8_t *out, char method, std::int32_t count, char terminator,
                          const std::uint8_t *data) {
    // The command is built aside: the kit ends its text with a NUL, and the
    // host sizes its buffer for the row's commands and data only.
    char header[kMaxTransferHeader + 1];
    const std::int32_t headerLength =
        formatText(header, kTransferFormat, std::int32_t{method}, count, std::int32_t{terminator});
    std::memcpy(out, header, static_cast<std::size_t>(headerLength));
    if (count > 0) {
        std::memcpy(out + headerLength, data, static_cast<std::size_t>(count));
    }
    return headerLength + count;
}

}  // namespace drv::quillane
