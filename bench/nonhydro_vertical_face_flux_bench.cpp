// nonhydro_vertical_face_flux at Nfp = 4, Nface = 300 000.
#include "bench_support.hpp"
#include "face_bench_data.hpp"

static void BM_NonhydroVerticalFaceFlux(benchmark::State& state) {
    using Data = bench_support::FaceBenchData;
    static const kernel_host::Module module = kernel_host::Module::byName("nonhydro_vertical_face_flux");
    const Data data;
    std::mt19937_64 rng(4);
    auto scalar = kernel_host::doubleScalar(9.81);
    auto h = Data::nodeValues(rng, 0.1, 3.0), hu = Data::nodeValues(rng, -2.0, 2.0);
    auto hv = Data::nodeValues(rng, -2.0, 2.0), hw = Data::nodeValues(rng, -0.5, 0.5);
    auto [nx, ny] = Data::normals(rng);
    bench_support::runCalls(state, module, 1,
                            {data.cellStatus.get(), data.faceToElement.get(), scalar.get(), h.get(), hu.get(),
                             hv.get(), hw.get(), nx.get(), ny.get()});
    // Reads six per-node arrays and the face inputs; writes one per-node array.
    bench_support::reportTraffic(state, (6.0 + 1.0) * 8.0 * Data::n + Data::faceInputBytes());
}
BENCHMARK(BM_NonhydroVerticalFaceFlux)->Unit(benchmark::kMillisecond)->UseRealTime();
