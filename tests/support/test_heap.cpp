#include "tests/support/test_heap.h"

#include <cstdlib>

#include "common/heap.h"

namespace drv {
namespace {

int gFailCountdown = 0;
bool gFailAll = false;
int gOutstanding = 0;
int gRequests = 0;

}  // namespace

void *obtainBlock(std::size_t size) {
    ++gRequests;
    if (gFailAll) {
        return nullptr;
    }
    if (gFailCountdown > 0 && --gFailCountdown == 0) {
        return nullptr;
    }
    void *block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) {
        ++gOutstanding;
    }
    return block;
}

void releaseBlock(void *block) {
    if (block != nullptr) {
        --gOutstanding;
        std::free(block);
    }
}

namespace testing {

void failNthAllocation(int nth) { gFailCountdown = nth; }
void failAllAllocations(bool on) { gFailAll = on; }
int outstandingBlocks() { return gOutstanding; }
int allocationRequests() { return gRequests; }
void resetAllocationFailures() {
    gFailCountdown = 0;
    gFailAll = false;
}

}  // namespace testing
}  // namespace drv
