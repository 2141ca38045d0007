// prebalance_volume_flux_2d through the stand-alone host.
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
    static Module m = Module::byName("prebalance_volume_flux_2d");
    return m;
}

// Fluxes of one node, written as the solver defines them.
struct NodeFlux {
    double E[3];
    double G[3];
};

NodeFlux reference(double threshold, double g, double h, double hu, double hv, double z) {
    if (!(h > threshold)) {
        return NodeFlux{{0, 0, 0}, {0, 0, 0}};
    }
    const double p = (0.5 * g) * (h * h - z * z);
    const double q = (hu * hv) / h;
    return NodeFlux{{hu, (hu * hu) / h + p, q}, {hv, q, (hv * hv) / h + p}};
}

struct Case {
    Case(std::size_t np, std::size_t k) : Np(np), K(k) {}
    std::size_t Np;
    std::size_t K;
    std::size_t pages = 4;
    double threshold = 1e-4;
    double gravity = 9.81;
    std::vector<std::int8_t> status;
    std::vector<double> fields;  // Np x K x pages

    CallResult run() const {
        ArrayPtr t = doubleScalar(threshold), g = doubleScalar(gravity);
        ArrayPtr s = int8Array({1, status.size()}, status);
        ArrayPtr f = doubleArray({Np, K, pages}, fields);
        return callOk(module(), 2, {&t, &g, &s, &f});
    }
    double field(std::size_t p, std::size_t i) const { return fields[p * Np * K + i]; }
};

// Checks both outputs against the node formula, element by element.
void expectReference(const Case& c, const CallResult& r) {
    ASSERT_EQ(r.outputs.size(), 2u);
    for (int out = 0; out < 2; ++out) {
        EXPECT_EQ(kernel_host::dimensions(r.outputs[out].get()), (std::vector<std::size_t>{c.Np, c.K, 3}));
    }
    const std::vector<double> E = kernel_host::values(r.outputs[0].get());
    const std::vector<double> G = kernel_host::values(r.outputs[1].get());
    const std::size_t n = c.Np * c.K;
    for (std::size_t k = 0; k < c.K; ++k) {
        const std::int8_t s = c.status[k];
        const double g = s == 7 ? 0.0 : c.gravity;
        for (std::size_t i = k * c.Np; i < (k + 1) * c.Np; ++i) {
            NodeFlux f = s == 5 ? NodeFlux{{0, 0, 0}, {0, 0, 0}}
                                : reference(c.threshold, g, c.field(0, i), c.field(1, i), c.field(2, i), c.field(3, i));
            for (std::size_t p = 0; p < 3; ++p) {
                EXPECT_TRUE(sameDouble(E[p * n + i], f.E[p])) << "E page " << p << " node " << i;
                EXPECT_TRUE(sameDouble(G[p * n + i], f.G[p])) << "G page " << p << " node " << i;
            }
        }
    }
}

TEST(PrebalanceVolumeFlux2d, RandomFieldsMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> depth(-0.1, 3.0), discharge(-5.0, 5.0), bed(-2.0, 2.0);
    Case c(7, 300);
    c.threshold = 0.05;
    c.gravity = 9.80665;
    const std::int8_t codes[] = {4, 5, 7, 0, 1, -3, 6, 99};
    for (std::size_t k = 0; k < c.K; ++k) {
        c.status.push_back(codes[k % 8]);
    }
    c.fields.resize(c.Np * c.K * 4);
    const std::size_t n = c.Np * c.K;
    for (std::size_t i = 0; i < n; ++i) {
        c.fields[i] = depth(rng);
        c.fields[n + i] = discharge(rng);
        c.fields[2 * n + i] = discharge(rng);
        c.fields[3 * n + i] = bed(rng);
    }
    expectReference(c, c.run());

    // The data are rich enough that another grouping of the pressure or of the
    // advective terms would show: some node differs under each alternative.
    int pressureDiffers = 0, advectionDiffers = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double h = c.fields[i], hu = c.fields[n + i], z = c.fields[3 * n + i], g = c.gravity;
        pressureDiffers += (0.5 * g) * (h * h - z * z) != 0.5 * g * h * h - 0.5 * g * z * z;
        advectionDiffers += (hu * hu) / h != hu * (hu / h);
    }
    EXPECT_GT(pressureDiffers, 0);
    EXPECT_GT(advectionDiffers, 0);
}

TEST(PrebalanceVolumeFlux2d, DryElementStaysZeroEvenWhenDeep) {
    Case c(2, 2);
    c.status = {5, 4};
    c.fields = {3, 3, 3, 3, /*hu*/ 1, 1, 1, 1, /*hv*/ 2, 2, 2, 2, /*z*/ 0, 0, 0, 0};
    CallResult r = c.run();
    const std::vector<double> E = kernel_host::values(r.outputs[0].get());
    for (int p = 0; p < 3; ++p) {
        EXPECT_EQ(E[p * 4 + 0], 0.0);
        EXPECT_EQ(E[p * 4 + 1], 0.0);
        EXPECT_NE(E[p * 4 + 2], 0.0);
    }
    expectReference(c, r);
}

