// downwind_flux_2d at Nfp = 4, Nface = 300 000.
#include "bench_support.hpp"
#include "face_bench_data.hpp"

static void BM_DownwindFlux2d(benchmark::State& state) {
    using Data = bench_support::FaceBenchData;
    static const kernel_host::Module module = kernel_host::Module::byName("downwind_flux_2d");
    const Data data;
    std::mt19937_64 rng(3);
    auto huL = Data::nodeValues(rng, -2.0, 2.0), hvL = Data::nodeValues(rng, -2.0, 2.0);
    auto huA = Data::nodeValues(rng, -2.0, 2.0), hvA = Data::nodeValues(rng, -2.0, 2.0);
    auto xL = Data::nodeValues(rng, -1.0, 1.0), xA = Data::nodeValues(rng, -1.0, 1.0);
    auto yL = Data::nodeValues(rng, -1.0, 1.0), yA = Data::nodeValues(rng, -1.0, 1.0);
    auto [nx, ny] = Data::normals(rng);
    bench_support::runCalls(state, module, 2,
                            {data.cellStatus.get(), data.faceToElement.get(), huL.get(), hvL.get(), huA.get(),
                             hvA.get(), xL.get(), xA.get(), yL.get(), yA.get(), nx.get(), ny.get()});
    // Reads ten per-node arrays and the face inputs; writes two per-node arrays.
    bench_support::reportTraffic(state, (10.0 + 2.0) * 8.0 * Data::n + Data::faceInputBytes());
}
BENCHMARK(BM_DownwindFlux2d)->Unit(benchmark::kMillisecond)->UseRealTime();
