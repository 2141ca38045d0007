// mesh_connection through the stand-alone host, against a plain exhaustive scan
// of every pair of a local boundary face and an adjacent face.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;

namespace {

const Module& module() {
    static Module m = Module::byName("mesh_connection");
    return m;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// One mesh: extents and the column-major tables the module reads.
struct Mesh {
    std::size_t Nv = 0, Nf = 0, K = 0;
    std::vector<double> faceVertex;       // 2 x Nf
    std::vector<double> elementToVertex;  // Nv x K
    std::vector<double> elementToElement;  // Nf x K
    std::vector<double> elementToFace;     // Nf x K
};

const std::vector<double> kTriangleFaces = {1, 2, 2, 3, 3, 1};
const std::vector<double> kQuadFaces = {1, 2, 2, 3, 3, 4, 4, 1};

// Fills elementToElement and elementToFace by matching faces within the mesh;
// a face whose pair occurs only once is a boundary face, connected to itself.
void connectWithin(Mesh& m) {
    std::map<std::pair<long, long>, std::vector<std::size_t>> faces;
    for (std::size_t k = 0; k < m.K; ++k) {
        for (std::size_t j = 0; j < m.Nf; ++j) {
            const long a = std::lround(m.elementToVertex[m.Nv * k + std::size_t(m.faceVertex[2 * j]) - 1]);
            const long b = std::lround(m.elementToVertex[m.Nv * k + std::size_t(m.faceVertex[2 * j + 1]) - 1]);
            faces[{std::max(a, b), std::min(a, b)}].push_back(m.Nf * k + j);
        }
    }
    m.elementToElement.assign(m.Nf * m.K, 0.0);
    m.elementToFace.assign(m.Nf * m.K, 0.0);
    for (const auto& [key, list] : faces) {
        for (std::size_t f : list) {
            const std::size_t other = list.size() == 2 ? list[0] + list[1] - f : f;
            m.elementToElement[f] = double(other / m.Nf + 1);
            m.elementToFace[f] = double(other % m.Nf + 1);
        }
    }
}

// Cells (c, r) of an nx x ny grid of unit squares for which `keep` holds, as
// two triangles each (split by the diagonal) or as one quadrilateral. Vertex
// ids are global to the grid, so two parts of it share the ids on their cut.
template <class Keep>
Mesh gridMesh(int nx, int ny, bool quads, Keep keep) {
    Mesh m;
    m.Nv = quads ? 4 : 3;
    m.Nf = m.Nv;
    m.faceVertex = quads ? kQuadFaces : kTriangleFaces;
    auto id = [&](int c, int r) { return double(r * (nx + 1) + c + 1); };
    for (int r = 0; r < ny; ++r) {
        for (int c = 0; c < nx; ++c) {
            if (!keep(c, r)) {
                continue;
            }
            const double v00 = id(c, r), v10 = id(c + 1, r), v11 = id(c + 1, r + 1), v01 = id(c, r + 1);
            if (quads) {
                m.elementToVertex.insert(m.elementToVertex.end(), {v00, v10, v11, v01});
                m.K += 1;
            } else {
                m.elementToVertex.insert(m.elementToVertex.end(), {v00, v10, v11, v00, v11, v01});
                m.K += 2;
            }
        }
    }
    connectWithin(m);
    return m;
}

struct Outputs {
    std::vector<double> meshId, element, face;
};

// The connection as a plain exhaustive scan: every boundary face against every
// adjacent face, the last match kept.
Outputs exhaustiveScan(double localId, double adjacentId, const Mesh& L, const Mesh& A, std::size_t K2,
                       std::size_t Nf2) {
    Outputs o{std::vector<double>(L.Nf * L.K, localId), L.elementToElement, L.elementToFace};
    auto id = [](const Mesh& m, std::size_t k, std::size_t j, int end) {
        return std::trunc(m.elementToVertex[m.Nv * k + std::size_t(std::trunc(m.faceVertex[2 * j + end])) - 1]);
    };
    for (std::size_t k = 0; k < L.K; ++k) {
        for (std::size_t j = 0; j < L.Nf; ++j) {
            const std::size_t i = L.Nf * k + j;
            if (std::trunc(L.elementToElement[i]) - 1 != double(k)) {
                continue;
            }
            const double a = id(L, k, j, 0), b = id(L, k, j, 1);
            for (std::size_t k2 = 0; k2 < K2; ++k2) {
                for (std::size_t j2 = 0; j2 < Nf2; ++j2) {
                    const double a2 = id(A, k2, j2, 0), b2 = id(A, k2, j2, 1);
                    if (std::max(a, b) == std::max(a2, b2) && std::min(a, b) == std::min(a2, b2)) {
                        o.meshId[i] = adjacentId;
                        o.element[i] = double(k2 + 1);
                        o.face[i] = double(j2 + 1);
                    }
                }
            }
        }
    }
    return o;
}

// The module's call on two meshes, with the extents given as the scalars.
struct Call {
    double localId = 1, adjacentId = 2;
    double K, K2, Nf, Nf2;
    std::vector<ArrayPtr> inputs;

    Call(const Mesh& L, const Mesh& A)
        : K(double(L.K)), K2(double(A.K)), Nf(double(L.Nf)), Nf2(double(A.Nf)) {
        inputs.push_back(doubleArray({2, L.Nf}, L.faceVertex));
        inputs.push_back(doubleArray({2, A.Nf}, A.faceVertex));
        inputs.push_back(doubleArray({L.Nv, L.K}, L.elementToVertex));
        inputs.push_back(doubleArray({A.Nv, A.K}, A.elementToVertex));
        inputs.push_back(doubleArray({0, 0}));
        inputs.push_back(doubleArray({L.Nf, L.K}, L.elementToElement));
        inputs.push_back(doubleArray({L.Nf, L.K}, L.elementToFace));
    }
    ArrayPtr& input(int position) { return inputs[position - 6]; }

    CallResult run(const std::string& failure = "") {
        ArrayPtr s[6] = {doubleScalar(localId), doubleScalar(adjacentId), doubleScalar(K),
                         doubleScalar(K2),      doubleScalar(Nf),         doubleScalar(Nf2)};
        std::vector<const mxArray*> raw;
        for (const ArrayPtr& a : s) {
            raw.push_back(a.get());
        }
        for (const ArrayPtr& a : inputs) {
            raw.push_back(a.get());
        }
        kernel_host::takeConsole();
        CallResult r = module().call(3, raw);
        if (failure.empty()) {
            EXPECT_TRUE(r.ok) << r.identifier << ": " << r.message;
        } else {
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.identifier, "mesh_connection:" + failure) << r.message;
        }
        return r;
    }
};

// Runs the module and checks all three outputs, shape and bits, against the
// exhaustive scan; returns the number of faces connected to the adjacent mesh.
std::size_t expectScanResult(const Mesh& L, const Mesh& A, double localId = 1, double adjacentId = 2) {
    Call call(L, A);
    call.localId = localId;
    call.adjacentId = adjacentId;
    CallResult r = call.run();
    if (!r.ok) {
        return 0;
    }
    const Outputs o = exhaustiveScan(localId, adjacentId, L, A, A.K, A.Nf);
    const std::vector<std::size_t> dims{L.Nf, L.K};
    for (int out = 0; out < 3; ++out) {
        EXPECT_EQ(kernel_host::dimensions(r.outputs[out].get()), dims);
    }
    expectValues(r.outputs[0].get(), o.meshId);
    expectValues(r.outputs[1].get(), o.element);
    expectValues(r.outputs[2].get(), o.face);
    return std::size_t(std::count(o.meshId.begin(), o.meshId.end(), adjacentId));
}

TEST(MeshConnection, RectangleCutAlongALineMatchesTheScan) {
    // A 12 x 7 rectangle cut at x = 5, and cut along a staircase.
    auto left = [](int c, int) { return c < 5; };
    auto right = [](int c, int) { return c >= 5; };
    EXPECT_EQ(expectScanResult(gridMesh(12, 7, false, left), gridMesh(12, 7, false, right)), 7u);
    EXPECT_EQ(expectScanResult(gridMesh(12, 7, false, right), gridMesh(12, 7, false, left), -3.5, 0.25), 7u);
    auto below = [](int c, int r) { return c + r < 9; };
    auto above = [](int c, int r) { return c + r >= 9; };
    EXPECT_GT(expectScanResult(gridMesh(12, 7, false, below), gridMesh(12, 7, false, above)), 7u);
    // Meshes that do not touch connect nothing.
    EXPECT_EQ(expectScanResult(gridMesh(12, 7, false, [](int c, int) { return c < 3; }), gridMesh(12, 7, false, right)),
              0u);
}

TEST(MeshConnection, QuadrilateralsAndMixedElementShapes) {
    auto left = [](int c, int) { return c < 4; };
    auto right = [](int c, int) { return c >= 4; };
    EXPECT_EQ(expectScanResult(gridMesh(9, 6, true, left), gridMesh(9, 6, true, right)), 6u);
    // Triangles against quadrilaterals: Nf, Nf2 and Nv, Nv2 differ.
    EXPECT_EQ(expectScanResult(gridMesh(9, 6, false, left), gridMesh(9, 6, true, right)), 6u);
    EXPECT_EQ(expectScanResult(gridMesh(9, 6, true, right), gridMesh(9, 6, false, left)), 6u);
}

TEST(MeshConnection, RandomMeshesWithRepeatedPairsKeepTheLastMatch) {
    std::mt19937_64 rng(11);
    std::size_t repeatedMatches = 0;
    for (int trial = 0; trial < 41; ++trial) {
        // The last trial is large, with many distinct pairs: the index probes.
        const int ids = trial < 40 ? 6 : 400;
        auto meshOf = [&](std::size_t Nv, std::size_t Nf, std::size_t K) {
            Mesh m;
            m.Nv = Nv, m.Nf = Nf, m.K = K;
            std::uniform_int_distribution<int> number(1, int(Nv));
            for (std::size_t n = 0; n < 2 * Nf; ++n) {
                m.faceVertex.push_back(number(rng) + 0.5 * (n % 2));
            }
            // Few distinct ids, some negative or fractional: many repeated pairs.
            std::uniform_int_distribution<int> id(-3, ids);
            for (std::size_t n = 0; n < Nv * K; ++n) {
                m.elementToVertex.push_back(id(rng) + (n % 3 == 0 ? 0.75 : 0.0));
            }
            std::uniform_int_distribution<int> other(0, 5);
            for (std::size_t n = 0; n < Nf * K; ++n) {
                const double self = double(n / Nf + 1);
                const double choice[] = {self, self + 0.5, self + 1.0, double(other(rng) + 1), 9.0, -self};
                m.elementToElement.push_back(choice[other(rng)]);
                m.elementToFace.push_back(double(n % Nf + 1) + 0.25);
            }
            return m;
        };
        const Mesh L = trial < 40 ? meshOf(3 + trial % 3, 2 + trial % 4, 1 + trial % 9) : meshOf(4, 4, 1000);
        const Mesh A = trial < 40 ? meshOf(2 + trial % 4, 1 + trial % 5, trial % 11) : meshOf(3, 3, 3000);
        expectScanResult(L, A, 1, 7);
        // Boundary faces with more than one matching adjacent face.
        for (std::size_t k = 0; trial < 40 && k < L.K; ++k) {
            for (std::size_t j = 0; j < L.Nf; ++j) {
                if (std::trunc(L.elementToElement[L.Nf * k + j]) != double(k + 1)) {
                    continue;
                }
                Mesh face = L;
                face.K = 1;
                face.elementToVertex.assign(L.elementToVertex.begin() + L.Nv * k,
                                            L.elementToVertex.begin() + L.Nv * (k + 1));
                face.elementToElement.assign(L.Nf, 1.0);
                std::size_t matches = 0;
                for (std::size_t k2 = 0; k2 < A.K; ++k2) {
                    for (std::size_t j2 = 0; j2 < A.Nf; ++j2) {
                        Mesh one = A;
                        one.elementToVertex.assign(A.elementToVertex.begin() + A.Nv * k2,
                                                   A.elementToVertex.begin() + A.Nv * (k2 + 1));
                        one.faceVertex.assign(A.faceVertex.begin() + 2 * j2, A.faceVertex.begin() + 2 * j2 + 2);
                        matches += exhaustiveScan(1, 7, face, one, 1, 1).meshId[j] == 7;
                    }
                }
                repeatedMatches += matches > 1;
            }
        }
    }
    EXPECT_GT(repeatedMatches, 10u);
}

TEST(MeshConnection, CompactAndSpreadVertexIdsGiveTheScanResult) {
    // Every local face on the boundary, against the whole grid: vertex ids
    // numbered compactly go through the buckets, the same ids spread apart
    // through the hash table.
    Mesh L = gridMesh(30, 20, false, [](int c, int) { return c < 12; });
    for (std::size_t i = 0; i < L.Nf * L.K; ++i) {
        L.elementToElement[i] = double(i / L.Nf + 1);
    }
    Mesh A = gridMesh(30, 20, false, [](int, int) { return true; });
    const std::size_t connected = expectScanResult(L, A);
    EXPECT_EQ(connected, L.Nf * L.K);
    for (Mesh* m : {&L, &A}) {
        for (double& v : m->elementToVertex) {
            v = v * 65537.0 - 1e6;
        }
    }
    EXPECT_EQ(expectScanResult(L, A), connected);
}

TEST(MeshConnection, LastMatchReversedPairsAndTruncatedIds) {
    // One local triangle (ids 7, 3, 5), all faces on the boundary. The adjacent
    // mesh carries (7, 3) reversed as (3.9, 7.6) in element 1 and as (3, 7) in
    // element 2, (3, 5) twice in element 3, and (5, 7) nowhere.
    Mesh L;
    L.Nv = 3, L.Nf = 3, L.K = 1;
    L.faceVertex = kTriangleFaces;
    L.elementToVertex = {7.0, 3.0, 5.0};
    L.elementToElement = {1, 1, 1.999};
    L.elementToFace = {1, 2, 3};
    Mesh A;
    A.Nv = 3, A.Nf = 3, A.K = 3;
    A.faceVertex = kTriangleFaces;
    A.elementToVertex = {3.9, 7.6, 1, /**/ 8, 3, 7, /**/ 3, 5, 3.2};
    Call call(L, A);
    CallResult r = call.run();
    expectValues(r.outputs[0].get(), {2, 2, 1});
    expectValues(r.outputs[1].get(), {2, 3, 1.999});
    expectValues(r.outputs[2].get(), {2, 2, 3});
    expectScanResult(L, A);
}

TEST(MeshConnection, SelfAdjacencyConnectsEveryBoundaryFace) {
    const Mesh m = gridMesh(5, 4, false, [](int c, int r) { return c != 2 || r != 1; });
    Call call(m, m);
    CallResult r = call.run();
    const std::vector<double> meshId = kernel_host::values(r.outputs[0].get());
    for (std::size_t i = 0; i < meshId.size(); ++i) {
        const bool boundary = m.elementToElement[i] == double(i / m.Nf + 1);
        EXPECT_EQ(meshId[i], boundary ? 2.0 : 1.0) << "face " << i;
    }
    expectScanResult(m, m);
}

TEST(MeshConnection, EmptyAdjacentMeshOrNoBoundaryLeavesFacesUnconnected) {
    const Mesh L = gridMesh(4, 3, false, [](int c, int) { return c < 2; });
    const Mesh A = gridMesh(4, 3, false, [](int c, int) { return c >= 2; });
    for (int emptied = 0; emptied < 2; ++emptied) {
        Call call(L, A);
        (emptied == 0 ? call.K2 : call.Nf2) = 0;
        CallResult r = call.run();
        expectValues(r.outputs[0].get(), std::vector<double>(L.Nf * L.K, 1.0));
        expectValues(r.outputs[1].get(), L.elementToElement);
        expectValues(r.outputs[2].get(), L.elementToFace);
    }
    // An empty adjacent mesh with empty arrays, and an empty local mesh.
    Mesh none = A;
    none.K = 0, none.Nv = 0;
    none.elementToVertex.clear();
    expectScanResult(L, none);
    Mesh noLocal = L;
    noLocal.K = 0;
    noLocal.elementToVertex.clear(), noLocal.elementToElement.clear(), noLocal.elementToFace.clear();
    expectScanResult(noLocal, A);

    // Without a local boundary face the adjacent mesh is not read at all.
    Mesh interior = L;
    for (std::size_t i = 0; i < interior.elementToElement.size(); ++i) {
        interior.elementToElement[i] = double(i / L.Nf + 2);
    }
    Mesh unread = A;
    std::fill(unread.elementToVertex.begin(), unread.elementToVertex.end(), kNaN);
    Call call(interior, unread);
    CallResult r = call.run();
    expectValues(r.outputs[1].get(), interior.elementToElement);
}

TEST(MeshConnection, OwnElementIsTheTruncatedNeighbourAndOtherFacesAreCopied) {
    // Elements of one face each, all with the pair (10, 20) that the adjacent
    // mesh also has: only the faces whose neighbour truncates to their own
    // element n connect.
    struct Entry {
        double value;
        bool own;
    };
    auto entryOf = [](double n) -> std::vector<Entry> {
        return {{n, true},
                {n + 0.999, true},
                {std::nextafter(n + 1.0, 0.0), true},
                {n + 1.0, false},
                {std::nextafter(n, 0.0), false},
                {n - 1.0, false},
                {-n, false},
                {-0.5, false},
                {kNaN, false},
                {kInf, false},
                {-kInf, false},
                {1e300, false}};
    };
    const std::size_t K = entryOf(1).size();
    Mesh L;
    L.Nv = 2, L.Nf = 1, L.K = K;
    L.faceVertex = {1, 2};
    std::vector<bool> own;
    for (std::size_t k = 0; k < K; ++k) {
        const Entry e = entryOf(double(k + 1))[k];
        L.elementToVertex.insert(L.elementToVertex.end(), {10.0, 20.0});
        L.elementToElement.push_back(e.value);
        L.elementToFace.push_back(k % 2 ? kNaN : -0.0);
        own.push_back(e.own);
    }
    Mesh A = L;
    A.K = 1;
    A.elementToVertex = {20.4, 10.9};
    Call call(L, A);
    CallResult r = call.run();
    const std::vector<double> meshId = kernel_host::values(r.outputs[0].get());
    for (std::size_t k = 0; k < K; ++k) {
        EXPECT_EQ(meshId[k], own[k] ? 2.0 : 1.0) << "neighbour " << L.elementToElement[k] << " of element " << k + 1;
    }
    expectScanResult(L, A);
}

TEST(MeshConnection, RejectsInputsItWouldReadOutside) {
    const Mesh L = gridMesh(3, 2, false, [](int c, int) { return c < 2; });
    const Mesh A = gridMesh(3, 2, false, [](int c, int) { return c >= 2; });
    auto expectFailure = [&](auto change, const std::string& id, const std::string& named) {
        Call call(L, A);
        change(call);
        CallResult r = call.run(id);
        EXPECT_NE(r.message.find(named), std::string::npos) << r.message;
    };
    expectFailure([](Call& c) { c.K = -1; }, "invalidExtent", "elementCount");
    expectFailure([](Call& c) { c.K2 = kNaN; }, "invalidExtent", "adjacentElementCount");
    expectFailure([](Call& c) { c.Nf = kInf; }, "invalidExtent", "facesPerElement");
    expectFailure([](Call& c) { c.Nf2 = -0.5; }, "invalidExtent", "adjacentFacesPerElement");
    expectFailure([](Call& c) { c.Nf = 4; }, "tooFewElements", "faceVertexIndex");
    expectFailure([](Call& c) { c.Nf2 = 4; }, "tooFewElements", "adjacentFaceVertexIndex");
    expectFailure([](Call& c) { c.K += 1; }, "tooFewElements", "elementToVertex");
    expectFailure([](Call& c) { c.K2 += 1; }, "tooFewElements", "adjacentElementToVertex");
    expectFailure([&](Call& c) { c.input(11) = doubleArray({L.Nf, L.K - 1}); }, "tooFewElements", "elementToElement");
    expectFailure([&](Call& c) { c.input(12) = doubleArray({1, 2}); }, "tooFewElements", "elementToFace");
    expectFailure([&](Call& c) { c.input(8) = kernel_host::numericArray(mxSINGLE_CLASS, {3, L.K}); }, "notDouble",
                  "elementToVertex");
    expectFailure([&](Call& c) { c.input(12) = kernel_host::numericArray(mxINT32_CLASS, {L.Nf, L.K}); },
                  "notDouble", "elementToFace");
    expectFailure([](Call& c) { mxGetPr(c.input(6).get())[3] = 3.5 + 0.5; }, "indexOutOfRange", "faceVertexIndex");
    expectFailure([](Call& c) { mxGetPr(c.input(7).get())[0] = 0.999; }, "indexOutOfRange",
                  "adjacentFaceVertexIndex");
    expectFailure([](Call& c) { mxGetPr(c.input(8).get())[0] = kNaN; }, "invalidVertexId", "elementToVertex");
    expectFailure([](Call& c) { mxGetPr(c.input(9).get())[1] = 2147483648.0; }, "invalidVertexId",
                  "adjacentElementToVertex");

    // Ids that fit in 32 bits once truncated are fine, as is input 10 of any
    // class, and anything in inputs 11 and 12.
    Call edge(L, A);
    mxGetPr(edge.input(8).get())[0] = 2147483647.9;
    mxGetPr(edge.input(9).get())[0] = -2147483648.9;
    edge.input(10) = kernel_host::numericArray(mxINT8_CLASS, {1, 1});
    edge.run();

    // A vertex that ends no face is never read: a fourth row of NaN ids in the
    // adjacent mesh is accepted, while a bad id on a face end still fails.
    Mesh wide = A;
    wide.Nv = 4;
    wide.elementToVertex.clear();
    for (std::size_t k = 0; k < A.K; ++k) {
        wide.elementToVertex.insert(wide.elementToVertex.end(), A.elementToVertex.begin() + 3 * k,
                                    A.elementToVertex.begin() + 3 * k + 3);
        wide.elementToVertex.push_back(kNaN);
    }
    EXPECT_EQ(expectScanResult(L, wide), 2u);
    wide.elementToVertex[4 * (A.K - 1) + 2] = -kInf;
    Call badEnd(L, wide);
    badEnd.run("invalidVertexId");

    // Wrong counts print the diagnostics and fail.
    Call counts(L, A);
    std::vector<const mxArray*> twelve;
    for (int n = 0; n < 12; ++n) {
        twelve.push_back(counts.inputs[0].get());
    }
    kernel_host::takeConsole();
    CallResult r = module().call(1, twelve);
    EXPECT_EQ(r.identifier, "mesh_connection:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:mesh_connection.cpp:InvalidNumberInput,\n13 inputs required.\n"
                                          "Matlab:mesh_connection.cpp:InvalidNumberOutput,\n");
}

}  // namespace
