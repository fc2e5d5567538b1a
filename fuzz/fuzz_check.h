// Failure reporting for fuzz targets: a broken property prints where and
// aborts, which both libFuzzer and the replay runner treat as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__,      \
                         #condition);                                                    \
            std::abort();                                                                \
        }                                                                                \
    } while (false)
