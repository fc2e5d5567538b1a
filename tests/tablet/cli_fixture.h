// What the end-to-end tests of the tablet commands share: a private folder,
// drvhost run to its end or watched while it runs, and streams of reports
// that the suite's encoder makes for any model.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "digitizers/encoder/tablet_encoder.h"
#include "tests/support/drvhost_test.h"
#include "tests/tablet/live_process.h"

namespace drv::test {

class TabletCli : public DrvhostTest {
protected:
    void SetUp() override {
        // The suite's tablet libraries, from the build's library folder.
        ::unsetenv("DRV_PATH");
        makeFolder("drvhost_tablet_");
    }
};

// The reports `model` sends in `format` for `samples`, one after another;
// a sample the format cannot carry fails the test.
inline std::string encodedStream(const std::string &model, int format,
                                 const std::vector<TabletSample> &samples) {
    std::string stream;
    std::vector<std::uint8_t> report;
    for (const TabletSample &sample : samples) {
        EXPECT_TRUE(encodeTabletReport(model, format, sample, report))
            << model << " format " << format << " cannot carry " << sample.button << " at "
            << sample.x << "," << sample.y;
        stream.append(report.begin(), report.end());
    }
    return stream;
}

// The number of lines in `text`.
inline std::size_t lineCount(const std::string &text) {
    std::size_t lines = 0;
    for (const char c : text) {
        lines += c == '\n' ? 1 : 0;
    }
    return lines;
}

} // namespace drv::test
