// downwind_flux_2d through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "face_set.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("downwind_flux_2d");
    return m;
}

const double nan = std::numeric_limits<double>::quiet_NaN();

// The per-node inputs in call order.
enum Node { huL, hvL, huA, hvA, xL, xA, yL, yA, nx, ny };

struct Pair {
    double x;
    double y;
};

// The downwind fluxes of one node, written with the solver's branches.
Pair reference(const std::vector<double>& v) {
    const double qnL = v[huL] * v[nx] + v[hvL] * v[ny];
    const double qnA = v[huA] * v[nx] + v[hvA] * v[ny];
    if (qnL > 0 && qnA >= 0) {
        return Pair{v[xA] * v[nx], v[yA] * v[ny]};
    }
    if (qnL <= 0 && qnA < 0) {
        return Pair{v[xL] * v[nx], v[yL] * v[ny]};
    }
    return Pair{((v[xL] + v[xA]) * 0.5) * v[nx], ((v[yL] + v[yA]) * 0.5) * v[ny]};
}

struct Faces : FaceSet {
    Faces() : FaceSet(10) {}
    std::vector<ArrayPtr> inputs() const {
        std::vector<ArrayPtr> in;
        in.push_back(statusArray());
        in.push_back(faceArray());
        for (ArrayPtr& a : nodeArrays()) {
            in.push_back(std::move(a));
        }
        return in;
    }
};

CallResult call(const std::vector<ArrayPtr>& in, const std::string& failure = "") {
    return callWith(module(), 2, in, failure);
}

// Both outputs, checked for their shape.
std::pair<std::vector<double>, std::vector<double>> run(const Faces& faces) {
    CallResult r = call(faces.inputs());
    EXPECT_EQ(r.outputs.size(), 2u);
    for (const ArrayPtr& out : r.outputs) {
        EXPECT_EQ(kernel_host::dimensions(out.get()), (std::vector<std::size_t>{faces.Nfp, faces.Nface()}));
    }
    return {kernel_host::values(r.outputs[0].get()), kernel_host::values(r.outputs[1].get())};
}

TEST(DownwindFlux2d, RandomFacesMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> discharge(-2.0, 2.0), field(-10.0, 10.0);
    std::uniform_int_distribution<int> element(1, 30), oneIn(0, 5);
    Faces faces;
    faces.Nfp = 4;
    faces.status.assign(30, 4);
    faces.status[0] = 5;
    faces.status[9] = 7;
    faces.status[20] = 1;
    for (std::size_t f = 0; f < 400; ++f) {
        faces.faceToElement.push_back(element(rng));
        faces.faceToElement.push_back(element(rng));
        const bool stillAdjacent = oneIn(rng) == 0;  // reaches qnA = 0
        for (std::size_t n = 0; n < faces.Nfp; ++n) {
            const double angle = 3.0 * discharge(rng);
            const double values[10] = {discharge(rng),
                                       discharge(rng),
                                       stillAdjacent ? 0.0 : discharge(rng),
                                       stillAdjacent ? 0.0 : discharge(rng),
                                       field(rng),
                                       field(rng),
                                       field(rng),
                                       field(rng),
                                       std::cos(angle),
                                       std::sin(angle)};
            for (int a = 0; a < 10; ++a) {
                faces.node[a].push_back(values[a]);
            }
        }
    }
    const auto [X, Y] = run(faces);

    int branch[3] = {0, 0, 0}, skipped = 0, averageOrder = 0;
    for (std::size_t f = 0; f < faces.Nface(); ++f) {
        skipped += !faces.wet(f);
        for (std::size_t i = f * faces.Nfp; i < (f + 1) * faces.Nfp; ++i) {
            const std::vector<double> v = faces.at(i);
            const Pair want = faces.wet(f) ? reference(v) : Pair{0.0, 0.0};
            ASSERT_TRUE(sameDouble(X[i], want.x)) << "face " << f << " node " << i;
            ASSERT_TRUE(sameDouble(Y[i], want.y)) << "face " << f << " node " << i;
            const double qnL = v[huL] * v[nx] + v[hvL] * v[ny], qnA = v[huA] * v[nx] + v[hvA] * v[ny];
            const int side = qnL > 0 && qnA >= 0 ? 0 : (qnL <= 0 && qnA < 0 ? 1 : 2);
            if (faces.wet(f)) {
                ++branch[side];
                // Averaging the two products instead would differ on these data.
                averageOrder += side == 2 && X[i] != (v[xL] * v[nx] + v[xA] * v[nx]) * 0.5;
            }
        }
    }
    EXPECT_GT(skipped, 0);
    EXPECT_GT(branch[0], 0);
    EXPECT_GT(branch[1], 0);
    EXPECT_GT(branch[2], 0);
    EXPECT_GT(averageOrder, 0);
}

