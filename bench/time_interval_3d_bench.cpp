// time_interval_3d at Np = 10, K = 200 000.
#include <random>

#include "bench_support.hpp"

static void BM_TimeInterval3d(benchmark::State& state) {
    const std::size_t Np = 10, K = 200000, n = Np * K;
    static const kernel_host::Module module = kernel_host::Module::byName("time_interval_3d");
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> depth(0.1, 2.0), discharge(-1.0, 1.0), length(0.5, 1.5);
    std::vector<double> fields(4 * n), L(K);
    for (std::size_t i = 0; i < n; ++i) {
        fields[i] = depth(rng);
        fields[n + i] = discharge(rng);
        fields[2 * n + i] = discharge(rng);
        fields[3 * n + i] = depth(rng);
    }
    std::vector<std::int8_t> status(K);
    for (std::size_t k = 0; k < K; ++k) {
        status[k] = k % 50 == 0 ? 5 : (k % 50 == 1 ? 7 : 4);  // mostly wet, a few dry and pressure-free
        L[k] = length(rng);
    }
    auto unused = kernel_host::doubleArray({0, 0});
    auto gravity = kernel_host::doubleScalar(9.81), order = kernel_host::doubleScalar(2.0);
    auto elementLength = kernel_host::doubleArray({K, 1}, L);
    auto cellStatus = kernel_host::int8Array({K, 1}, status);
    auto fieldValues = kernel_host::doubleArray({Np, K, 4}, fields);  // h, hu, hv, z as the 3d solver keeps them
    bench_support::runCalls(state, module, 1,
                            {unused.get(), gravity.get(), order.get(), elementLength.get(), cellStatus.get(),
                             fieldValues.get()});
    // Reads h, hu, hv, the lengths and the status; writes one double.
    bench_support::reportTraffic(state, 3.0 * 8.0 * n + 8.0 * K + K + 8.0);
}
BENCHMARK(BM_TimeInterval3d)->Unit(benchmark::kMillisecond)->UseRealTime();
