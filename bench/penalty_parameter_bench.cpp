// penalty_parameter on a structured triangle mesh: 316 x 316 squares split in
// two, K = 199 712 elements, about 1.5 K inner edges and 1 264 boundary edges,
// numbered square by square as a mesh generator would.
#include <random>

#include "bench_support.hpp"

static void BM_PenaltyParameter(benchmark::State& state) {
    const std::size_t n = 316, K = 2 * n * n;
    static const kernel_host::Module module = kernel_host::Module::byName("penalty_parameter");
    std::mt19937_64 rng(4);
    std::uniform_real_distribution<double> u(0.5, 1.5);
    // Square (i, j) holds the lower triangle 2(jn + i) + 1 and the upper one after it.
    auto lower = [&](std::size_t i, std::size_t j) { return 2.0 * static_cast<double>(j * n + i) + 1.0; };
    std::vector<double> elementSize(K), inner, innerSize, boundary, boundarySize;
    for (double& s : elementSize) {
        s = u(rng);
    }
    auto innerEdge = [&](double a, double b) {
        inner.insert(inner.end(), {a, b});
        innerSize.push_back(u(rng));
    };
    auto boundaryEdge = [&](double a) {
        boundary.insert(boundary.end(), {a, 0.0});
        boundarySize.push_back(u(rng));
    };
    for (std::size_t j = 0; j < n; ++j) {
        for (std::size_t i = 0; i < n; ++i) {
            const double L = lower(i, j), U = L + 1.0;
            innerEdge(L, U);                            // the diagonal
            if (i + 1 < n) innerEdge(U, lower(i + 1, j));  // right neighbour
            if (j + 1 < n) innerEdge(U, lower(i, j + 1));  // upper neighbour
            if (j == 0) boundaryEdge(L);
            if (i == 0) boundaryEdge(L);
            if (j + 1 == n) boundaryEdge(U);
            if (i + 1 == n) boundaryEdge(U);
        }
    }
    const std::size_t Nie = innerSize.size(), Nbe = boundarySize.size();
    auto sizes = kernel_host::doubleArray({K, 1}, elementSize);
    auto faceToElement = kernel_host::doubleArray({2, Nie}, inner);
    auto innerEdgeSize = kernel_host::doubleArray({1, Nie}, innerSize);
    auto boundaryFaceToElement = kernel_host::doubleArray({2, Nbe}, boundary);
    auto boundaryEdgeSize = kernel_host::doubleArray({1, Nbe}, boundarySize);
    auto shape = kernel_host::int8Array({1, 1}, {2});
    auto order = kernel_host::doubleScalar(2.0);
    bench_support::runCalls(state, module, 1,
                            {sizes.get(), faceToElement.get(), innerEdgeSize.get(), boundaryFaceToElement.get(),
                             boundaryEdgeSize.get(), shape.get(), order.get()});
    // Reads the element sizes and every edge (two indices and a size) once,
    // writes the per-element sums and reads them back for the maximum.
    bench_support::reportTraffic(state, 8.0 * K + 24.0 * (Nie + Nbe) + 16.0 * K);
    state.counters["Nie"] = static_cast<double>(Nie);
    state.counters["Nbe"] = static_cast<double>(Nbe);
}
BENCHMARK(BM_PenaltyParameter)->Unit(benchmark::kMillisecond)->UseRealTime();
