// penalty_parameter through the stand-alone host.
#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("penalty_parameter");
    return m;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Mesh {
    std::vector<double> elementSize;
    std::vector<double> inner;         // 2 x Nie, 1-based elements on both sides
    std::vector<double> innerSize;
    std::vector<double> boundary;      // 2 x Nbe, row 1: 1-based owning element
    std::vector<double> boundarySize;
    std::int8_t shape = 0;
    double order = 1.0;

    void innerEdge(double a, double b, double size) {
        inner.insert(inner.end(), {a, b});
        innerSize.push_back(size);
    }
    void boundaryEdge(double a, double size, double secondRow = kNaN) {
        boundary.insert(boundary.end(), {a, secondRow});
        boundarySize.push_back(size);
    }

    struct Inputs {
        ArrayPtr elementSize, inner, innerSize, boundary, boundarySize, shape, order;
    };
    Inputs inputs() const {
        return Inputs{doubleArray({1, elementSize.size()}, elementSize),
                      doubleArray({2, innerSize.size()}, inner),
                      doubleArray({innerSize.size(), 1}, innerSize),
                      doubleArray({2, boundarySize.size()}, boundary),
                      doubleArray({1, boundarySize.size()}, boundarySize),
                      int8Array({1, 1}, {shape}),
                      doubleScalar(order)};
    }
    double run() const {
        Inputs in = inputs();
        CallResult r = callOk(module(), 1, {&in.elementSize, &in.inner, &in.innerSize, &in.boundary,
                                            &in.boundarySize, &in.shape, &in.order});
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{1, 1}));
        return kernel_host::values(r.outputs[0].get())[0];
    }
};

// The factor of each shape code, in its tabled order; 1 means unscaled.
double factor(std::int8_t s, double N) {
    if (s == 1) {
        const double a = 1.0 + N;
        return a * a;
    }
    if (s == 2) {
        return ((1.0 + N) * 0.5) * (2.0 + N);
    }
    if (s == 3) {
        return ((1.0 + N) * (3.0 + N)) / 3.0;
    }
    return 1.0;
}

// The per-element sums, edge by edge in order.
std::vector<double> sums(const Mesh& m) {
    std::vector<double> acc(m.elementSize.size(), 0.0);
    for (std::size_t i = 0; i < m.innerSize.size(); ++i) {
        const std::size_t a = static_cast<std::size_t>(m.inner[2 * i]) - 1;
        const std::size_t b = static_cast<std::size_t>(m.inner[2 * i + 1]) - 1;
        const double h = m.innerSize[i] * 0.5;
        acc[a] = h / m.elementSize[a] + acc[a];
        acc[b] = h / m.elementSize[b] + acc[b];
    }
    for (std::size_t i = 0; i < m.boundarySize.size(); ++i) {
        const std::size_t a = static_cast<std::size_t>(m.boundary[2 * i]) - 1;
        acc[a] = m.boundarySize[i] / m.elementSize[a] + acc[a];
    }
    return acc;
}

double reference(const Mesh& m) {
    double best = 0.0;
    for (double v : sums(m)) {
        const double scaled = m.shape >= 1 && m.shape <= 3 ? v * factor(m.shape, m.order) : v;
        if (scaled > best) {
            best = scaled;
        }
    }
    return best;
}

TEST(PenaltyParameter, WorkedExamples) {
    Mesh selfEdge;  // both sides one element: 2 * (2/2), times (2 * 3)/2
    selfEdge.elementSize = {2.0};
    selfEdge.innerEdge(1, 1, 4.0);
    selfEdge.shape = 2;
    selfEdge.order = 1;
    EXPECT_TRUE(sameDouble(selfEdge.run(), 6.0));

    Mesh threeBoundaryEdges;  // 3 * (1/1), times 3^2
    threeBoundaryEdges.elementSize = {1.0};
    for (int i = 0; i < 3; ++i) {
        threeBoundaryEdges.boundaryEdge(1, 1.0);
    }
    threeBoundaryEdges.shape = 1;
    threeBoundaryEdges.order = 2;
    EXPECT_TRUE(sameDouble(threeBoundaryEdges.run(), 27.0));
}

