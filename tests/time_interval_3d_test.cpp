// time_interval_3d through the stand-alone host.
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
    static Module m = Module::byName("time_interval_3d");
    return m;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct Case {
    Case(std::size_t np, std::size_t k) : Np(np), K(k), length(k, 1.0), status(k, 4), fields(3 * np * k, 1.0) {
        std::fill(fields.begin() + np * k, fields.end(), 0.0);
    }
    std::size_t Np;
    std::size_t K;
    double gravity = 9.81;
    double order = 2.0;
    std::vector<double> length;
    std::vector<std::int8_t> status;
    std::vector<double> fields;  // Np x K x 3: h, hu, hv

    double& h(std::size_t i) { return fields[i]; }
    double& hu(std::size_t i) { return fields[Np * K + i]; }
    double& hv(std::size_t i) { return fields[2 * Np * K + i]; }

    double run() const {
        ArrayPtr unused = doubleArray({0, 0});
        ArrayPtr g = doubleScalar(gravity), N = doubleScalar(order);
        ArrayPtr L = doubleArray({K, 1}, length);
        ArrayPtr s = int8Array({K, 1}, status);
        ArrayPtr f = doubleArray({Np, K, 3}, fields);
        CallResult r = callOk(module(), 1, {&unused, &g, &N, &L, &s, &f});
        EXPECT_EQ(kernel_host::dimensions(r.outputs.at(0).get()), (std::vector<std::size_t>{1, 1}));
        return kernel_host::values(r.outputs[0].get()).at(0);
    }

    // The time step node by node, as the solver defines it.
    double oracle() const {
        double dt = 1000000.0;
        const std::size_t n = Np * K;
        for (std::size_t k = 0; k < K; ++k) {
            if (status[k] == 5) {
                continue;
            }
            for (std::size_t i = k * Np; i < (k + 1) * Np; ++i) {
                double u = 0.0, v = 0.0;
                if (status[k] == 4) {
                    u = fields[n + i] / fields[i];
                    v = fields[2 * n + i] / fields[i];
                }
                const double speed = std::sqrt(u * u + v * v);
                const double celerity = std::sqrt(gravity * fields[i]);
                const double candidate = (length[k] / (speed + celerity)) / ((order + order) + 1.0);
                dt = dt < candidate ? dt : candidate;
            }
        }
        return dt;
    }
};

TEST(TimeInterval3d, KnownNodeAndDivisionOrder) {
    // h = 1, hu = 3, hv = 4, g = 9, L = 1, N = 1: speed 5, celerity 3, (1/8)/3.
    Case c(1, 1);
    c.gravity = 9.0;
    c.order = 1.0;
    c.hu(0) = 3.0;
    c.hv(0) = 4.0;
    EXPECT_TRUE(sameDouble(c.run(), (1.0 / 8.0) / 3.0));

    // On this node the other orders of the two divisions give other bits.
    c.gravity = 9.81;
    c.order = 2.0;
    c.length[0] = 1.7;
    c.h(0) = 1.3;
    c.hu(0) = 0.4;
    c.hv(0) = 0.9;
    const double u = 0.4 / 1.3, v = 0.9 / 1.3;
    const double speed = std::sqrt(u * u + v * v), celerity = std::sqrt(9.81 * 1.3);
    const double expected = (1.7 / (speed + celerity)) / ((2.0 + 2.0) + 1.0);
    EXPECT_NE(expected, 1.7 / ((speed + celerity) * 5.0));
    EXPECT_NE(expected, (1.7 / 5.0) / (speed + celerity));
    EXPECT_TRUE(sameDouble(c.run(), expected));
}

TEST(TimeInterval3d, VelocityComesFromTheStatusAlone) {
    // Wet divides without a depth threshold: a very shallow wet node is fast.
    Case wet(1, 2);
    wet.gravity = 1.0;
    wet.h(0) = 1e-12;
    wet.hu(0) = 1.0;
    wet.h(1) = 4.0;
    EXPECT_TRUE(sameDouble(wet.run(), wet.oracle()));
    EXPECT_LT(wet.run(), 1e-6);

    // Any status but Wet and Dry: zero velocity, whatever the discharges.
    for (std::int8_t code : {7, 0, 1, 6, -4, 99}) {
        Case still(2, 1);
        still.gravity = 4.0;
        still.order = 0.0;
        still.status = {code};
        still.length = {3.0};
        still.hu(0) = kNaN;
        still.hv(1) = 1e300;
        EXPECT_TRUE(sameDouble(still.run(), (3.0 / (0.0 + 2.0)) / 1.0)) << int(code);
    }
}

TEST(TimeInterval3d, DryElementsAreLeftOutAndTheStartIsAMillion) {
    Case c(3, 3);
    c.status = {5, 4, 5};
    c.length = {1e-9, 2.0, 1e-9};
    EXPECT_TRUE(sameDouble(c.run(), c.oracle()));
    EXPECT_GT(c.run(), 1e-3);

    c.status = {5, 5, 5};
    EXPECT_TRUE(sameDouble(c.run(), 1000000.0));
    c.status = {7, 7, 7};
    c.length = {1e9, 1e9, 1e9};  // every candidate above the start
    EXPECT_TRUE(sameDouble(c.run(), 1000000.0));
    EXPECT_TRUE(sameDouble(Case(4, 0).run(), 1000000.0));
    EXPECT_TRUE(sameDouble(Case(0, 3).run(), 1000000.0));
}

