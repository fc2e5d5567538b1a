// The test build's obtainBlock/releaseBlock: the C heap, plus a switch that
// refuses chosen requests and a count of blocks not given back, so tests can
// walk every "buffer not obtained" path of a driver and prove it leaks
// nothing.
#pragma once

namespace drv::testing {

// Refuses the `nth` request from now on (1 = the next one); 0 refuses none.
void failNthAllocation(int nth);

// Refuses every request while `on` is true.
void failAllAllocations(bool on);

// Blocks obtained and not yet released.
int outstandingBlocks();

// Requests made so far (refused ones included).
int allocationRequests();

// Back to "refuse nothing"; the counters are kept.
void resetAllocationFailures();

}  // namespace drv::testing
