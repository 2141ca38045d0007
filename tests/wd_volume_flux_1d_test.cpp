// wd_volume_flux_1d through the stand-alone host.
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
    static Module m = Module::byName("wd_volume_flux_1d");
    return m;
}

struct NodeFlux {
    double F[2];
};

// Flux of one node of a non-Dry element, written as the solver defines it:
// the pre-balanced pressure stays at nodes at or below the threshold.
NodeFlux reference(double threshold, double g, double h, double hu, double z) {
    const double p = (0.5 * g) * (h * h - z * z);
    if (h > threshold) {
        return NodeFlux{{hu, (hu * hu) / h + p}};
    }
    return NodeFlux{{0.0, p}};
}

struct Case {
    Case(std::size_t np, std::size_t k) : Np(np), K(k) {}
    std::size_t Np;
    std::size_t K;
    std::size_t pages = 3;
    double threshold = 1e-4;
    double gravity = 9.81;
    std::vector<std::int8_t> status;
    std::vector<double> fields;  // Np x K x pages

    CallResult run() const {
        ArrayPtr t = doubleScalar(threshold), g = doubleScalar(gravity);
        ArrayPtr s = int8Array({status.size(), 1}, status);
        ArrayPtr f = doubleArray({Np, K, pages}, fields);
        return callOk(module(), 1, {&t, &g, &s, &f});
    }
    double field(std::size_t p, std::size_t i) const { return fields[p * Np * K + i]; }
};

void expectReference(const Case& c, const CallResult& r) {
    ASSERT_EQ(r.outputs.size(), 1u);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{c.Np, c.K, 2}));
    const std::vector<double> F = kernel_host::values(r.outputs[0].get());
    const std::size_t n = c.Np * c.K;
    for (std::size_t k = 0; k < c.K; ++k) {
        const std::int8_t s = c.status[k];
        const double g = s == 7 ? 0.0 : c.gravity;
        for (std::size_t i = k * c.Np; i < (k + 1) * c.Np; ++i) {
            const NodeFlux f =
                s == 5 ? NodeFlux{{0, 0}} : reference(c.threshold, g, c.field(0, i), c.field(1, i), c.field(2, i));
            EXPECT_TRUE(sameDouble(F[i], f.F[0])) << "page 0 node " << i;
            EXPECT_TRUE(sameDouble(F[n + i], f.F[1])) << "page 1 node " << i;
        }
    }
}

TEST(WdVolumeFlux1d, RandomFieldsMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> depth(-0.2, 3.0), discharge(-5.0, 5.0), bed(-2.0, 2.0);
    Case c(6, 400);
    c.threshold = 0.05;
    c.gravity = 9.80665;
    const std::int8_t codes[] = {4, 5, 7, 0, 1, -3, 6, 99};
    for (std::size_t k = 0; k < c.K; ++k) {
        c.status.push_back(codes[k % 8]);
    }
    const std::size_t n = c.Np * c.K;
    c.fields.resize(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        c.fields[i] = depth(rng);
        c.fields[n + i] = discharge(rng);
        c.fields[2 * n + i] = bed(rng);
    }
    expectReference(c, c.run());

    int pressureDiffers = 0, advectionDiffers = 0, shallowWithPressure = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double h = c.fields[i], hu = c.fields[n + i], z = c.fields[2 * n + i], g = c.gravity;
        pressureDiffers += (0.5 * g) * (h * h - z * z) != 0.5 * g * h * h - 0.5 * g * z * z;
        advectionDiffers += (hu * hu) / h != hu * (hu / h);
        shallowWithPressure += !(h > c.threshold) && h * h != z * z;
    }
    EXPECT_GT(pressureDiffers, 0);
    EXPECT_GT(advectionDiffers, 0);
    EXPECT_GT(shallowWithPressure, 0);
}

