// Benchmarks register themselves here; benchmark.exe runs them in the order of
// registration with the size given on its command line.
#pragma once
#include <functional>
#include <string>

struct BenchmarkRegistration {
    BenchmarkRegistration(const char* name, std::function<void(int size)> run);
};

// Wall-clock milliseconds since an arbitrary start.
double BenchNowMs();

#define LIRVAN_BENCHMARK(name, function) \
    static BenchmarkRegistration benchmarkRegistration_##function(name, function)
