// wet_dry_face_1d at Nface = 300 000 (K = 200 000).
#include "bench_support.hpp"
#include "face_bench_data.hpp"

static void BM_WetDryFace1d(benchmark::State& state) {
    using Data = bench_support::FaceBenchData;
    static const kernel_host::Module module = kernel_host::Module::byName("wet_dry_face_1d");
    const Data data;
    bench_support::runCalls(state, module, 1, {data.cellStatus.get(), data.faceToElement.get()});
    // Reads the face inputs; writes one double per face.
    bench_support::reportTraffic(state, Data::faceInputBytes() + 8.0 * Data::Nface);
}
BENCHMARK(BM_WetDryFace1d)->Unit(benchmark::kMillisecond)->UseRealTime();
