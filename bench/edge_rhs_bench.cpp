// The edge modules at two sizes, three fields each:
//   2d triangles of order 3: Np = 10, Nfp = 4, K = 100 000, 150 000 inner faces,
//     each joining an element to a neighbour a few dozen elements away;
//   3d prisms, bottom faces between stacked elements: Np = 84, Nfp = 28,
//     K = 20 000, 30 000 faces.
// Beside the modules (through the host), the frame's assembly called directly
// at each vector width, and the assembly as it was before the frame had its
// own product (one face vector per field, then dgemm on blocks of element
// columns), for a before-and-after in one run.
//
// blasThreads is the BLAS's thread count (OPENBLAS_NUM_THREADS, else one per
// core); blasWorkersCpuPerWall the CPU time of the BLAS's worker threads over
// wall time: 0 when every product ran on the calling thread.
#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>

#include "bench_support.hpp"
#include "blas64.hpp"
#include "edge_assembly.hpp"

// The thread count of this program's own copy of the BLAS, which reads the
// same environment as the modules' copies.
extern "C" int openblas_get_num_threads(void);

namespace {

struct EdgeCase {
    std::ptrdiff_t Np, K, Nfp, Nface, Nfield;
    std::vector<double> inverseMassMatrix, faceMassMatrix, faceToElement, faceToNodeLocal, faceToNodeAdjacent,
        faceJacobian, jacobian, fluxLocal, fluxAdjacent, numericalFlux;
    std::vector<kernel_host::ArrayPtr> arrays;  // the ten module inputs

    kernels::EdgeFaceSet set() const {
        return kernels::EdgeFaceSet{Np, K, Nfp, Nface, Nfield, inverseMassMatrix.data(), faceMassMatrix.data(),
                                    faceToElement.data(), faceToNodeLocal.data(), faceToNodeAdjacent.data(),
                                    faceJacobian.data(), jacobian.data(), fluxLocal.data(), fluxAdjacent.data(),
                                    numericalFlux.data()};
    }
    std::vector<const mxArray*> inputs(int count) const {
        std::vector<const mxArray*> r;
        for (int i = 0; i < count; ++i) {
            r.push_back(arrays[static_cast<std::size_t>(i)].get());
        }
        return r;
    }
    // Bytes that must move at least: every input read once, rhs written once.
    double bytesPerCall(bool withNumericalFlux) const {
        const double face = static_cast<double>(Nfp * Nface), flux = face * static_cast<double>(Nfield);
        const double read = static_cast<double>(Np * Np + Nfp * Nfp + 2 * Nface) + 3.0 * face +
                            static_cast<double>(Np * K) + (withNumericalFlux ? 3.0 : 2.0) * flux;
        return 8.0 * (read + static_cast<double>(Np * K * Nfield));
    }
};

const EdgeCase& edgeCase(bool prisms) {
    static std::map<bool, EdgeCase> cases;
    auto found = cases.find(prisms);
    if (found != cases.end()) {
        return found->second;
    }
    EdgeCase c;
    c.Np = prisms ? 84 : 10;
    c.Nfp = prisms ? 28 : 4;
    c.K = prisms ? 20000 : 100000;
    c.Nface = c.K * 3 / 2;
    c.Nfield = 3;
    std::mt19937_64 rng(prisms ? 2 : 1);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (std::ptrdiff_t i = 0; i < c.Np * c.Np; ++i) {
        c.inverseMassMatrix.push_back((i % (c.Np + 1) == 0 ? 4.0 : 0.0) + 0.5 * u(rng));
    }
    for (std::ptrdiff_t i = 0; i < c.Nfp * c.Nfp; ++i) {
        c.faceMassMatrix.push_back((i % (c.Nfp + 1) == 0 ? 0.5 : 0.0) + 0.1 * u(rng));
    }
    for (std::ptrdiff_t f = 0; f < c.Nface; ++f) {
        // Faces sorted by their local element; the adjacent one is a neighbour
        // (triangles) or the element above (prisms, in columns of 3 layers).
        const std::ptrdiff_t eL = f * 2 / 3;
        const std::ptrdiff_t eA = prisms ? (eL + 1) % c.K : (eL + 1 + static_cast<std::ptrdiff_t>(rng() % 64)) % c.K;
        c.faceToElement.push_back(static_cast<double>(eL + 1));
        c.faceToElement.push_back(static_cast<double>(eA + 1));
        const std::ptrdiff_t side = static_cast<std::ptrdiff_t>(rng() % 3);
        for (std::ptrdiff_t m = 0; m < c.Nfp; ++m) {
            // Triangles: the nodes of one of three edges; prisms: bottom layer
            // of the local element, top layer of the adjacent one.
            const std::ptrdiff_t local = prisms ? m : (side * 3 + m) % c.Np;
            const std::ptrdiff_t adjacent = prisms ? c.Np - c.Nfp + m : (9 - side * 3 - m + c.Np) % c.Np;
            c.faceToNodeLocal.push_back(static_cast<double>(local + 1));
            c.faceToNodeAdjacent.push_back(static_cast<double>(adjacent + 1));
            c.faceJacobian.push_back(1.0 + 0.5 * u(rng));
        }
    }
    for (std::ptrdiff_t i = 0; i < c.Np * c.K; ++i) {
        c.jacobian.push_back(1.0 + 0.5 * u(rng));
    }
    for (std::ptrdiff_t i = 0; i < c.Nfp * c.Nface * c.Nfield; ++i) {
        c.fluxLocal.push_back(u(rng));
        c.fluxAdjacent.push_back(u(rng));
        c.numericalFlux.push_back(u(rng));
    }
    using kernel_host::doubleArray;
    const auto sz = [](std::ptrdiff_t n) { return static_cast<std::size_t>(n); };
    const std::vector<std::size_t> fluxDims = {sz(c.Nfp), sz(c.Nface), sz(c.Nfield)};
    c.arrays.push_back(doubleArray({sz(c.Np), sz(c.Np)}, c.inverseMassMatrix));
    c.arrays.push_back(doubleArray({sz(c.Nfp), sz(c.Nfp)}, c.faceMassMatrix));
    c.arrays.push_back(doubleArray({2, sz(c.Nface)}, c.faceToElement));
    c.arrays.push_back(doubleArray({sz(c.Nfp), sz(c.Nface)}, c.faceToNodeLocal));
    c.arrays.push_back(doubleArray({sz(c.Nfp), sz(c.Nface)}, c.faceToNodeAdjacent));
    c.arrays.push_back(doubleArray({sz(c.Nfp), sz(c.Nface)}, c.faceJacobian));
    c.arrays.push_back(doubleArray({sz(c.Np), sz(c.K)}, c.jacobian));
    c.arrays.push_back(doubleArray(fluxDims, c.fluxLocal));
    c.arrays.push_back(doubleArray(fluxDims, c.fluxAdjacent));
    c.arrays.push_back(doubleArray(fluxDims, c.numericalFlux));
    return cases.emplace(prisms, std::move(c)).first->second;
}

double processCpuSeconds() {
    rusage use;
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           1e-6 * static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec);
}

double threadCpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// CPU time of the timed loop over its wall time: cpuPerWall for the whole
// process, blasWorkersCpuPerWall for every thread but the calling one (the
// BLAS's worker threads; the modules start none).
struct ThreadUsage {
    double process0 = processCpuSeconds();
    double caller0 = threadCpuSeconds();
    std::chrono::steady_clock::time_point wall0 = std::chrono::steady_clock::now();
    void report(benchmark::State& state) const {
        const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall0;
        const double process = processCpuSeconds() - process0, caller = threadCpuSeconds() - caller0;
        state.counters["cpuPerWall"] = process / wall.count();
        state.counters["blasWorkersCpuPerWall"] = (process - caller) / wall.count();
        state.counters["blasThreads"] = openblas_get_num_threads();
    }
};

void moduleBenchmark(benchmark::State& state, const char* name, int inputs) {
    const EdgeCase& c = edgeCase(state.range(0) != 0);
    const kernel_host::Module module = kernel_host::Module::byName(name);
    const ThreadUsage usage;
    bench_support::runCalls(state, module, 1, c.inputs(inputs));
    usage.report(state);
    bench_support::reportTraffic(state, c.bytesPerCall(inputs == 10));
}

struct NumericalFluxJump {
    static constexpr bool readsNumericalFlux = true;
    static constexpr bool adjacentMirrorsLocal = false;
    template <class T>
    static void jumps(const T& fL, const T& fA, const T& fN, T& local, T& adjacent) {
        local = fL - fN;
        adjacent = fA - fN;
    }
};

