// What the end-to-end tests of drvhost plot share: the stand-in drivers
// first in the search path, the build's real ones after them.
#pragma once

#include <cstdlib>

#include "tests/support/drvhost_test.h"

namespace drv::test {

class DrvhostCli : public DrvhostTest {
protected:
    void SetUp() override {
        ::setenv("DRV_PATH", TEST_DRIVER_DIR, 1);
        makeFolder("drvhost_cli_");
    }
};

} // namespace drv::test