TEST(TimeInterval3d, OnlyANaNAtTheLastVisitedNodeSurvives) {
    Case c(2, 4);
    c.h(3) = -1.0;  // element 1, last node: sqrt of a negative depth
    EXPECT_FALSE(std::isnan(c.run()));
    EXPECT_TRUE(sameDouble(c.run(), c.oracle()));

    c.length[3] = kNaN;  // the last element's nodes are NaN
    EXPECT_TRUE(std::isnan(c.run()));
    c.status[3] = 5;  // ... unless it is Dry: then element 2 comes last
    EXPECT_FALSE(std::isnan(c.run()));
    c.status[2] = 5;  // and with element 2 Dry too, the NaN of element 1 is last
    EXPECT_TRUE(std::isnan(c.run()));
    c.h(3) = kNaN;
    EXPECT_TRUE(std::isnan(c.run()));
    c.h(3) = 1.0;
    c.h(2) = kNaN;  // a NaN followed by a finite node is replaced
    EXPECT_FALSE(std::isnan(c.run()));
    EXPECT_TRUE(sameDouble(c.run(), c.oracle()));
}

TEST(TimeInterval3d, OfTwoEqualZerosTheLaterStays) {
    // Zero candidates from zero lengths: +0 then -0 gives -0, and the reverse
    // +0, also across the block boundaries of the reduction (many nodes).
    for (std::size_t K : {2, 700, 5000}) {
        for (double first : {0.0, -0.0}) {
            Case c(3, K);
            c.status.assign(K, 7);
            c.length.assign(K, 5.0);
            c.length[K / 3] = first;
            c.length[K - 1 - K / 7] = -first;
            const double r = c.run();
            EXPECT_EQ(std::signbit(r), !std::signbit(first)) << "K = " << K;
            EXPECT_TRUE(sameDouble(r, c.oracle()));
        }
    }
    // Zeros of random signs among positive candidates, close together.
    std::mt19937_64 rng(9);
    for (int trial = 0; trial < 300; ++trial) {
        const std::size_t K = 2 + rng() % 40;
        Case c(1 + rng() % 3, K);
        c.status.assign(K, 7);
        for (double& L : c.length) {
            const unsigned pick = rng() % 3;
            L = pick == 0 ? 0.0 : (pick == 1 ? -0.0 : 1.0 + static_cast<double>(rng() % 5));
        }
        ASSERT_TRUE(sameDouble(c.run(), c.oracle())) << "trial " << trial;
    }
}

TEST(TimeInterval3d, ANaNAtAnyNodeButTheLastIsReplaced) {
    // One NaN depth, moved over every node of a long run of ordinary nodes.
    const std::size_t K = 2100;
    Case c(1, K);
    for (std::size_t k = 0; k < K; ++k) {
        c.length[k] = 1.0 + static_cast<double>((k * 7919) % 1000) * 1e-3;
    }
    const double clean = c.oracle();
    for (std::size_t at = 0; at < K; ++at) {
        c.h(at) = kNaN;
        const double r = c.run();
        ASSERT_TRUE(sameDouble(r, c.oracle())) << "NaN at node " << at;
        ASSERT_EQ(std::isnan(r), at + 1 == K) << "NaN at node " << at;
        c.h(at) = 1.0;
    }
    EXPECT_TRUE(sameDouble(c.run(), clean));

    // Still, dry-bed nodes after the NaN: their candidates are +Inf and replace it.
    Case still(1, K);
    still.status.assign(K, 7);
    std::fill(still.fields.begin(), still.fields.begin() + K, 0.0);
    for (std::size_t at = 0; at + 1 < K; ++at) {
        still.h(at) = kNaN;
        ASSERT_TRUE(sameDouble(still.run(), kInf)) << "NaN at node " << at;
        still.h(at) = 0.0;
    }
}

// Candidates chosen element by element and node by node: with g = 1, N = 0 and
// zero velocity a node's candidate is L / sqrt(h), so special lengths and
// depths give zeros of both signs, infinities and NaN.
Case adversarial(std::mt19937_64& rng, std::size_t Np, std::size_t K, double specialShare) {
    Case c(Np, K);
    c.gravity = 1.0;
    c.order = 0.0;
    std::uniform_real_distribution<double> unit(0.0, 1.0), value(0.5, 3.0);
    const double lengths[] = {0.0, -0.0, kInf, -kInf, kNaN, 1e6, 2e6, 1.0, -1.0};
    const double depths[] = {0.0, -1.0, kNaN, kInf, 1.0, 4.0};
    const std::int8_t codes[] = {4, 5, 7, 0};
    for (std::size_t k = 0; k < K; ++k) {
        c.status[k] = codes[rng() % 4];
        c.length[k] = unit(rng) < specialShare ? lengths[rng() % 9] : value(rng);
        for (std::size_t i = k * Np; i < (k + 1) * Np; ++i) {
            c.h(i) = unit(rng) < specialShare ? depths[rng() % 6] : value(rng);
            c.hu(i) = value(rng) - 1.5;
            c.hv(i) = value(rng) - 1.5;
        }
    }
    return c;
}

