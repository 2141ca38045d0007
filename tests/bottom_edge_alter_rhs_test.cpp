// bottom_edge_alter_rhs through the stand-alone host.
#include <cmath>

#include "edge_rhs_reference.hpp"

using namespace test_support;
using namespace edge_reference;

namespace {

const Module& module() {
    static Module m = Module::byName("bottom_edge_alter_rhs");
    return m;
}

// Every entry the negative of the other's (a zero matches a zero of either sign).
void expectNegated(const mxArray* got, const mxArray* other) {
    const std::vector<double> a = kernel_host::values(got), b = kernel_host::values(other);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i], -b[i]) << i;
    }
}

TEST(BottomEdgeAlterRhs, RandomFacesMatchTheReferenceBitForBit) {
    for (auto [Nfp, Np] : {std::pair<std::size_t, std::size_t>{3, 6}, {33, 40}}) {  // stack and host scratch
        const EdgeInputs c = randomCase(Np, 30, Nfp, 45, 3, 17 + static_cast<unsigned>(Nfp));
        CallResult r = run(module(), c, Jump::Alternating);
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Np, 30, 3}));
        expectValues(r.outputs[0].get(), reference(c, Jump::Alternating));
    }
}

TEST(BottomEdgeAlterRhs, SwappingTheFluxesFlipsTheSign) {
    EdgeInputs c = randomCase(10, 20, 4, 30, 2, 8);
    std::mt19937_64 rng(4);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (double& v : c.inverseMassMatrix) {
        v += 0.3 * u(rng);
    }
    CallResult r = run(module(), c, Jump::Alternating);
    std::swap(c.fluxLocal, c.fluxAdjacent);
    CallResult swapped = run(module(), c, Jump::Alternating);
    expectNegated(swapped.outputs[0].get(), r.outputs[0].get());
}

TEST(BottomEdgeAlterRhs, BothSidesReceiveTheSameFaceVector) {
    SmallMesh c;
    c.twoDimensionalFlux = true;
    c.faceToNodeAdjacent = c.faceToNodeLocal;   // same node numbers on both sides
    c.jacobian = {2, 2, 2, 2, 2, 2, 8, 8, 8};   // equal Jacobian columns
    CallResult r = run(module(), c, Jump::Alternating);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{3, 3}));
    const std::vector<double> v = faceVector(c, 0, 3 - -1, 1 - 5);  // fluxLocal - fluxAdjacent
    const std::vector<double> column = elementColumn(c, 0, {v[0], v[1], 0});
    expectValues(r.outputs[0].get(), concat({column, column, {0, 0, 0}}));
}

TEST(BottomEdgeAlterRhs, SameElementOnBothSidesTwoFacesIntoOneNodeFractionalIndices) {
    SmallMesh c;
    c.Nface = 2;
    c.faceToElement = {2.5, 2.0, 3.9, 1.2};
    c.faceToNodeLocal = {1, 2.7, 3, 3.01};
    c.faceToNodeAdjacent = {2.2, 1, 1, 1.99};
    c.faceJacobian = {2, 4, 0.5, 1};
    c.fluxLocal = {3, 1, 2, -2};
    c.fluxAdjacent = {-1, 5, 4, 6};
    CallResult r = run(module(), c, Jump::Alternating);
    const std::vector<double> a = faceVector(c, 0, 4, -4), b = faceVector(c, 1, -2, -8);
    // Face a joins element 2 to itself: local nodes 1, 2 and adjacent nodes 2, 1.
    // Face b: element 3 nodes 3, 3 (both into node 3) and element 1 nodes 1, 1.
    const std::vector<double> s1 = {b[0] + b[1], 0, 0};
    const std::vector<double> s2 = {a[0] + a[1], a[0] + a[1], 0};
    const std::vector<double> s3 = {0, 0, b[0] + b[1]};
    expectValues(r.outputs[0].get(),
                 concat({elementColumn(c, 0, s1), elementColumn(c, 1, s2), elementColumn(c, 2, s3)}));
}

TEST(BottomEdgeAlterRhs, UntouchedElementEqualFluxesAndNoFacesGiveZeros) {
    SmallMesh c;
    CallResult r = run(module(), c, Jump::Alternating);
    const std::vector<double> got = kernel_host::values(r.outputs[0].get());
    EXPECT_NE(got[0], 0.0);
    for (std::size_t i = 6; i < 9; ++i) {
        EXPECT_TRUE(sameDouble(got[i], 0.0)) << i;
    }
    c.fluxAdjacent = c.fluxLocal;
    expectValues(run(module(), c, Jump::Alternating).outputs[0].get(), std::vector<double>(9, 0.0));
    EdgeInputs none = randomCase(3, 4, 2, 0, 2, 1);
    expectValues(run(module(), none, Jump::Alternating).outputs[0].get(), reference(none, Jump::Alternating));
}

TEST(BottomEdgeAlterRhs, ZeroJacobianGivesInfOrNaNAtThatNodeOnly) {
    SmallMesh c;
    const std::vector<double> ok = kernel_host::values(run(module(), c, Jump::Alternating).outputs[0].get());
    c.jacobian[1] = 0.0;
    c.jacobian[7] = 0.0;  // untouched element: 0/0
    const std::vector<double> got = kernel_host::values(run(module(), c, Jump::Alternating).outputs[0].get());
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (i == 1 || i == 7) {
            EXPECT_FALSE(std::isfinite(got[i])) << i;
        } else {
            EXPECT_TRUE(sameDouble(got[i], ok[i])) << i;
        }
    }
    EXPECT_TRUE(std::isnan(got[7]));
}

TEST(BottomEdgeAlterRhs, RejectsBadInputsAndWrongCounts) {
    SmallMesh c;
    std::vector<ArrayPtr> a = c.arrays(false);
    a[8] = doubleArray({2, 1, 2}, {1, 1, 1, 1});  // Nfield = 1 from fluxLocal; two entries needed, four given
    ASSERT_TRUE(module().call(1, raw(a)).ok);
    a = c.arrays(false);
    a[8] = doubleArray({1, 1});
    expectFailure(module(), a, "tooFewElements", "fluxAdjacent");
    a = c.arrays(false);
    a[6] = kernel_host::numericArray(mxINT8_CLASS, {3, 3});
    expectFailure(module(), a, "notDouble", "jacobian");
    a = c.arrays(false);
    mxGetPr(a[2].get())[1] = 3.999 + 0.001;
    expectFailure(module(), a, "indexOutOfRange", "faceToElement");
    a = c.arrays(false);
    mxGetPr(a[4].get())[0] = 0.999;
    expectFailure(module(), a, "indexOutOfRange", "faceToNodeAdjacent");

    a = c.arrays(true);  // ten inputs
    kernel_host::takeConsole();
    CallResult r = module().call(1, raw(a));
    EXPECT_EQ(r.identifier, "bottom_edge_alter_rhs:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:bottom_edge_alter_rhs.cpp:InvalidNumberInput,\n9 inputs required.\n");
}

}  // namespace
