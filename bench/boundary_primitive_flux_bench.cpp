// boundary_primitive_flux at Nfp = 4, Nbe = 300 000.
#include <random>

#include "bench_support.hpp"

static void BM_BoundaryPrimitiveFlux(benchmark::State& state) {
    const std::size_t Nfp = 4, Nbe = 300000, n = Nfp * Nbe;
    static const kernel_host::Module module = kernel_host::Module::byName("boundary_primitive_flux");
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> u(-2.0, 2.0);
    std::vector<double> indicator(n), variable(n), normal(n);
    for (std::size_t j = 0; j < n; ++j) {
        indicator[j] = (j / Nfp) % 10 == 0 ? -1.0 : 1.0;  // every tenth edge switched off
        variable[j] = u(rng);
        normal[j] = u(rng);
    }
    auto edgeIndicator = kernel_host::doubleArray({Nfp, Nbe}, indicator);
    auto variableValues = kernel_host::doubleArray({Nfp, Nbe}, variable);
    auto normalComponent = kernel_host::doubleArray({Nfp, Nbe}, normal);
    bench_support::runCalls(state, module, 1, {edgeIndicator.get(), variableValues.get(), normalComponent.get()});
    // Reads three arrays, writes one.
    bench_support::reportTraffic(state, 4.0 * 8.0 * n);
}
BENCHMARK(BM_BoundaryPrimitiveFlux)->Unit(benchmark::kMillisecond)->UseRealTime();
