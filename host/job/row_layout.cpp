#include "host/job/row_layout.h"

namespace drv::host {

bool isRasterDepth(std::int32_t depth) {
    return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 || depth == 32;
}

std::size_t packedRowBytes(std::size_t width, std::int32_t depth) {
    return (width * static_cast<std::size_t>(depth) + 7) / 8;
}

std::size_t rowReadBytes(std::size_t width, std::int32_t depth) {
    if (depth >= 16) {
        return packedRowBytes(width, depth);
    }
    return (width + 7) / 8 * static_cast<std::size_t>(depth);
}

} // namespace drv::host
