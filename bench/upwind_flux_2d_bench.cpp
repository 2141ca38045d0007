// upwind_flux_2d at Nfp = 4, Nface = 300 000.
#include "bench_support.hpp"
#include "face_bench_data.hpp"

static void BM_UpwindFlux2d(benchmark::State& state) {
    using Data = bench_support::FaceBenchData;
    static const kernel_host::Module module = kernel_host::Module::byName("upwind_flux_2d");
    const Data data;
    std::mt19937_64 rng(2);
    auto hL = Data::nodeValues(rng, 0.1, 3.0), huL = Data::nodeValues(rng, -2.0, 2.0);
    auto hvL = Data::nodeValues(rng, -2.0, 2.0), qL = Data::nodeValues(rng, -1.0, 1.0);
    auto hA = Data::nodeValues(rng, 0.1, 3.0), huA = Data::nodeValues(rng, -2.0, 2.0);
    auto hvA = Data::nodeValues(rng, -2.0, 2.0), qA = Data::nodeValues(rng, -1.0, 1.0);
    auto [nx, ny] = Data::normals(rng);
    bench_support::runCalls(state, module, 1,
                            {data.cellStatus.get(), data.faceToElement.get(), hL.get(), huL.get(), hvL.get(),
                             qL.get(), hA.get(), huA.get(), hvA.get(), qA.get(), nx.get(), ny.get()});
    // Reads ten per-node arrays and the face inputs; writes one per-node array.
    bench_support::reportTraffic(state, (10.0 + 1.0) * 8.0 * Data::n + Data::faceInputBytes());
}
BENCHMARK(BM_UpwindFlux2d)->Unit(benchmark::kMillisecond)->UseRealTime();
