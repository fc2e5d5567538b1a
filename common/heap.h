// Work memory of the plotter drivers.
//
// Drivers obtain memory only through these two functions. The shipped
// libraries link heap.cpp (the C heap); the test build links a replacement
// that can refuse a chosen request, so that every "buffer not obtained" path
// of a driver can be exercised.
#pragma once

#include <cstddef>

namespace drv {

// A block of `size` bytes, or null when it cannot be obtained.
void *obtainBlock(std::size_t size);

// Gives back a block from obtainBlock; null is ignored.
void releaseBlock(void *block);

}  // namespace drv