TEST(PrebalanceVolumeFlux2d, ThresholdIsStrictAndNaNGivesZeros) {
    const double t = 0.25;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Case c(4, 1);
    c.threshold = t;
    c.status = {4};
    c.fields = {t, std::nextafter(t, 1.0), nan, 1.0, /*hu*/ 1, 1, 1, nan, /*hv*/ 1, 1, 1, 1, /*z*/ 0, 0, 0, 0};
    CallResult r = c.run();
    const std::vector<double> E = kernel_host::values(r.outputs[0].get());
    const std::vector<double> G = kernel_host::values(r.outputs[1].get());
    for (int p = 0; p < 3; ++p) {
        EXPECT_TRUE(sameDouble(E[p * 4 + 0], 0.0)) << "at the threshold";
        EXPECT_TRUE(sameDouble(G[p * 4 + 0], 0.0));
        EXPECT_TRUE(sameDouble(E[p * 4 + 2], 0.0)) << "NaN depth";
    }
    EXPECT_EQ(E[1], 1.0);  // just above the threshold: the discharge itself
    EXPECT_TRUE(std::isnan(E[4 + 3]));  // a NaN discharge above the threshold propagates
    expectReference(c, r);

    Case nanThreshold = c;
    nanThreshold.threshold = nan;
    CallResult zero = nanThreshold.run();
    expectValues(zero.outputs[0].get(), std::vector<double>(12, 0.0));
    expectValues(zero.outputs[1].get(), std::vector<double>(12, 0.0));
}

TEST(PrebalanceVolumeFlux2d, PressureFreeDropsOnlyThePressure) {
    Case c(1, 2);
    c.gravity = 10.0;
    c.status = {7, 4};
    c.fields = {2, 2, /*hu*/ 4, 4, /*hv*/ 6, 6, /*z*/ 1, 1};
    CallResult r = c.run();
    // E = (hu, hu^2/h, hu hv/h), G = (hv, hu hv/h, hv^2/h) without pressure;
    // the wet element adds 0.5*10*(4 - 1) = 15 to the diagonal terms.
    expectValues(r.outputs[0].get(), {4, 4, 8, 23, 12, 12});
    expectValues(r.outputs[1].get(), {6, 6, 12, 12, 18, 33});
}

TEST(PrebalanceVolumeFlux2d, PressureVanishesWhenTheBedEqualsPlusOrMinusTheDepth) {
    Case c(2, 1);
    c.status = {4};
    c.fields = {2, 2, /*hu*/ 0, 0, /*hv*/ 0, 0, /*z*/ 2, -2};
    CallResult r = c.run();
    expectValues(r.outputs[0].get(), std::vector<double>(6, 0.0));
    expectValues(r.outputs[1].get(), std::vector<double>(6, 0.0));
}

TEST(PrebalanceVolumeFlux2d, ExtraPagesAreIgnored) {
    Case c(2, 2);
    c.pages = 6;
    c.status = {4, 0};
    c.fields = {1, 2, 3, 4, /*hu*/ 1, -1, 2, -2, /*hv*/ 0.5, 0.25, 1, 2, /*z*/ 0, 0.5, -1, 1};
    c.fields.resize(24, 123.0);
    CallResult r = c.run();
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{2, 2, 3}));
    Case four = c;
    four.pages = 4;
    four.fields.resize(16);
    CallResult r4 = four.run();
    expectValues(r.outputs[0].get(), kernel_host::values(r4.outputs[0].get()));
    expectValues(r.outputs[1].get(), kernel_host::values(r4.outputs[1].get()));
}

TEST(PrebalanceVolumeFlux2d, EmptyExtentsGiveEmptyOutputs) {
    for (auto [Np, K] : {std::pair<std::size_t, std::size_t>{0, 5}, {3, 0}}) {
        ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
        ArrayPtr s = int8Array({1, K}, std::vector<std::int8_t>(K, 4));
        ArrayPtr f = doubleArray({Np, K, 4});
        CallResult r = callOk(module(), 2, {&t, &g, &s, &f});
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Np, K, 3}));
        EXPECT_EQ(kernel_host::dimensions(r.outputs[1].get()), (std::vector<std::size_t>{Np, K, 3}));
    }
}

TEST(PrebalanceVolumeFlux2d, RejectsInputsItWouldReadOutside) {
    ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
    ArrayPtr s = int8Array({1, 3}, {4, 4, 4});
    ArrayPtr f = doubleArray({2, 3, 4});
    const std::string id = "prebalance_volume_flux_2d:";

    ArrayPtr shortStatus = int8Array({1, 2}, {4, 4});
    CallResult r = callFails(module(), 2, {&t, &g, &shortStatus, &f}, id + "tooFewBytes");
    EXPECT_NE(r.message.find("cellStatus"), std::string::npos) << r.message;

    ArrayPtr threePages = doubleArray({2, 3, 3});
    r = callFails(module(), 2, {&t, &g, &s, &threePages}, id + "tooFewPages");
    EXPECT_NE(r.message.find("fieldValues"), std::string::npos) << r.message;
    ArrayPtr onePage = doubleArray({2, 3});
    callFails(module(), 2, {&t, &g, &s, &onePage}, id + "tooFewPages");

    ArrayPtr int8Fields = int8Array({2, 3, 4});
    callFails(module(), 2, {&t, &g, &s, &int8Fields}, id + "notDouble");
    ArrayPtr sparseFields = kernel_host::sparseArray(6, 4, {0, 0, 0, 0, 0}, {}, {});
    callFails(module(), 2, {&t, &g, &s, &sparseFields}, id + "notDouble");

    ArrayPtr empty = doubleArray({0, 0});
    callFails(module(), 2, {&t, &empty, &s, &f}, id + "invalidScalar");

    // A status array of a wider class holds enough bytes: it is read byte by byte.
    ArrayPtr wideStatus = doubleArray({1, 1}, {0});
    callOk(module(), 2, {&t, &g, &wideStatus, &f});
}

}  // namespace
