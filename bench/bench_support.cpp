#include "bench_support.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

namespace bench_support {

double copyBandwidth() {
    static const double bandwidth = [] {
        const std::size_t bytes = std::size_t{256} << 20;
        std::vector<char> from(bytes, 1), to(bytes, 0);
        double best = 0.0;
        for (int repeat = 0; repeat < 5; ++repeat) {
            const auto start = std::chrono::steady_clock::now();
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            best = std::max(best, 2.0 * static_cast<double>(bytes) / took.count());
        }
        return best;
    }();
    return bandwidth;
}

void reportTraffic(benchmark::State& state, double bytesPerCall) {
    const double copy = copyBandwidth();
    state.SetBytesProcessed(static_cast<int64_t>(bytesPerCall * static_cast<double>(state.iterations())));
    state.counters["GBps"] = benchmark::Counter(bytesPerCall * 1e-9 * static_cast<double>(state.iterations()),
                                                benchmark::Counter::kIsRate);
    state.counters["copyGBps"] = copy * 1e-9;
    // Fraction of copy = (bytes / time) / copy bandwidth, as a rate counter.
    state.counters["ofCopy"] = benchmark::Counter(bytesPerCall * static_cast<double>(state.iterations()) / copy,
                                                  benchmark::Counter::kIsRate);
}

void runCalls(benchmark::State& state, const kernel_host::Module& module, int nlhs,
              const std::vector<const mxArray*>& inputs) {
    for (auto _ : state) {
        kernel_host::CallResult r = module.call(nlhs, inputs);
        if (!r.ok) {
            state.SkipWithError((r.identifier + ": " + r.message).c_str());
            break;
        }
        benchmark::DoNotOptimize(r.outputs.data());
    }
}

}  // namespace bench_support

// The copy itself, at the size of the first module benchmark, for reference.
static void BM_Copy(benchmark::State& state) {
    const std::size_t bytes = static_cast<std::size_t>(state.range(0));
    std::vector<char> from(bytes, 1), to(bytes, 0);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
    }
    bench_support::reportTraffic(state, 2.0 * static_cast<double>(bytes));
}
BENCHMARK(BM_Copy)->Arg(std::int64_t{80} << 20)->Unit(benchmark::kMillisecond)->UseRealTime();