TEST(PenaltyParameter, RandomMeshesMatchTheEdgeOrderBitForBit) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> size(0.1, 10.0), order(0.0, 6.0);
    std::uniform_int_distribution<int> element(1, 3), shape(0, 4);
    int reciprocalDiffers = 0, factorFirstDiffers = 0;
    for (int trial = 0; trial < 300; ++trial) {
        Mesh m;
        m.elementSize = {size(rng), size(rng), size(rng)};
        for (int i = 0; i < 6; ++i) {
            m.innerEdge(element(rng) + 0.5, element(rng), size(rng));
        }
        for (int i = 0; i < 3; ++i) {
            m.boundaryEdge(element(rng), size(rng), 1e9);
        }
        m.shape = static_cast<std::int8_t>(shape(rng));
        m.order = order(rng);
        const double expected = reference(m);
        ASSERT_TRUE(sameDouble(m.run(), expected)) << "trial " << trial;

        // Other ways of forming the same value that the data tell apart: a
        // product with the reciprocal size, and the factor applied per edge.
        const double f = factor(m.shape, m.order);
        std::vector<double> recip(3, 0.0), scaledFirst(3, 0.0);
        auto add = [&](std::size_t a, double h) {
            recip[a] = h * (1.0 / m.elementSize[a]) + recip[a];
            scaledFirst[a] = (f * h) / m.elementSize[a] + scaledFirst[a];
        };
        for (std::size_t i = 0; i < m.innerSize.size(); ++i) {
            add(static_cast<std::size_t>(m.inner[2 * i]) - 1, m.innerSize[i] * 0.5);
            add(static_cast<std::size_t>(m.inner[2 * i + 1]) - 1, m.innerSize[i] * 0.5);
        }
        for (std::size_t i = 0; i < m.boundarySize.size(); ++i) {
            add(static_cast<std::size_t>(m.boundary[2 * i]) - 1, m.boundarySize[i]);
        }
        double recipMax = 0.0, scaledFirstMax = 0.0;
        for (std::size_t k = 0; k < 3; ++k) {
            recipMax = std::max(recipMax, recip[k] * f);
            scaledFirstMax = std::max(scaledFirstMax, scaledFirst[k]);
        }
        reciprocalDiffers += recipMax != expected;
        factorFirstDiffers += scaledFirstMax != expected;
    }
    EXPECT_GT(reciprocalDiffers, 0);
    EXPECT_GT(factorFirstDiffers, 0);
}

TEST(PenaltyParameter, AccumulationOrderOfOneElement) {
    // One element, so the result is its sum. Self edges add their half twice,
    // one side after the other; inner edges come before boundary edges.
    Mesh m;
    m.elementSize = {1.0};
    m.innerEdge(1, 1, 2e16);
    m.innerEdge(1, 1, 3.0);
    m.boundaryEdge(1, -2e16);
    m.boundaryEdge(1, 2.0);
    const double expected = 2.0 + (-2e16 + (1.5 + (1.5 + (1e16 + (1e16 + 0.0)))));
    EXPECT_TRUE(sameDouble(reference(m), expected));
    EXPECT_TRUE(sameDouble(m.run(), expected));
    // Adding a self edge's two halves at once, the boundary edges first, or
    // the edges in reverse order would give another value on these data.
    const double halvesAtOnce = 2.0 + (-2e16 + ((1.5 + 1.5) + ((1e16 + 1e16) + 0.0)));
    const double boundaryFirst = 1.5 + (1.5 + (1e16 + (1e16 + (2.0 + (-2e16 + 0.0)))));
    const double reversed = -2e16 + (2.0 + (1e16 + (1e16 + (1.5 + (1.5 + 0.0)))));
    EXPECT_NE(expected, halvesAtOnce);
    EXPECT_NE(expected, boundaryFirst);
    EXPECT_NE(std::max(expected, 0.0), std::max(reversed, 0.0));

    // The edge size is halved before the division: half the smallest
    // subnormal is 0, while halving the quotient would leave a positive sum.
    Mesh tiny;
    tiny.elementSize = {1e-300, 1e-300};
    tiny.innerEdge(1, 2, std::numeric_limits<double>::denorm_min());
    EXPECT_TRUE(sameDouble(tiny.run(), 0.0));
    EXPECT_GT((std::numeric_limits<double>::denorm_min() / 1e-300) * 0.5, 0.0);
}

