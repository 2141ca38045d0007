// upwind_flux_2d through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "face_set.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("upwind_flux_2d");
    return m;
}

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// The per-node inputs in call order.
enum Node { hL, huL, hvL, qL, hA, huA, hvA, qA, nx, ny };

// The upwind flux of one node, written with the solver's branches.
double reference(const double* v) {
    const double qnL = v[huL] * v[nx] + v[hvL] * v[ny];
    const double qnA = v[huA] * v[nx] + v[hvA] * v[ny];
    if (qnL > 0 && qnA >= 0) {
        return (v[qL] * qnL) / v[hL];
    }
    if (qnL <= 0 && qnA < 0) {
        return (v[qA] * qnA) / v[hA];
    }
    return (((v[qL] * v[huL]) / v[hL] + (v[qA] * v[huA]) / v[hA]) * v[nx]) * 0.5 +
           (((v[qL] * v[hvL]) / v[hL] + (v[qA] * v[hvA]) / v[hA]) * v[ny]) * 0.5;
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
    return callWith(module(), 1, in, failure);
}

std::vector<double> run(const Faces& faces) {
    CallResult r = call(faces.inputs());
    EXPECT_EQ(r.outputs.size(), 1u);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{faces.Nfp, faces.Nface()}));
    return kernel_host::values(r.outputs[0].get());
}

TEST(UpwindFlux2d, RandomFacesMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> depth(0.01, 3.0), discharge(-2.0, 2.0), scalar(-1.0, 1.0);
    std::uniform_int_distribution<int> element(1, 40), oneIn(0, 5);
    Faces faces;
    faces.Nfp = 3;
    faces.status.assign(40, 4);
    faces.status[3] = 5;
    faces.status[17] = 7;
    for (std::size_t f = 0; f < 500; ++f) {
        faces.faceToElement.push_back(element(rng));
        faces.faceToElement.push_back(element(rng));
        const bool stillAdjacent = oneIn(rng) == 0;  // reaches qnA = 0
        for (std::size_t n = 0; n < faces.Nfp; ++n) {
            const double angle = 3.0 * discharge(rng);
            const double values[10] = {depth(rng),
                                       discharge(rng),
                                       discharge(rng),
                                       scalar(rng),
                                       depth(rng),
                                       stillAdjacent ? 0.0 : discharge(rng),
                                       stillAdjacent ? 0.0 : discharge(rng),
                                       scalar(rng),
                                       std::cos(angle),
                                       std::sin(angle)};
            for (int a = 0; a < 10; ++a) {
                faces.node[a].push_back(values[a]);
            }
        }
    }
    const std::vector<double> out = run(faces);

    int branch[3] = {0, 0, 0}, skipped = 0;
    int quotientOrder = 0, sumBeforeNormal = 0, oneSidedAverage = 0, upwindOrder = 0;
    for (std::size_t f = 0; f < faces.Nface(); ++f) {
        const bool wet = faces.wet(f);
        skipped += !wet;
        for (std::size_t i = f * faces.Nfp; i < (f + 1) * faces.Nfp; ++i) {
            const std::vector<double> v = faces.at(i);
            ASSERT_TRUE(sameDouble(out[i], wet ? reference(v.data()) : 0.0)) << "face " << f << " node " << i;
            const double qnL = v[huL] * v[nx] + v[hvL] * v[ny], qnA = v[huA] * v[nx] + v[hvA] * v[ny];
            const int side = qnL > 0 && qnA >= 0 ? 0 : (qnL <= 0 && qnA < 0 ? 1 : 2);
            if (!wet) {
                continue;
            }
            ++branch[side];
            // Other groupings that the data would tell apart, on the nodes of
            // the branch that uses them.
            if (side == 0) {
                upwindOrder += (v[qL] * qnL) / v[hL] != v[qL] * (qnL / v[hL]);
            } else if (side == 2) {
                quotientOrder += (v[qL] * v[huL]) / v[hL] != v[qL] * (v[huL] / v[hL]);
                sumBeforeNormal += ((v[qL] * v[huL]) / v[hL] + (v[qA] * v[huA]) / v[hA]) * v[nx] !=
                                   ((v[qL] * v[huL]) / v[hL]) * v[nx] + ((v[qA] * v[huA]) / v[hA]) * v[nx];
                oneSidedAverage += out[i] != ((v[qL] * qnL) / v[hL] + (v[qA] * qnA) / v[hA]) * 0.5;
            }
        }
    }
    EXPECT_GT(skipped, 0);
    EXPECT_GT(branch[0], 0);
    EXPECT_GT(branch[1], 0);
    EXPECT_GT(branch[2], 0);
    EXPECT_GT(quotientOrder, 0);
    EXPECT_GT(sumBeforeNormal, 0);
    EXPECT_GT(oneSidedAverage, 0);
    EXPECT_GT(upwindOrder, 0);
}