TEST(WdVolumeFlux1d, ShallowNodesKeepThePressureUnlessPressureFree) {
    // h = 0, z = 1, g = 10 at or below the threshold: (0, -5) in a wet element
    // and in one of another code, (0, 0) when pressure-free, nothing when dry;
    // above the threshold pressure-free gives (hu, hu^2/h).
    Case c(2, 4);
    c.threshold = 0.1;
    c.gravity = 10.0;
    c.status = {4, 99, 7, 5};
    c.fields = {0, 0.1, 0, 0.1, 0, 2, 3, 3, /*hu*/ 9, 9, 9, 9, 9, 4, 9, 9, /*z*/ 1, 0, 1, 0, 1, 1, 1, 1};
    expectValues(c.run().outputs[0].get(),
                 {0, 0, 0, 0, 0, 4, 0, 0, /*F of hu*/ -5, 5.0 * (0.1 * 0.1), -5, 5.0 * (0.1 * 0.1), -0.0, 8, 0, 0});
}

TEST(WdVolumeFlux1d, ThresholdIsStrictAndNaNGoesToTheShallowBranch) {
    const double t = 0.25;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Case c(3, 1);
    c.threshold = t;
    c.status = {4};
    c.fields = {t, std::nextafter(t, 1.0), nan, /*hu*/ 1, 1, 1, /*z*/ 0.5, 0.5, 0.5};
    CallResult r = c.run();
    const std::vector<double> F = kernel_host::values(r.outputs[0].get());
    EXPECT_EQ(F[0], 0.0);
    EXPECT_EQ(F[1], 1.0);
    EXPECT_EQ(F[2], 0.0);  // NaN depth: no mass flux, NaN pressure
    EXPECT_TRUE(std::isnan(F[5]));
    expectReference(c, r);
    Case nanThreshold = c;
    nanThreshold.threshold = nan;
    CallResult n = nanThreshold.run();
    EXPECT_EQ(kernel_host::values(n.outputs[0].get())[1], 0.0);
    expectReference(nanThreshold, n);
}

TEST(WdVolumeFlux1d, ExtraPagesAreIgnoredAndEmptyExtentsGiveEmptyOutput) {
    Case c(2, 2);
    c.pages = 5;
    c.status = {4, 0};
    c.fields = {1, 2, 3, 0.01, /*hu*/ 1, -1, 2, -2, /*z*/ 0, 0.5, -1, 1};
    c.fields.resize(20, 55.0);
    CallResult r = c.run();
    Case three = c;
    three.pages = 3;
    three.fields.resize(12);
    expectValues(r.outputs[0].get(), kernel_host::values(three.run().outputs[0].get()));
    expectReference(c, r);

    for (auto [Np, K] : {std::pair<std::size_t, std::size_t>{0, 5}, {3, 0}}) {
        ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
        ArrayPtr s = int8Array({1, K}, std::vector<std::int8_t>(K, 4));
        ArrayPtr f = doubleArray({Np, K});
        CallResult e = callOk(module(), 1, {&t, &g, &s, &f});
        EXPECT_EQ(kernel_host::dimensions(e.outputs[0].get()), (std::vector<std::size_t>{Np, K, 2}));
    }
}

TEST(WdVolumeFlux1d, RejectsInputsItWouldReadOutside) {
    ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
    ArrayPtr s = int8Array({1, 3}, {4, 4, 4});
    ArrayPtr f = doubleArray({2, 3, 3});
    const std::string id = "wd_volume_flux_1d:";

    ArrayPtr shortStatus = int8Array({1, 2}, {4, 4});
    CallResult r = callFails(module(), 1, {&t, &g, &shortStatus, &f}, id + "tooFewBytes");
    EXPECT_NE(r.message.find("cellStatus"), std::string::npos) << r.message;
    ArrayPtr twoPages = doubleArray({2, 3, 2});
    r = callFails(module(), 1, {&t, &g, &s, &twoPages}, id + "tooFewPages");
    EXPECT_NE(r.message.find("fieldValues"), std::string::npos) << r.message;
    ArrayPtr int8Fields = int8Array({2, 3, 3});
    callFails(module(), 1, {&t, &g, &s, &int8Fields}, id + "notDouble");
    ArrayPtr empty = doubleArray({0, 0});
    callFails(module(), 1, {&empty, &g, &s, &f}, id + "invalidScalar");
}

}  // namespace