TEST(PenaltyParameter, FactorsAsTabled) {
    Mesh m;  // one element whose sum is 1.0
    m.elementSize = {1.0};
    m.boundaryEdge(1, 1.0);
    for (std::int8_t s : {1, 2, 3}) {
        m.shape = s;
        m.order = 0;
        EXPECT_TRUE(sameDouble(m.run(), 1.0)) << "order 0, shape " << int(s);
    }
    // Shape 2 halves the first term before the product: the other grouping
    // overflows here.
    m.shape = 2;
    m.order = 1.5e154;
    const double N = m.order;
    EXPECT_TRUE(sameDouble(m.run(), ((1.0 + N) * 0.5) * (2.0 + N)));
    EXPECT_TRUE(std::isfinite(((1.0 + N) * 0.5) * (2.0 + N)));
    EXPECT_TRUE(std::isinf(((1.0 + N) * (2.0 + N)) * 0.5));

    // Shape 3 divides the product by 3: find an order where other groupings differ.
    m.shape = 3;
    double order = 0.0;
    for (double candidate = 0.1; candidate < 20.0; candidate += 0.37) {
        const double tabled = ((1.0 + candidate) * (3.0 + candidate)) / 3.0;
        if (tabled != (1.0 + candidate) * ((3.0 + candidate) / 3.0) &&
            tabled != ((1.0 + candidate) * (3.0 + candidate)) * (1.0 / 3.0)) {
            order = candidate;
            break;
        }
    }
    ASSERT_NE(order, 0.0);
    m.order = order;
    EXPECT_TRUE(sameDouble(m.run(), ((1.0 + order) * (3.0 + order)) / 3.0));
    m.shape = 1;
    EXPECT_TRUE(sameDouble(m.run(), (1.0 + order) * (1.0 + order)));

    // Other codes leave the sums unscaled, whatever the order.
    for (std::int8_t s : {0, 4, -1, 127, -128}) {
        m.shape = s;
        m.order = kNaN;
        EXPECT_TRUE(sameDouble(m.run(), 1.0)) << "shape " << int(s);
    }
    // A NaN factor makes every sum NaN, and NaN never wins.
    m.shape = 1;
    EXPECT_TRUE(sameDouble(m.run(), 0.0));
}

TEST(PenaltyParameter, MaximumFromZeroIgnoresNaN) {
    // The largest sum at every position of a block of four and in the tail,
    // with a NaN sum (0/0) before and after it.
    for (std::size_t K = 1; K <= 9; ++K) {
        for (std::size_t at = 0; at < K; ++at) {
            Mesh m;
            m.elementSize.assign(K, 1.0);
            for (std::size_t k = 0; k < K; ++k) {
                m.boundaryEdge(k + 1, k == at ? 5.0 : 1.0 + 0.25 * k);
            }
            m.elementSize[(at + 1) % K] = 0.0;
            m.boundarySize[(at + 1) % K] = 0.0;
            if (K > 2) {
                m.elementSize[(at + K - 1) % K] = 0.0;
                m.boundarySize[(at + K - 1) % K] = 0.0;
            }
            const double expected = K == 1 ? 0.0 : 5.0;
            EXPECT_TRUE(sameDouble(m.run(), expected)) << "K " << K << " at " << at;
        }
    }
    // Negative sums give 0.0, never -0.0; so do sums scaled to -0.0.
    Mesh negative;
    negative.elementSize = {1.0, 2.0, 3.0, 4.0, 5.0};
    negative.innerEdge(1, 2, -1.0);
    negative.boundaryEdge(5, -0.0);
    const double result = negative.run();
    EXPECT_TRUE(sameDouble(result, 0.0));
    EXPECT_FALSE(std::signbit(result));
    Mesh noEdges;
    noEdges.elementSize = {1.0, 2.0, 3.0};
    noEdges.shape = 2;
    noEdges.order = -1.5;  // factor -0.125: the zero sums become -0.0
    EXPECT_TRUE(std::signbit(0.0 * factor(2, -1.5)));
    EXPECT_TRUE(sameDouble(noEdges.run(), 0.0));
    EXPECT_FALSE(std::signbit(noEdges.run()));
}