// The inner-edge assembly before the frame had its own product: per face the
// weighted face mass matrix, per field the jumps, the two face vectors and the
// scatter; then dgemm on blocks of element columns (as many as fit 128 KiB and
// 2^18 multiply-adds), each block divided by the Jacobian.
void assembleWithDgemm(const kernels::EdgeFaceSet& s, double* rhs, std::vector<double>& work) {
    const std::ptrdiff_t Nfp = s.Nfp, Np = s.Np, pageEntries = s.Np * s.K;
    const std::ptrdiff_t columns =
        std::max<std::ptrdiff_t>(1, std::min<std::ptrdiff_t>(16384 / Np, (std::ptrdiff_t{1} << 18) / Np / Np));
    work.resize(static_cast<std::size_t>(Nfp * Nfp + 4 * Nfp + Np * columns));
    double *W = work.data(), *dL = W + Nfp * Nfp, *dA = dL + Nfp, *cL = dA + Nfp, *cA = cL + Nfp;
    double* product = cA + Nfp;
    std::vector<std::ptrdiff_t> nodes(static_cast<std::size_t>(2 * Nfp));
    for (std::ptrdiff_t f = 0; f < s.Nface; ++f) {
        const std::ptrdiff_t g0 = Nfp * f;
        for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
            nodes[r] = Np * kernels::toZeroBasedIndex(s.faceToElement[2 * f]) +
                       kernels::toZeroBasedIndex(s.faceToNodeLocal[g0 + r]);
            nodes[Nfp + r] = Np * kernels::toZeroBasedIndex(s.faceToElement[2 * f + 1]) +
                             kernels::toZeroBasedIndex(s.faceToNodeAdjacent[g0 + r]);
        }
        for (std::ptrdiff_t i = 0; i < Nfp * Nfp; ++i) {
            W[i] = s.faceMassMatrix[i] * s.faceJacobian[g0 + i / Nfp];
        }
        for (std::ptrdiff_t n = 0; n < s.Nfield; ++n) {
            const std::ptrdiff_t g = g0 + Nfp * s.Nface * n;
            for (std::ptrdiff_t m = 0; m < Nfp; ++m) {
                dL[m] = s.fluxLocal[g + m] - s.numericalFlux[g + m];
                dA[m] = s.fluxAdjacent[g + m] - s.numericalFlux[g + m];
            }
            std::fill(cL, cL + 2 * Nfp, 0.0);
            for (std::ptrdiff_t m = 0; m < Nfp; ++m) {
                for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
                    cL[r] += W[r + Nfp * m] * dL[m];
                    cA[r] -= W[r + Nfp * m] * dA[m];
                }
            }
            double* page = rhs + pageEntries * n;
            for (std::ptrdiff_t r = 0; r < Nfp; ++r) {
                page[nodes[r]] += cL[r];
                page[nodes[Nfp + r]] += cA[r];
            }
        }
    }
    const kernels::BlasInt ld = Np;
    const double one = 1.0, zero = 0.0;
    for (std::ptrdiff_t n = 0; n < s.Nfield; ++n) {
        for (std::ptrdiff_t k0 = 0; k0 < s.K; k0 += columns) {
            const kernels::BlasInt count = std::min(columns, s.K - k0);
            double* block = rhs + pageEntries * n + Np * k0;
            dgemm_("N", "N", &ld, &count, &ld, &one, s.inverseMassMatrix, &ld, block, &ld, &zero, product, &ld);
            for (std::ptrdiff_t i = 0; i < Np * count; ++i) {
                block[i] = product[i] / s.jacobian[Np * k0 + i];
            }
        }
    }
}

// The inner-edge assembly called directly: range(1) = 2, 4 or 8 the frame's
// own product with vectors of that many doubles, 0 the form with dgemm.
void assemblyFormBenchmark(benchmark::State& state) {
    const EdgeCase& c = edgeCase(state.range(0) != 0);
    const kernels::EdgeFaceSet set = c.set();
    const auto width = static_cast<kernels::EdgeVectors>(state.range(1));
    if (state.range(1) != 0 && !kernels::runsEdgeVectors(width)) {
        state.SkipWithError("this processor lacks these vectors");
        return;
    }
    std::vector<double> rhs(static_cast<std::size_t>(c.Np * c.K * c.Nfield));
    std::vector<char> block(kernels::edgeScratchBytes(set));
    const kernels::EdgeScratch scratch = kernels::carveEdgeScratch(set, block.data());
    std::vector<double> work;
    const ThreadUsage usage;
    for (auto _ : state) {
        std::fill(rhs.begin(), rhs.end(), 0.0);  // as the host's zero-filled output
        if (state.range(1) == 0) {
            assembleWithDgemm(set, rhs.data(), work);
        } else {
            kernels::assembleEdgeRhs<NumericalFluxJump>(set, rhs.data(), scratch, width);
        }
        benchmark::DoNotOptimize(rhs.data());
    }
    usage.report(state);
    bench_support::reportTraffic(state, c.bytesPerCall(true));
}

void BM_InnerEdgeStrongRhs(benchmark::State& state) {
    moduleBenchmark(state, "inner_edge_strong_rhs", 10);
}
void BM_BottomEdgeAlterRhs(benchmark::State& state) {
    moduleBenchmark(state, "bottom_edge_alter_rhs", 9);
}
void BM_BottomEdgeCentralRhs(benchmark::State& state) {
    moduleBenchmark(state, "bottom_edge_central_rhs", 9);
}

}  // namespace

// range(0): 0 triangles Np 10, 1 prisms Np 84.
BENCHMARK(BM_InnerEdgeStrongRhs)->ArgName("prisms")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BottomEdgeAlterRhs)->ArgName("prisms")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BottomEdgeCentralRhs)->ArgName("prisms")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(assemblyFormBenchmark)
    ->Name("BM_EdgeAssemblyForm")
    ->ArgNames({"prisms", "lanes"})
    ->ArgsProduct({{0, 1}, {0, 2, 4, 8}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
