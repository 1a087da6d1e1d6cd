// The main of every benchmark program: its signature line over fixed work
// first, then the timings Google Benchmark takes by the command line.
#pragma once

#include <benchmark/benchmark.h>

namespace vellbench {

inline int run(int argc, char** argv, void (*printSignature)()) {
    printSignature();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace vellbench
