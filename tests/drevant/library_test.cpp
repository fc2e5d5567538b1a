// The shipped library, loaded and driven the way a host does.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/drevant/job_harness.h"
#include "tests/support/built_driver.h"

namespace {

using namespace drevant_test;

TEST(Library, RunsAJobThroughItsOnlyEntry) {
    std::string error;
    const auto library = drv::test::openBuiltDriver("drevant", error);
    ASSERT_NE(library, nullptr) << error;
    const PldbinFunction entry = library->pldbin();
    ASSERT_NE(entry, nullptr);

    alignas(PLOTTER_STATE_ALIGN) unsigned char block[DREVANT_STATE_SIZE];
    std::memset(block, 0xA5, sizeof block);  // hosts need not clear it
    Bytes sent;
    for (Request r : {Request(OpBeginJob).i(5, 0x20).i(6, 32).i(7, 2).i(8, 0x21).i(9, 0x0D).i(10, 1),
                      Request(OpPlot).i(0, 100).i(1, 200), Request(OpPenWidth), Request(OpEndJob)}) {
        unsigned char out[512];
        EXPECT_EQ(entry(&r.request, "", out, block), 0);
        EXPECT_EQ(std::strlen(reinterpret_cast<char *>(out)), static_cast<std::size_t>(r.request.outLength));
        sent.insert(sent.end(), out, out + r.request.outLength);
    }
    // the first record, then code 0, step (100, 200) and checksum 0x57 (233 summed)
    const std::string expected = "!! + )+'!-!K\r\r\r!! 4#$&(W\r\r\r";
    EXPECT_EQ(sent, Bytes(expected.begin(), expected.end()));
}

}  // namespace