TEST(DownwindFlux2d, SideChoiceAtZeroAndNaNDischarges) {
    // Normal (0.6, 0.8); x-paired field 2 (local) and 3 (adjacent), y-paired
    // field 5 and 7. Discharges along the normal, so qn = 0.6 hu + 0.8 hv.
    auto node = [](double qnLocal, double qnAdjacent) {
        return std::vector<double>{qnLocal * 0.6, qnLocal * 0.8, qnAdjacent * 0.6, qnAdjacent * 0.8,
                                   2, 3, 5, 7, 0.6, 0.8};
    };
    Faces faces;
    const double cases[][2] = {{1, 0}, {0, -1}, {0, 0}, {1, -1}, {-1, 1}, {nan, -1}, {1, nan}, {1, 1}, {-1, -1}};
    for (const auto& c : cases) {
        faces.addFace(1, 2, node(c[0], c[1]));
    }
    const auto [X, Y] = run(faces);
    const Pair adjacent{3 * 0.6, 7 * 0.8}, local{2 * 0.6, 5 * 0.8};
    const Pair average{((2.0 + 3.0) * 0.5) * 0.6, ((5.0 + 7.0) * 0.5) * 0.8};
    const Pair expected[] = {adjacent, local, average, average, average, average, average, adjacent, local};
    const char* what[] = {"qnL > 0, qnA = 0",   "qnL = 0, qnA < 0", "both zero", "converging",      "diverging",
                          "NaN local discharge", "NaN adjacent",     "outflow",   "inflow"};
    for (std::size_t c = 0; c < 9; ++c) {
        EXPECT_TRUE(sameDouble(X[c], expected[c].x)) << what[c];
        EXPECT_TRUE(sameDouble(Y[c], expected[c].y)) << what[c];
    }

    // Equal values on both sides: (xL nx, yL ny) whichever way the flow runs.
    Faces same;
    for (const auto& c : cases) {
        std::vector<double> v = node(c[0], c[1]);
        v[xA] = v[xL];
        v[yA] = v[yL];
        same.addFace(1, 2, v);
    }
    const auto [sameX, sameY] = run(same);
    for (std::size_t c = 0; c < 9; ++c) {
        EXPECT_TRUE(sameDouble(sameX[c], local.x)) << what[c];
        EXPECT_TRUE(sameDouble(sameY[c], local.y)) << what[c];
    }
}

TEST(DownwindFlux2d, AverageSumsBothSidesBeforeHalving) {
    // Diverging flow with fields near the largest double: the sum overflows
    // before the halving, where halving each side first would not.
    const double big = 1.5e308;
    Faces faces;
    faces.addFace(1, 2, {-1, 0, 1, 0, big, big, -big, -big, 1, 1});
    const auto [X, Y] = run(faces);
    EXPECT_TRUE(sameDouble(X[0], ((big + big) * 0.5) * 1.0));
    EXPECT_TRUE(std::isinf(X[0]) && X[0] > 0);
    EXPECT_TRUE(std::isinf(Y[0]) && Y[0] < 0);
    EXPECT_TRUE(std::isfinite(big * 0.5 + big * 0.5));
}

TEST(DownwindFlux2d, OnlyFacesBetweenTwoWetElementsAreEvaluated) {
    Faces faces;
    faces.Nfp = 2;
    faces.status = {4, 5, 7, 0, 4, 127};
    const double pairs[][2] = {{1, 5}, {1, 2}, {3, 5}, {4, 1}, {5, 6}, {2, 3}, {5.7, 1.2}};
    const std::vector<double> v{1, 1, 1, 1, 2, 3, 5, 7, 0.6, 0.8};
    for (const auto& p : pairs) {
        faces.addFace(p[0], p[1], v);
    }
    const auto [X, Y] = run(faces);
    const Pair value = reference(v);
    std::vector<double> wantX(14, 0.0), wantY(14, 0.0);
    for (std::size_t i : {0, 1, 12, 13}) {
        wantX[i] = value.x;
        wantY[i] = value.y;
    }
    EXPECT_EQ(X, wantX);
    EXPECT_EQ(Y, wantY);
}

TEST(DownwindFlux2d, EmptyExtentsGiveEmptyOutputs) {
    Faces noFaces;
    EXPECT_TRUE(run(noFaces).first.empty());
    Faces noNodes;
    noNodes.Nfp = 0;
    noNodes.faceToElement = {1, 2, 2, 2};
    const auto [X, Y] = run(noNodes);
    EXPECT_TRUE(X.empty() && Y.empty());
}

TEST(DownwindFlux2d, RejectsInputsItWouldReadOutside) {
    Faces faces;
    faces.Nfp = 3;
    faces.status = {4, 4};
    faces.addFace(1, 2, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0});
    faces.addFace(2, 1, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0});
    for (double bad : {0.0, 3.0, nan, -std::numeric_limits<double>::infinity()}) {
        for (int entry : {0, 1, 2, 3}) {
            std::vector<ArrayPtr> in = faces.inputs();
            mxGetPr(in[1].get())[entry] = bad;
            call(in, "indexOutOfRange");
        }
    }
    std::vector<ArrayPtr> in = faces.inputs();
    in[0] = int8Array({1, 1}, {4});
    call(in, "indexOutOfRange");
    in = faces.inputs();
    in[1] = doubleArray({1, 2}, {1, 2});
    call(in, "tooFewElements");
    for (int a = 3; a < 12; ++a) {
        in = faces.inputs();
        in[a] = doubleArray({3, 1}, {1, 1, 1});
        call(in, "tooFewElements");
        in[a] = int8Array({3, 2});
        call(in, "notDouble");
    }
    in = faces.inputs();
    in[2] = kernel_host::sparseArray(3, 2, {0, 0, 0}, {}, {});
    call(in, "notDouble");
}

}  // namespace
