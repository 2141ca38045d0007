// nonhydro_vertical_volume_flux through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("nonhydro_vertical_volume_flux");
    return m;
}

struct Case {
    Case(std::size_t np, std::size_t k) : Np(np), K(k), hu(np * k), hv(np * k), hw(np * k), h(np * k, 1.0) {}
    std::size_t Np;
    std::size_t K;
    std::vector<std::int8_t> status;
    std::vector<double> hu, hv, hw, h;

    CallResult run() const {
        ArrayPtr s = int8Array({K, 1}, status);
        ArrayPtr x = doubleArray({Np, K}, hu), y = doubleArray({Np, K}, hv), w = doubleArray({Np, K}, hw);
        ArrayPtr d = doubleArray({Np, K}, h);
        return callOk(module(), 2, {&s, &x, &y, &w, &d});
    }
};

// Both outputs against the node formula: product first, then the division, on
// Wet elements only.
void expectReference(const Case& c, const CallResult& r) {
    ASSERT_EQ(r.outputs.size(), 2u);
    std::vector<double> E(c.Np * c.K, 0.0), G(c.Np * c.K, 0.0);
    for (std::size_t k = 0; k < c.K; ++k) {
        if (c.status[k] != 4) {
            continue;
        }
        for (std::size_t i = k * c.Np; i < (k + 1) * c.Np; ++i) {
            E[i] = (c.hu[i] * c.hw[i]) / c.h[i];
            G[i] = (c.hv[i] * c.hw[i]) / c.h[i];
        }
    }
    for (int out = 0; out < 2; ++out) {
        EXPECT_EQ(kernel_host::dimensions(r.outputs[out].get()), (std::vector<std::size_t>{c.Np, c.K}));
    }
    expectValues(r.outputs[0].get(), E);
    expectValues(r.outputs[1].get(), G);
}

TEST(NonhydroVerticalVolumeFlux, RandomFieldsMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> depth(0.01, 3.0), discharge(-5.0, 5.0);
    Case c(6, 400);
    const std::int8_t codes[] = {4, 5, 7, 0, 4, -3, 6, 99};
    for (std::size_t k = 0; k < c.K; ++k) {
        c.status.push_back(codes[k % 8]);
    }
    int groupingDiffers = 0;
    for (std::size_t i = 0; i < c.Np * c.K; ++i) {
        c.hu[i] = discharge(rng);
        c.hv[i] = discharge(rng);
        c.hw[i] = discharge(rng);
        c.h[i] = depth(rng);
        groupingDiffers += (c.hu[i] * c.hw[i]) / c.h[i] != c.hu[i] * (c.hw[i] / c.h[i]);
    }
    // Dividing first would change some results on these data.
    EXPECT_GT(groupingDiffers, 0);
    expectReference(c, c.run());
}

TEST(NonhydroVerticalVolumeFlux, OnlyWetElementsCarryAFlux) {
    // Dry, PressureFree and unknown codes are all skipped, unlike the
    // hydrostatic volume fluxes, which compute everything but Dry.
    Case c(2, 5);
    c.status = {5, 7, 4, 3, -4};
    for (std::size_t i = 0; i < 10; ++i) {
        c.hu[i] = 2.0;
        c.hv[i] = -3.0;
        c.hw[i] = 0.5;
        c.h[i] = 4.0;
    }
    CallResult r = c.run();
    expectValues(r.outputs[0].get(), {0, 0, 0, 0, 0.25, 0.25, 0, 0, 0, 0});
    expectValues(r.outputs[1].get(), {0, 0, 0, 0, -0.375, -0.375, 0, 0, 0, 0});
}

TEST(NonhydroVerticalVolumeFlux, ProductIsFormedBeforeTheDivision) {
    // hu*hw overflows before the division by h; hu*(hw/h) would not.
    Case c(2, 1);
    c.status = {4};
    c.hu = {1e200, 3.0};
    c.hv = {-1e200, 0.0};
    c.hw = {1e200, 0.0};
    c.h = {1e200, 2.0};
    CallResult r = c.run();
    const double inf = std::numeric_limits<double>::infinity();
    expectValues(r.outputs[0].get(), {inf, 0.0});
    expectValues(r.outputs[1].get(), {-inf, 0.0});
}

