// bottom_edge_central_rhs through the stand-alone host.
#include <cmath>

#include "edge_rhs_reference.hpp"

using namespace test_support;
using namespace edge_reference;

namespace {

const Module& module() {
    static Module m = Module::byName("bottom_edge_central_rhs");
    return m;
}

const Module& alternating() {
    static Module m = Module::byName("bottom_edge_alter_rhs");
    return m;
}

TEST(BottomEdgeCentralRhs, RandomFacesMatchTheReferenceBitForBit) {
    const EdgeInputs c = randomCase(6, 30, 3, 45, 3, 23);
    expectValues(run(module(), c, Jump::Central).outputs[0].get(), reference(c, Jump::Central));
    // The half is taken of the difference: halving each flux first would differ
    // only where it underflows, so check that the data take the jump path at all.
    EXPECT_NE(kernel_host::values(run(module(), c, Jump::Central).outputs[0].get()),
              kernel_host::values(run(alternating(), c, Jump::Alternating).outputs[0].get()));
}

TEST(BottomEdgeCentralRhs, IsHalfOfTheAlternatingResultBitForBit) {
    EdgeInputs c = randomCase(10, 25, 4, 40, 3, 31);
    std::mt19937_64 rng(6);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (double& v : c.inverseMassMatrix) {
        v += 0.3 * u(rng);
    }
    std::vector<double> half = kernel_host::values(run(alternating(), c, Jump::Alternating).outputs[0].get());
    for (double& v : half) {
        v *= 0.5;
    }
    expectValues(run(module(), c, Jump::Central).outputs[0].get(), half);
}

TEST(BottomEdgeCentralRhs, ClosedFormSwapFlipsTheSignEqualFluxesGiveZero) {
    SmallMesh c;
    c.twoDimensionalFlux = true;
    CallResult r = run(module(), c, Jump::Central);
    const std::vector<double> v = faceVector(c, 0, 0.5 * (3 - -1), 0.5 * (1 - 5));
    const std::vector<double> s1 = {v[0], v[1], 0};  // local nodes 1, 2
    const std::vector<double> s2 = {v[1], 0, v[0]};  // adjacent nodes 3, 1
    const std::vector<double> expected = concat({elementColumn(c, 0, s1), elementColumn(c, 1, s2), {0, 0, 0}});
    expectValues(r.outputs[0].get(), expected);

    std::swap(c.fluxLocal, c.fluxAdjacent);
    const std::vector<double> flipped = kernel_host::values(run(module(), c, Jump::Central).outputs[0].get());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(flipped[i], -expected[i]) << i;  // a zero matches a zero of either sign
    }

    c.fluxAdjacent = c.fluxLocal;
    expectValues(run(module(), c, Jump::Central).outputs[0].get(), std::vector<double>(9, 0.0));
}

TEST(BottomEdgeCentralRhs, ZeroJacobianGivesInfOrNaNAtThatNodeOnly) {
    SmallMesh c;
    const std::vector<double> ok = kernel_host::values(run(module(), c, Jump::Central).outputs[0].get());
    c.jacobian[3] = 0.0;
    const std::vector<double> got = kernel_host::values(run(module(), c, Jump::Central).outputs[0].get());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_TRUE(i == 3 ? !std::isfinite(got[i]) : sameDouble(got[i], ok[i])) << i;
    }
}

TEST(BottomEdgeCentralRhs, RejectsBadInputsAndWrongCounts) {
    SmallMesh c;
    std::vector<ArrayPtr> a = c.arrays(false);
    a[0] = doubleArray({2, 2});
    expectFailure(module(), a, "tooFewElements", "inverseMassMatrix");
    a = c.arrays(false);
    mxGetPr(a[3].get())[1] = std::nan("");
    expectFailure(module(), a, "indexOutOfRange", "faceToNodeLocal");

    a = c.arrays(false);
    kernel_host::takeConsole();
    CallResult r = module().call(2, raw(a));
    EXPECT_EQ(r.identifier, "bottom_edge_central_rhs:invalidNumberOfOutputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:bottom_edge_central_rhs.cpp:InvalidNumberOutput,\n");
}

}  // namespace
