// Table-driven benchmark registration: one benchmark per row of a table of
// {name, ...} records, named "<prefix>/<name>".
#pragma once

#include <cstddef>
#include <string>

#include <benchmark/benchmark.h>

namespace drv::bench {

template <typename Row, std::size_t N, typename Run>
void registerTable(const char *prefix, const Row (&rows)[N], Run run) {
    for (const Row &row : rows) {
        benchmark::RegisterBenchmark((std::string(prefix) + "/" + row.name).c_str(), run, row);
    }
}

// Runs what the command line selects; 1 for an unknown argument.
inline int runRegistered(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace drv::bench
