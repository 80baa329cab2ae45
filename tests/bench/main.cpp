#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "bench/Benchmark.h"
#include "support/TestHelpers.h"

namespace {
std::vector<std::pair<const char*, std::function<void(int)>>>& Registry()
{
    static std::vector<std::pair<const char*, std::function<void(int)>>> registry;
    return registry;
}
}  // namespace

BenchmarkRegistration::BenchmarkRegistration(const char* name, std::function<void(int)> run)
{
    Registry().emplace_back(name, std::move(run));
}

double BenchNowMs()
{
    LARGE_INTEGER frequency, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// benchmark.exe [SIZE] [NAME]: SIZE is handed to every benchmark; NAME runs only that one.
int main(int argc, char** argv)
{
    const int size = argc > 1 ? std::atoi(argv[1]) : 0;
    const char* only = argc > 2 ? argv[2] : nullptr;
    UseProgramAsLinkReader();
    for (auto& [name, run] : Registry()) {
        if (only && std::string(only) != name) continue;
        std::printf("== %s\n", name);
        std::fflush(stdout);
        run(size);
        std::fflush(stdout);
    }
    return 0;
}
