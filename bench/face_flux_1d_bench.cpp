// face_flux_1d at Nfp = 4, Ne = 300 000.
#include <random>

#include "bench_support.hpp"

static void BM_FaceFlux1d(benchmark::State& state) {
    const std::size_t Nfp = 4, Ne = 300000, n = Nfp * Ne;
    static const kernel_host::Module module = kernel_host::Module::byName("face_flux_1d");
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> depth(0.0, 2.0), discharge(-1.0, 1.0), normal(-1.0, 1.0);
    std::vector<double> faces(3 * n), nx(n);
    for (std::size_t i = 0; i < n; ++i) {
        faces[i] = depth(rng);  // a few nodes at or below the threshold
        faces[n + i] = discharge(rng);
        faces[2 * n + i] = depth(rng);
        nx[i] = normal(rng);
    }
    auto threshold = kernel_host::doubleScalar(0.05), gravity = kernel_host::doubleScalar(9.81);
    auto normalX = kernel_host::doubleArray({Nfp, Ne}, nx);
    auto faceValues = kernel_host::doubleArray({Nfp, Ne, 3}, faces);  // h, hu, z as the 1d solver keeps them
    bench_support::runCalls(state, module, 1, {threshold.get(), gravity.get(), normalX.get(), faceValues.get()});
    // Reads nx, h, hu; writes two pages.
    bench_support::reportTraffic(state, (3.0 + 2.0) * 8.0 * n);
}
BENCHMARK(BM_FaceFlux1d)->Unit(benchmark::kMillisecond)->UseRealTime();
