// wd_volume_flux_1d at Np = 10, K = 200 000.
#include <random>

#include "bench_support.hpp"

static void BM_WdVolumeFlux1d(benchmark::State& state) {
    const std::size_t Np = 10, K = 200000, n = Np * K;
    static const kernel_host::Module module = kernel_host::Module::byName("wd_volume_flux_1d");
    std::mt19937_64 rng(4);
    std::uniform_real_distribution<double> u(0.0, 2.0);
    std::vector<double> fields(3 * n);
    for (double& v : fields) {
        v = u(rng);
    }
    std::vector<std::int8_t> status(K);
    for (std::size_t k = 0; k < K; ++k) {
        status[k] = k % 50 == 0 ? 5 : (k % 50 == 1 ? 7 : 4);  // mostly wet, a few dry and pressure-free
    }
    auto threshold = kernel_host::doubleScalar(0.1), gravity = kernel_host::doubleScalar(9.81);
    auto cellStatus = kernel_host::int8Array({1, K}, status);
    auto fieldValues = kernel_host::doubleArray({Np, K, 3}, fields);
    bench_support::runCalls(state, module, 1, {threshold.get(), gravity.get(), cellStatus.get(), fieldValues.get()});
    // Reads h, hu, z and the status; writes two pages.
    bench_support::reportTraffic(state, (3.0 + 2.0) * 8.0 * n + K);
}
BENCHMARK(BM_WdVolumeFlux1d)->Unit(benchmark::kMillisecond)->UseRealTime();