TEST(TimeInterval3d, MatchesTheNodeByNodeRuleOnAdversarialData) {
    std::mt19937_64 rng(2024);
    int nanResults = 0, zeroResults = 0, ordinaryResults = 0;
    const std::size_t nodeCounts[] = {1, 3, 10, 1023, 1025, 1500};
    for (int trial = 0; trial < 400; ++trial) {
        const std::size_t Np = nodeCounts[trial % 6];
        const std::size_t K = 1 + rng() % (Np > 100 ? 6 : 700);
        const double share = trial % 4 == 0 ? 0.0 : (trial % 4 == 1 ? 0.001 : (trial % 4 == 2 ? 0.02 : 0.3));
        Case c = adversarial(rng, Np, K, share);
        // Sometimes close with the NaN at the very last node, or a zero run.
        if (trial % 7 == 3 && c.status[K - 1] != 5) {
            c.h(Np * K - 1) = kNaN;
        }
        const double expected = c.oracle();
        const double got = c.run();
        ASSERT_TRUE(sameDouble(got, expected)) << "trial " << trial << " Np " << Np << " K " << K;
        nanResults += std::isnan(expected);
        zeroResults += expected == 0.0;
        ordinaryResults += std::isfinite(expected) && expected != 0.0;
    }
    // The trials reach every kind of result.
    EXPECT_GT(nanResults, 5);
    EXPECT_GT(zeroResults, 5);
    EXPECT_GT(ordinaryResults, 50);
}

TEST(TimeInterval3d, InputZeroIsNeverRead) {
    Case c(2, 2);
    ArrayPtr g = doubleScalar(c.gravity), N = doubleScalar(c.order);
    ArrayPtr L = doubleArray({2, 1}, c.length);
    ArrayPtr s = int8Array({2, 1}, c.status);
    ArrayPtr f = doubleArray({2, 2, 3}, c.fields);
    ArrayPtr inputs[] = {doubleArray({0, 0}), int8Array({0, 0}), kernel_host::numericArray(mxSINGLE_CLASS, {3, 3}),
                         kernel_host::sparseArray(2, 2, {0, 1, 1}, {1}, {5.0}), doubleScalar(kNaN)};
    for (const ArrayPtr& unused : inputs) {
        CallResult r = callOk(module(), 1, {&unused, &g, &N, &L, &s, &f});
        EXPECT_TRUE(sameDouble(kernel_host::values(r.outputs.at(0).get()).at(0), c.oracle()));
    }
}

TEST(TimeInterval3d, RejectsInputsItWouldReadOutside) {
    ArrayPtr unused = doubleArray({0, 0});
    ArrayPtr g = doubleScalar(9.81), N = doubleScalar(1);
    ArrayPtr L = doubleArray({1, 3}, {1, 1, 1});
    ArrayPtr s = int8Array({1, 3}, {4, 4, 4});
    ArrayPtr f = doubleArray({2, 3, 3}, std::vector<double>(6, 1.0));
    const std::string id = "time_interval_3d:";

    ArrayPtr shortLength = doubleArray({1, 2});
    CallResult r = callFails(module(), 1, {&unused, &g, &N, &shortLength, &s, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("elementLength"), std::string::npos) << r.message;
    ArrayPtr int8Length = int8Array({1, 3}, {1, 1, 1});
    callFails(module(), 1, {&unused, &g, &N, &int8Length, &s, &f}, id + "notDouble");
    ArrayPtr shortStatus = int8Array({1, 2}, {4, 4});
    r = callFails(module(), 1, {&unused, &g, &N, &L, &shortStatus, &f}, id + "tooFewBytes");
    EXPECT_NE(r.message.find("cellStatus"), std::string::npos) << r.message;
    ArrayPtr twoPages = doubleArray({2, 3, 2});
    r = callFails(module(), 1, {&unused, &g, &N, &L, &s, &twoPages}, id + "tooFewPages");
    EXPECT_NE(r.message.find("fieldValues"), std::string::npos) << r.message;
    ArrayPtr singleFields = kernel_host::numericArray(mxSINGLE_CLASS, {2, 3, 3});
    callFails(module(), 1, {&unused, &g, &N, &L, &s, &singleFields}, id + "notDouble");
    ArrayPtr empty = doubleArray({0, 0});
    callFails(module(), 1, {&unused, &empty, &N, &L, &s, &f}, id + "invalidScalar");
    callFails(module(), 1, {&unused, &g, &empty, &L, &s, &f}, id + "invalidScalar");

    // Without nodes the pages are not needed.
    ArrayPtr noNodes = doubleArray({0, 3});
    CallResult ok = callOk(module(), 1, {&unused, &g, &N, &L, &s, &noNodes});
    EXPECT_TRUE(sameDouble(kernel_host::values(ok.outputs.at(0).get()).at(0), 1000000.0));
}

}  // namespace