TEST(NonhydroVerticalVolumeFlux, NoDepthThresholdOnWetElements) {
    // However small (or zero) the depth of a wet element's node, it is the
    // divisor; zero discharges or zero hw give zero fluxes.
    Case c(4, 1);
    c.status = {4};
    c.hu = {1e-3, 1.0, 0.0, 2.0};
    c.hv = {2e-3, 1.0, 0.0, -1.0};
    c.hw = {1e-3, 1.0, 5.0, 0.0};
    c.h = {1e-300, 0.0, 1.0, 3.0};
    CallResult r = c.run();
    const std::vector<double> E = kernel_host::values(r.outputs[0].get());
    EXPECT_GT(E[0], 1e293);
    EXPECT_TRUE(std::isinf(E[1]));
    EXPECT_TRUE(sameDouble(E[2], 0.0));
    EXPECT_TRUE(sameDouble(E[3], 0.0));
    expectReference(c, r);
}

TEST(NonhydroVerticalVolumeFlux, EmptyExtentsGiveTwoEmptyOutputs) {
    for (auto [Np, K] : {std::pair<std::size_t, std::size_t>{0, 5}, {3, 0}, {0, 0}}) {
        Case c(Np, K);
        c.status.assign(K, 4);
        CallResult r = c.run();
        ASSERT_EQ(r.outputs.size(), 2u);
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Np, K}));
        EXPECT_EQ(kernel_host::dimensions(r.outputs[1].get()), (std::vector<std::size_t>{Np, K}));
    }
}

TEST(NonhydroVerticalVolumeFlux, RejectsInputsItWouldReadOutside) {
    const std::string id = "nonhydro_vertical_volume_flux:";
    ArrayPtr s = int8Array({1, 3}, {4, 4, 4});
    ArrayPtr f = doubleArray({2, 3}, std::vector<double>(6, 1.0));

    ArrayPtr shortStatus = int8Array({1, 2}, {4, 4});
    CallResult r = callFails(module(), 2, {&shortStatus, &f, &f, &f, &f}, id + "tooFewBytes");
    EXPECT_NE(r.message.find("cellStatus"), std::string::npos) << r.message;

    ArrayPtr shortField = doubleArray({1, 5});
    r = callFails(module(), 2, {&s, &f, &f, &shortField, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("verticalMomentum"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("5 elements"), std::string::npos) << r.message;
    r = callFails(module(), 2, {&s, &shortField, &f, &f, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("dischargeX"), std::string::npos) << r.message;
    r = callFails(module(), 2, {&s, &f, &shortField, &f, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("dischargeY"), std::string::npos) << r.message;

    ArrayPtr int8Depth = int8Array({2, 3});
    r = callFails(module(), 2, {&s, &f, &f, &f, &int8Depth}, id + "notDouble");
    EXPECT_NE(r.message.find("depth"), std::string::npos) << r.message;
    ArrayPtr singleField = kernel_host::numericArray(mxSINGLE_CLASS, {2, 3});
    callFails(module(), 2, {&s, &f, &singleField, &f, &f}, id + "notDouble");
    ArrayPtr sparseDepth = kernel_host::sparseArray(2, 3, {0, 0, 0, 0}, {}, {});
    callFails(module(), 2, {&s, &f, &f, &f, &sparseDepth}, id + "notDouble");

    // Larger inputs are fine: only the first Np*K entries are read.
    ArrayPtr longField = doubleArray({1, 9}, std::vector<double>(9, 1.0));
    callOk(module(), 2, {&s, &longField, &f, &f, &f});
}

TEST(NonhydroVerticalVolumeFlux, WrongCountsNameTheSourceFile) {
    ArrayPtr s = int8Array({1, 1}, {4});
    ArrayPtr f = doubleArray({1, 1}, {1.0});
    callFails(module(), 2, {&s, &f, &f, &f}, "nonhydro_vertical_volume_flux:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(),
              "Matlab:nonhydro_vertical_volume_flux.cpp:InvalidNumberInput,\n5 inputs required.\n");
    callFails(module(), 1, {&s, &f, &f, &f, &f}, "nonhydro_vertical_volume_flux:invalidNumberOfOutputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:nonhydro_vertical_volume_flux.cpp:InvalidNumberOutput,\n");
}

}  // namespace
