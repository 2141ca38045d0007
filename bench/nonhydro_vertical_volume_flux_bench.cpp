// nonhydro_vertical_volume_flux at Np = 10, K = 200 000.
#include <random>

#include "bench_support.hpp"

static void BM_NonhydroVerticalVolumeFlux(benchmark::State& state) {
    const std::size_t Np = 10, K = 200000, n = Np * K;
    static const kernel_host::Module module = kernel_host::Module::byName("nonhydro_vertical_volume_flux");
    std::mt19937_64 rng(2);
    std::uniform_real_distribution<double> discharge(-2.0, 2.0), depth(0.1, 3.0);
    std::vector<double> hu(n), hv(n), hw(n), h(n);
    for (std::size_t i = 0; i < n; ++i) {
        hu[i] = discharge(rng);
        hv[i] = discharge(rng);
        hw[i] = discharge(rng);
        h[i] = depth(rng);
    }
    // Every element wet: the kernel's full work.
    auto cellStatus = kernel_host::int8Array({1, K}, std::vector<std::int8_t>(K, 4));
    auto dischargeX = kernel_host::doubleArray({Np, K}, hu), dischargeY = kernel_host::doubleArray({Np, K}, hv);
    auto verticalMomentum = kernel_host::doubleArray({Np, K}, hw), depthArray = kernel_host::doubleArray({Np, K}, h);
    bench_support::runCalls(state, module, 2,
                            {cellStatus.get(), dischargeX.get(), dischargeY.get(), verticalMomentum.get(),
                             depthArray.get()});
    // Reads hu, hv, hw, h and the status; writes two Np x K outputs.
    bench_support::reportTraffic(state, (4.0 + 2.0) * 8.0 * n + K);
}
BENCHMARK(BM_NonhydroVerticalVolumeFlux)->Unit(benchmark::kMillisecond)->UseRealTime();