TEST(UpwindFlux2d, SideChoiceAtZeroAndNaNDischarges) {
    // Normal (1, 0), so qn is hu. Local side q = 3, h = 2; adjacent q = 5, h = 4.
    auto node = [](double huLocal, double huAdjacent) {
        return std::vector<double>{2, huLocal, 1, 3, 4, huAdjacent, 7, 5, 1, 0};
    };
    Faces faces;
    const double cases[][2] = {{2, 0}, {0, -2}, {2, -2}, {-2, 2}, {nan, -2}, {2, nan}, {-2, -2}, {2, 2}};
    for (const auto& c : cases) {
        faces.addFace(1, 2, node(c[0], c[1]));
    }
    // Both normal discharges zero (1 - 1 on each side, normal (1, 1)): the
    // one-sided values are -0.0 (q = -1), the central formula gives +0.0.
    faces.addFace(1, 2, {1, 1, -1, -1, 1, 1, -1, -1, 1, 1});
    const std::vector<double> out = run(faces);
    auto central = [](double huLocal, double huAdjacent) { return ((3 * huLocal) / 2 + (5 * huAdjacent) / 4) * 0.5; };
    EXPECT_TRUE(sameDouble(out[0], (3 * 2.0) / 2)) << "qnL > 0, qnA = 0: local side";
    EXPECT_NE(out[0], central(2, 0));
    EXPECT_TRUE(sameDouble(out[1], (5 * -2.0) / 4)) << "qnL = 0, qnA < 0: adjacent side";
    EXPECT_NE(out[1], central(0, -2));
    EXPECT_TRUE(sameDouble(out[2], central(2, -2))) << "converging: central";
    EXPECT_TRUE(sameDouble(out[3], central(-2, 2))) << "diverging: central";
    // A NaN discharge takes the central formula, which carries the NaN; the
    // one-sided value of the other side would have been finite.
    EXPECT_TRUE(std::isnan(out[4])) << "NaN local discharge";
    EXPECT_TRUE(std::isnan(out[5])) << "NaN adjacent discharge";
    EXPECT_TRUE(sameDouble(out[6], (5 * -2.0) / 4));
    EXPECT_TRUE(sameDouble(out[7], (3 * 2.0) / 2));
    EXPECT_TRUE(sameDouble(out[8], 0.0)) << "both zero: central";
    EXPECT_TRUE(sameDouble((-1 * (1.0 * 1 + -1.0 * 1)) / 1, -0.0));

    // Identical sides: the upwind value is q*qn/h whichever way the flow runs.
    Faces same;
    same.addFace(1, 2, {2, 3, 1, 5, 2, 3, 1, 5, 0.6, 0.8});
    same.addFace(2, 1, {2, -3, -1, 5, 2, -3, -1, 5, 0.6, 0.8});
    const std::vector<double> sameOut = run(same);
    EXPECT_TRUE(sameDouble(sameOut[0], (5 * (3 * 0.6 + 1 * 0.8)) / 2));
    EXPECT_TRUE(sameDouble(sameOut[1], (5 * (-3 * 0.6 + -1 * 0.8)) / 2));
}

