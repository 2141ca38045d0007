// mesh_connection on a triangulated rectangle cut in two halves of 10^4, 10^5
// and 10^6 triangles each, the left half connected to the right half; beside it
// the exhaustive scan of every pair of a boundary face and an adjacent face,
// at the sizes where it ends in reasonable time.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <utility>

#include "bench_support.hpp"

namespace {

using kernel_host::ArrayPtr;

struct Half {
    std::size_t K = 0;
    std::vector<double> elementToVertex, elementToElement, elementToFace;  // 3 x K each
};

const double kFaceVertex[6] = {1, 2, 2, 3, 3, 1};

// Triangles of the cells c in [c0, c1) of a grid with nx x ny cells, two per
// cell; global vertex ids, neighbours found by sorting the face keys.
Half halfOfGrid(std::size_t nx, std::size_t ny, std::size_t c0, std::size_t c1) {
    Half h;
    auto id = [&](std::size_t c, std::size_t r) { return double(r * (nx + 1) + c + 1); };
    for (std::size_t r = 0; r < ny; ++r) {
        for (std::size_t c = c0; c < c1; ++c) {
            const double v00 = id(c, r), v10 = id(c + 1, r), v11 = id(c + 1, r + 1), v01 = id(c, r + 1);
            h.elementToVertex.insert(h.elementToVertex.end(), {v00, v10, v11, v00, v11, v01});
            h.K += 2;
        }
    }
    std::vector<std::pair<std::uint64_t, std::size_t>> keys;
    for (std::size_t f = 0; f < 3 * h.K; ++f) {
        const std::size_t k = f / 3, j = f % 3;
        const auto a = std::uint64_t(h.elementToVertex[3 * k + std::size_t(kFaceVertex[2 * j]) - 1]);
        const auto b = std::uint64_t(h.elementToVertex[3 * k + std::size_t(kFaceVertex[2 * j + 1]) - 1]);
        keys.push_back({std::max(a, b) << 32 | std::min(a, b), f});
    }
    std::sort(keys.begin(), keys.end());
    h.elementToElement.resize(3 * h.K);
    h.elementToFace.resize(3 * h.K);
    for (std::size_t n = 0; n < keys.size(); ++n) {
        const bool pairedBefore = n > 0 && keys[n - 1].first == keys[n].first;
        const bool pairedAfter = n + 1 < keys.size() && keys[n + 1].first == keys[n].first;
        const std::size_t f = keys[n].second;
        const std::size_t other = pairedBefore ? keys[n - 1].second : pairedAfter ? keys[n + 1].second : f;
        h.elementToElement[f] = double(other / 3 + 1);
        h.elementToFace[f] = double(other % 3 + 1);
    }
    return h;
}

// The thirteen inputs for a pair of 10^e triangles each; with everyFaceOnBoundary
// every local face names its own element, the worst case of the search.
struct Pair {
    std::size_t K = 0, K2 = 0;
    std::vector<ArrayPtr> inputs;
    std::vector<const mxArray*> raw;
};

const Pair& meshPair(int e, bool everyFaceOnBoundary = false) {
    static std::map<std::pair<int, bool>, std::unique_ptr<Pair>> pairs;
    std::unique_ptr<Pair>& p = pairs[{e, everyFaceOnBoundary}];
    if (!p) {
        // Each half has ncol x ny cells, ncol = 2 ny: 10^4, 10^5, 10^6 triangles.
        const std::size_t cells = std::size_t(std::llround(std::pow(10.0, e))) / 2;
        const std::size_t ny = std::size_t(std::llround(std::sqrt(cells / 2.0)));
        const std::size_t ncol = cells / ny;
        Half left = halfOfGrid(2 * ncol, ny, 0, ncol);
        const Half right = halfOfGrid(2 * ncol, ny, ncol, 2 * ncol);
        for (std::size_t f = 0; everyFaceOnBoundary && f < 3 * left.K; ++f) {
            left.elementToElement[f] = double(f / 3 + 1);
            left.elementToFace[f] = double(f % 3 + 1);
        }
        p = std::make_unique<Pair>();
        p->K = left.K;
        p->K2 = right.K;
        const std::vector<double> faces(kFaceVertex, kFaceVertex + 6);
        p->inputs.push_back(kernel_host::doubleScalar(1));
        p->inputs.push_back(kernel_host::doubleScalar(2));
        p->inputs.push_back(kernel_host::doubleScalar(double(left.K)));
        p->inputs.push_back(kernel_host::doubleScalar(double(right.K)));
        p->inputs.push_back(kernel_host::doubleScalar(3));
        p->inputs.push_back(kernel_host::doubleScalar(3));
        p->inputs.push_back(kernel_host::doubleArray({2, 3}, faces));
        p->inputs.push_back(kernel_host::doubleArray({2, 3}, faces));
        p->inputs.push_back(kernel_host::doubleArray({3, left.K}, left.elementToVertex));
        p->inputs.push_back(kernel_host::doubleArray({3, right.K}, right.elementToVertex));
        p->inputs.push_back(kernel_host::doubleArray({0, 0}));
        p->inputs.push_back(kernel_host::doubleArray({3, left.K}, left.elementToElement));
        p->inputs.push_back(kernel_host::doubleArray({3, left.K}, left.elementToFace));
        for (const ArrayPtr& a : p->inputs) {
            p->raw.push_back(a.get());
        }
    }
    return *p;
}

// The exhaustive scan over the same arrays: every boundary face against every
// adjacent face, recomputing the adjacent pair each time, the last match kept.
void exhaustiveScan(double localMeshId, double adjacentMeshId, std::ptrdiff_t K, std::ptrdiff_t K2,
                    std::ptrdiff_t Nf, std::ptrdiff_t Nf2, const double* faceVertexIndex,
                    const double* adjacentFaceVertexIndex, std::ptrdiff_t Nv, std::ptrdiff_t Nv2,
                    const double* elementToVertex, const double* adjacentElementToVertex,
                    const double* elementToElement, const double* elementToFace, double* faceMeshId,
                    double* connectedElement, double* connectedFace) {
    for (std::ptrdiff_t k = 0; k < K; ++k) {
        for (std::ptrdiff_t j = 0; j < Nf; ++j) {
            const std::ptrdiff_t i = Nf * k + j;
            faceMeshId[i] = localMeshId;
            connectedElement[i] = elementToElement[i];
            connectedFace[i] = elementToFace[i];
            if (std::ptrdiff_t(elementToElement[i]) - 1 != k) {
                continue;
            }
            const int a = int(elementToVertex[Nv * k + std::ptrdiff_t(faceVertexIndex[2 * j]) - 1]);
            const int b = int(elementToVertex[Nv * k + std::ptrdiff_t(faceVertexIndex[2 * j + 1]) - 1]);
            const int hi = std::max(a, b), lo = std::min(a, b);
            for (std::ptrdiff_t k2 = 0; k2 < K2; ++k2) {
                for (std::ptrdiff_t j2 = 0; j2 < Nf2; ++j2) {
                    const double* v = adjacentElementToVertex + Nv2 * k2;
                    const int a2 = int(v[std::ptrdiff_t(adjacentFaceVertexIndex[2 * j2]) - 1]);
                    const int b2 = int(v[std::ptrdiff_t(adjacentFaceVertexIndex[2 * j2 + 1]) - 1]);
                    if (hi == std::max(a2, b2) && lo == std::min(a2, b2)) {
                        faceMeshId[i] = adjacentMeshId;
                        connectedElement[i] = double(k2 + 1);
                        connectedFace[i] = double(j2 + 1);
                    }
                }
            }
        }
    }
}

// Inputs 11 and 12 read and three outputs written (Nf x K each), the adjacent
// vertex ids read once.
double bytesPerCall(const Pair& p) {
    return 8.0 * (5.0 * 3.0 * double(p.K) + 3.0 * double(p.K2));
}

void BM_MeshConnection(benchmark::State& state) {
    static const kernel_host::Module module = kernel_host::Module::byName("mesh_connection");
    const Pair& p = meshPair(int(state.range(0)));
    bench_support::runCalls(state, module, 3, p.raw);
    bench_support::reportTraffic(state, bytesPerCall(p));
    state.counters["triangles"] = double(p.K);
}

void BM_MeshConnectionEveryFaceOnBoundary(benchmark::State& state) {
    static const kernel_host::Module module = kernel_host::Module::byName("mesh_connection");
    const Pair& p = meshPair(int(state.range(0)), true);
    bench_support::runCalls(state, module, 3, p.raw);
    bench_support::reportTraffic(state, bytesPerCall(p));
    state.counters["triangles"] = double(p.K);
}

void BM_MeshConnectionExhaustiveScan(benchmark::State& state) {
    const Pair& p = meshPair(int(state.range(0)));
    std::vector<double> meshId(3 * p.K), element(3 * p.K), face(3 * p.K);
    for (auto _ : state) {
        exhaustiveScan(1, 2, std::ptrdiff_t(p.K), std::ptrdiff_t(p.K2), 3, 3, mxGetPr(p.raw[6]), mxGetPr(p.raw[7]), 3,
                       3, mxGetPr(p.raw[8]), mxGetPr(p.raw[9]), mxGetPr(p.raw[11]), mxGetPr(p.raw[12]),
                       meshId.data(), element.data(), face.data());
        benchmark::DoNotOptimize(meshId.data());
        benchmark::ClobberMemory();
    }
    // The module must give the same three tables, bit for bit.
    static const kernel_host::Module module = kernel_host::Module::byName("mesh_connection");
    const kernel_host::CallResult r = module.call(3, p.raw);
    if (!r.ok || kernel_host::values(r.outputs[0].get()) != meshId ||
        kernel_host::values(r.outputs[1].get()) != element || kernel_host::values(r.outputs[2].get()) != face) {
        state.SkipWithError("mesh_connection differs from the exhaustive scan");
    }
    bench_support::reportTraffic(state, bytesPerCall(p));
    state.counters["triangles"] = double(p.K);
}

}  // namespace

BENCHMARK(BM_MeshConnection)->DenseRange(4, 6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MeshConnectionEveryFaceOnBoundary)->DenseRange(4, 6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MeshConnectionExhaustiveScan)->DenseRange(4, 5)->Unit(benchmark::kMillisecond)->UseRealTime();
