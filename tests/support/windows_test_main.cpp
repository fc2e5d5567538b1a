// main() of the GoogleTest programs in the Windows builds.
//
// They run under Wine, and Wine can fail to start a program yet exit 0. So
// CTest passes such a program only on the closing line printed here, after
// every test ran and passed; the line states the word size the program was
// built for, which CTest checks too.
#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char **argv) {
    testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    const testing::UnitTest &run = *testing::UnitTest::GetInstance();
    if (failed == 0 && run.Passed()) {
        std::printf(DRV_PASS_FORMAT "\n", run.successful_test_count(),
                    static_cast<int>(sizeof(void *) * 8));
        std::fflush(stdout);
    }
    return failed;
}