TEST(UpwindFlux2d, CentralFormulaHalvesEachTermBeforeTheSum) {
    // Converging flow (qnL = 2, qnA = -2) with both terms at the largest
    // doubles: halving the sum of the terms instead of each term would
    // overflow to infinity.
    const double big = 1.5e308;
    Faces faces;
    faces.faceToElement = {1, 2};
    faces.node = {{1}, {1}, {1}, {big}, {1}, {-1}, {-1}, {0}, {1}, {1}};
    const std::vector<double> out = run(faces);
    EXPECT_TRUE(sameDouble(out[0], ((big + -0.0) * 1) * 0.5 + ((big + -0.0) * 1) * 0.5));
    EXPECT_TRUE(sameDouble(out[0], big));
    EXPECT_TRUE(std::isinf((big * 1 + big * 1) * 0.5));
}

TEST(UpwindFlux2d, OnlyFacesBetweenTwoWetElementsAreEvaluated) {
    Faces faces;
    faces.Nfp = 2;
    faces.status = {4, 5, 7, 0, -4, 4, 6};
    // (1,6) wet-wet; then Dry, PressureFree, codes 0, -4, 6 on either side; two
    // non-wet; then wet-wet again, with the indices written as 1.9 and 6.5.
    const double pairs[][2] = {{1, 6}, {1, 2}, {3, 1}, {6, 4}, {5, 6}, {1, 7}, {2, 3}, {1.9, 6.5}};
    const std::vector<double> v{2, 1, 1, 3, 2, 1, 1, 3, 0.6, 0.8};
    for (const auto& p : pairs) {
        faces.addFace(p[0], p[1], v);
    }
    const std::vector<double> out = run(faces);
    const double value = reference(v.data());
    ASSERT_NE(value, 0.0);
    const std::vector<double> expected{value, value, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, value, value};
    EXPECT_EQ(out, expected);
}

TEST(UpwindFlux2d, EmptyExtentsGiveEmptyOutputs) {
    Faces noFaces;
    EXPECT_TRUE(run(noFaces).empty());
    Faces noNodes;
    noNodes.Nfp = 0;
    noNodes.faceToElement = {1, 2, 2, 1};
    EXPECT_TRUE(run(noNodes).empty());
}

TEST(UpwindFlux2d, RejectsInputsItWouldReadOutside) {
    Faces faces;
    faces.Nfp = 2;
    faces.status = {4, 4, 4};
    faces.addFace(1, 2, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0});
    faces.addFace(3, 2, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0});

    for (double bad : {0.0, 0.99, 4.0, -1.0, nan, inf, 1e300}) {
        for (int entry : {0, 1, 2, 3}) {  // both rows of both faces
            std::vector<ArrayPtr> in = faces.inputs();
            mxGetPr(in[1].get())[entry] = bad;
            CallResult r = call(in, "indexOutOfRange");
            EXPECT_NE(r.message.find("faceToElement"), std::string::npos) << r.message;
        }
    }
    std::vector<ArrayPtr> in = faces.inputs();
    mxGetPr(in[1].get())[3] = 3.999;  // truncates to 3 = K
    call(in);

    in = faces.inputs();
    in[0] = int8Array({1, 2}, {4, 4});  // K = 2, face 2 names element 3
    call(in, "indexOutOfRange");
    in[0] = kernel_host::sparseArray(3, 1, {0, 0}, {}, {});
    call(in, "tooFewBytes");

    in = faces.inputs();
    in[1] = doubleArray({2, 1}, {1, 2});  // one face for two
    CallResult r = call(in, "tooFewElements");
    EXPECT_NE(r.message.find("faceToElement"), std::string::npos) << r.message;
    in[1] = int8Array({2, 2}, {1, 2, 3, 2});
    call(in, "notDouble");

    for (int a = 3; a < 12; ++a) {  // every per-node input after the one giving the extents
        in = faces.inputs();
        in[a] = doubleArray({2, 1}, {1, 1});
        r = call(in, "tooFewElements");
        EXPECT_NE(r.message.find("Nfp*Nface"), std::string::npos) << r.message;
        in[a] = kernel_host::numericArray(mxSINGLE_CLASS, {2, 2});
        call(in, "notDouble");
    }
    in = faces.inputs();
    in[2] = int8Array({2, 2});
    call(in, "notDouble");
}

}  // namespace
