#include "common/heap.h"

#include <cstdlib>

namespace drv {

void *obtainBlock(std::size_t size) {
    // malloc(0) may legitimately return null; a zero-length buffer is still
    // a buffer to the drivers, so ask for at least one byte.
    return std::malloc(size == 0 ? 1 : size);
}

void releaseBlock(void *block) { std::free(block); }

}  // namespace drv
