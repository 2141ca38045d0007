// face_flux_1d through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;

namespace {

const Module& module() {
    static Module m = Module::byName("face_flux_1d");
    return m;
}

struct NodeFlux {
    double F[2];
};

// Normal flux of one node, written as the solver defines it.
NodeFlux reference(double threshold, double g, double nx, double h, double hu) {
    const double u = h > threshold ? hu / h : 0.0;
    return NodeFlux{{hu * nx, ((h * u) * u + (0.5 * g) * (h * h)) * nx}};
}

struct Case {
    Case(std::size_t nfp, std::size_t ne) : Nfp(nfp), Ne(ne) {}
    std::size_t Nfp;
    std::size_t Ne;
    std::size_t pages = 2;
    double threshold = 1e-4;
    double gravity = 9.81;
    std::vector<double> nx;     // Nfp x Ne
    std::vector<double> faces;  // Nfp x Ne x pages

    CallResult run() const {
        ArrayPtr t = doubleScalar(threshold), g = doubleScalar(gravity);
        ArrayPtr x = doubleArray({Nfp, Ne}, nx);
        ArrayPtr f = doubleArray({Nfp, Ne, pages}, faces);
        return callOk(module(), 1, {&t, &g, &x, &f});
    }
};

void expectReference(const Case& c, const CallResult& r) {
    ASSERT_EQ(r.outputs.size(), 1u);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{c.Nfp, c.Ne, 2}));
    const std::vector<double> F = kernel_host::values(r.outputs[0].get());
    const std::size_t n = c.Nfp * c.Ne;
    for (std::size_t i = 0; i < n; ++i) {
        const NodeFlux f = reference(c.threshold, c.gravity, c.nx[i], c.faces[i], c.faces[n + i]);
        EXPECT_TRUE(sameDouble(F[i], f.F[0])) << "page 0 node " << i;
        EXPECT_TRUE(sameDouble(F[n + i], f.F[1])) << "page 1 node " << i;
    }
}

TEST(FaceFlux1d, RandomFacesMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> depth(-0.2, 3.0), discharge(-5.0, 5.0), normal(-1.5, 1.5);
    Case c(3, 257);
    c.threshold = 0.05;
    c.gravity = 9.80665;
    const std::size_t n = c.Nfp * c.Ne;
    c.faces.resize(2 * n);
    for (std::size_t i = 0; i < n; ++i) {
        c.faces[i] = depth(rng);
        c.faces[n + i] = discharge(rng);
        c.nx.push_back(normal(rng));
    }
    expectReference(c, c.run());

    // Alternative groupings differ on these data, so the check above pins them.
    int dischargeDiffers = 0, advectionDiffers = 0, pressureDiffers = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double h = c.faces[i], hu = c.faces[n + i], u = hu / h, g = c.gravity;
        dischargeDiffers += h > c.threshold && (h * u) * c.nx[i] != hu * c.nx[i];
        advectionDiffers += h > c.threshold && (h * u) * u != h * (u * u);
        pressureDiffers += (0.5 * g) * (h * h) != (0.5 * g * h) * h;
    }
    EXPECT_GT(dischargeDiffers, 0);
    EXPECT_GT(advectionDiffers, 0);
    EXPECT_GT(pressureDiffers, 0);
}

TEST(FaceFlux1d, KnownValuesSignsAndDryNodes) {
    // h = 2, hu = 4, g = 10, threshold 0: (4, 8 + 20); nx = -1 flips, nx = 0
    // zeros; a dry node keeps nx*hu and nx*0.5*g*h^2 (bed elevation unused).
    Case c(5, 1);
    c.threshold = 0.0;
    c.gravity = 10.0;
    c.pages = 3;
    c.faces = {2, 2, 2, 0.0, -0.5, /*hu*/ 4, 4, 4, 3, 2, /*z*/ 100, -100, 7, 1, 1};
    c.nx = {1, -1, 0, 2, 1};
    expectValues(c.run().outputs[0].get(), {4, -4, 0, 6, 2, 28, -28, 0, 0, 5.0 * 0.25});
    Case noBed = c;
    noBed.pages = 2;
    noBed.faces.resize(10);
    expectValues(noBed.run().outputs[0].get(), kernel_host::values(c.run().outputs[0].get()));
}

TEST(FaceFlux1d, ThresholdIsStrictAndNaNMeansDry) {
    const double t = 0.25;
    Case c(2, 1);
    c.threshold = t;
    c.gravity = 8.0;
    c.faces = {t, std::nextafter(t, 1.0), /*hu*/ 1, 1};
    c.nx = {1, 1};
    CallResult r = c.run();
    const std::vector<double> F = kernel_host::values(r.outputs[0].get());
    EXPECT_EQ(F[2], 4.0 * (t * t));
    EXPECT_GT(F[3], 4.0 * (t * t) + 1.0);
    expectReference(c, r);
    Case nanThreshold = c;
    nanThreshold.threshold = std::numeric_limits<double>::quiet_NaN();
    // A NaN threshold makes every node dry: discharge and pressure only.
    const double above = c.faces[1];
    expectValues(nanThreshold.run().outputs[0].get(), {1, 1, 4.0 * (t * t), 4.0 * (above * above)});
}

TEST(FaceFlux1d, EmptyExtentsGiveEmptyOutput) {
    for (auto [Nfp, Ne] : {std::pair<std::size_t, std::size_t>{0, 4}, {3, 0}}) {
        ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
        ArrayPtr x = doubleArray({0, 0});
        ArrayPtr f = doubleArray({Nfp, Ne});
        CallResult e = callOk(module(), 1, {&t, &g, &x, &f});
        EXPECT_EQ(kernel_host::dimensions(e.outputs[0].get()), (std::vector<std::size_t>{Nfp, Ne, 2}));
    }
}

TEST(FaceFlux1d, RejectsInputsItWouldReadOutside) {
    ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
    ArrayPtr x = doubleArray({2, 3});
    ArrayPtr f = doubleArray({2, 3, 2});
    const std::string id = "face_flux_1d:";

    ArrayPtr shortNormal = doubleArray({5, 1});
    CallResult r = callFails(module(), 1, {&t, &g, &shortNormal, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("normalX"), std::string::npos) << r.message;
    ArrayPtr int8Normal = kernel_host::int8Array({2, 3});
    callFails(module(), 1, {&t, &g, &int8Normal, &f}, id + "notDouble");
    ArrayPtr sparseNormal = kernel_host::sparseArray(6, 1, {0, 0}, {}, {});
    callFails(module(), 1, {&t, &g, &sparseNormal, &f}, id + "notDouble");

    ArrayPtr onePage = doubleArray({2, 3});
    r = callFails(module(), 1, {&t, &g, &x, &onePage}, id + "tooFewPages");
    EXPECT_NE(r.message.find("faceValues"), std::string::npos) << r.message;
    ArrayPtr singleFaces = kernel_host::numericArray(mxSINGLE_CLASS, {2, 3, 2});
    callFails(module(), 1, {&t, &g, &x, &singleFaces}, id + "notDouble");

    ArrayPtr empty = doubleArray({0, 0});
    callFails(module(), 1, {&t, &empty, &x, &f}, id + "invalidScalar");
}

}  // namespace