TEST(PenaltyParameter, EmptyExtentsGiveZero) {
    Mesh none;  // K = 0
    for (std::int8_t s : {0, 1, 2, 3}) {
        none.shape = s;
        EXPECT_TRUE(sameDouble(none.run(), 0.0));
    }
    Mesh noEdges;
    noEdges.elementSize = {1.0, 2.0};
    noEdges.shape = 1;
    EXPECT_TRUE(sameDouble(noEdges.run(), 0.0));
}

TEST(PenaltyParameter, ScratchIsReclaimedAndNoOutputStillGivesAns) {
    Mesh m;
    m.elementSize = {1.0, 1.0};
    m.innerEdge(1, 2, 3.0);
    Mesh::Inputs in = m.inputs();
    const std::size_t before = kernel_host::liveArrayCount();
    {
        CallResult r = callOk(module(), 0, {&in.elementSize, &in.inner, &in.innerSize, &in.boundary,
                                            &in.boundarySize, &in.shape, &in.order});
        expectValues(r.outputs[0].get(), {1.5});
    }
    EXPECT_EQ(kernel_host::liveArrayCount(), before);
}

TEST(PenaltyParameter, RejectsBadIndicesAndShortInputs) {
    const std::string id = "penalty_parameter:";
    auto fails = [&](const Mesh& m, const std::string& reason, const std::string& named) {
        Mesh::Inputs in = m.inputs();
        CallResult r = callFails(module(), 1, {&in.elementSize, &in.inner, &in.innerSize, &in.boundary,
                                               &in.boundarySize, &in.shape, &in.order},
                                 id + reason);
        EXPECT_NE(r.message.find(named), std::string::npos) << r.message;
    };
    Mesh good;
    good.elementSize = {1.0, 1.0, 1.0};
    good.innerEdge(1, 3, 1.0);
    good.boundaryEdge(2, 1.0, -99.0);  // the second row of boundary edges is not read
    EXPECT_TRUE(sameDouble(good.run(), 1.0));

    for (double bad : {0.0, 0.5, -1.0, 4.0, kNaN, std::numeric_limits<double>::infinity(), 1.9e19}) {
        Mesh m = good;
        m.inner[1] = bad;  // the second side is checked as well
        fails(m, "indexOutOfRange", "faceToElement");
        m = good;
        m.boundary[0] = bad;
        fails(m, "indexOutOfRange", "boundaryFaceToElement");
    }
    Mesh noElements = good;
    noElements.elementSize.clear();
    fails(noElements, "indexOutOfRange", "faceToElement");

    // One input replaced at a time.
    Mesh::Inputs in = good.inputs();
    ArrayPtr oneEntry = doubleArray({1, 1}, {1});
    ArrayPtr singles = kernel_host::numericArray(mxSINGLE_CLASS, {1, 3});
    ArrayPtr noCode = int8Array({0, 0});
    ArrayPtr noOrder = doubleArray({0, 0});
    const std::pair<int, const ArrayPtr*> replaced[] = {{1, &oneEntry}, {3, &oneEntry}, {0, &singles}, {2, &singles},
                                                        {4, &singles},  {5, &noCode},   {6, &noOrder}};
    const char* reasons[] = {"tooFewElements", "tooFewElements", "notDouble", "notDouble",
                             "notDouble",      "tooFewBytes",    "invalidScalar"};
    for (std::size_t c = 0; c < std::size(replaced); ++c) {
        const ArrayPtr* args[] = {&in.elementSize, &in.inner, &in.innerSize, &in.boundary,
                                  &in.boundarySize, &in.shape, &in.order};
        args[replaced[c].first] = replaced[c].second;
        callFails(module(), 1, {args[0], args[1], args[2], args[3], args[4], args[5], args[6]}, id + reasons[c]);
    }
}

}  // namespace
