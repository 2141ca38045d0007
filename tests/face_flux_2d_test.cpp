// face_flux_2d through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;

namespace {

const Module& module() {
    static Module m = Module::byName("face_flux_2d");
    return m;
}

struct NodeFlux {
    double F[3];
};

// Normal flux of one node, written as the solver defines it.
NodeFlux reference(double threshold, double g, double nx, double ny, double h, double hu, double hv) {
    double u = 0.0, v = 0.0;
    if (h > threshold) {
        u = hu / h;
        v = hv / h;
    }
    const double w = (h * u) * v;
    const double p = (0.5 * g) * (h * h);
    const double E[3] = {hu, (h * u) * u + p, w};
    const double G[3] = {hv, w, (h * v) * v + p};
    return NodeFlux{{nx * E[0] + ny * G[0], nx * E[1] + ny * G[1], nx * E[2] + ny * G[2]}};
}

struct Case {
    Case(std::size_t nfp, std::size_t ne) : Nfp(nfp), Ne(ne) {}
    std::size_t Nfp;
    std::size_t Ne;
    std::size_t pages = 3;
    double threshold = 1e-4;
    double gravity = 9.81;
    std::vector<double> nx, ny;    // Nfp x Ne
    std::vector<double> faces;     // Nfp x Ne x pages

    CallResult run() const {
        ArrayPtr t = doubleScalar(threshold), g = doubleScalar(gravity);
        ArrayPtr x = doubleArray({Nfp, Ne}, nx), y = doubleArray({Nfp, Ne}, ny);
        ArrayPtr f = doubleArray({Nfp, Ne, pages}, faces);
        return callOk(module(), 1, {&t, &g, &x, &y, &f});
    }
    double field(std::size_t p, std::size_t i) const { return faces[p * Nfp * Ne + i]; }
};

void expectReference(const Case& c, const CallResult& r) {
    ASSERT_EQ(r.outputs.size(), 1u);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{c.Nfp, c.Ne, 3}));
    const std::vector<double> F = kernel_host::values(r.outputs[0].get());
    const std::size_t n = c.Nfp * c.Ne;
    for (std::size_t i = 0; i < n; ++i) {
        const NodeFlux f =
            reference(c.threshold, c.gravity, c.nx[i], c.ny[i], c.field(0, i), c.field(1, i), c.field(2, i));
        for (std::size_t p = 0; p < 3; ++p) {
            EXPECT_TRUE(sameDouble(F[p * n + i], f.F[p])) << "page " << p << " node " << i;
        }
    }
}

TEST(FaceFlux2d, RandomFacesMatchTheNodeFormulaBitForBit) {
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> depth(-0.2, 3.0), discharge(-5.0, 5.0), normal(-1.0, 1.0);
    Case c(5, 301);
    c.threshold = 0.05;
    c.gravity = 9.80665;
    const std::size_t n = c.Nfp * c.Ne;
    c.faces.resize(3 * n);
    for (std::size_t i = 0; i < n; ++i) {
        c.faces[i] = depth(rng);
        c.faces[n + i] = discharge(rng);
        c.faces[2 * n + i] = discharge(rng);
        c.nx.push_back(normal(rng));
        c.ny.push_back(normal(rng));
    }
    expectReference(c, c.run());

    // The data tell the groupings apart: the stored discharge differs from
    // h*(hu/h), (h*u)*u from h*(u*u), and (0.5*g)*(h*h) from ((0.5*g)*h)*h at
    // some node, so a kernel using any of the alternatives fails above.
    int dischargeDiffers = 0, advectionDiffers = 0, pressureDiffers = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double h = c.faces[i], hu = c.faces[n + i], u = hu / h, g = c.gravity;
        dischargeDiffers += h > c.threshold && h * u != hu;
        advectionDiffers += h > c.threshold && (h * u) * u != h * (u * u);
        pressureDiffers += (0.5 * g) * (h * h) != ((0.5 * g) * h) * h;
    }
    EXPECT_GT(dischargeDiffers, 0);
    EXPECT_GT(advectionDiffers, 0);
    EXPECT_GT(pressureDiffers, 0);
}

TEST(FaceFlux2d, DryNodesKeepTheStoredDischargeAndTheFullPressure) {
    // Depths at the threshold, below it, negative and zero: no velocity, but the
    // discharges as stored and 0.5*g*h^2 (never the pre-balanced form).
    Case c(4, 1);
    c.threshold = 0.5;
    c.gravity = 10.0;
    c.faces = {0.5, 0.25, -0.4, 0.0, /*hu*/ 3, -2, 1, 5, /*hv*/ 7, 4, -6, 1};
    c.nx = {1.0, 0.5, -0.25, 2.0};
    c.ny = {2.0, -1.0, 0.75, 3.0};
    const std::vector<double> F = kernel_host::values(c.run().outputs[0].get());
    EXPECT_EQ(F[0], 1.0 * 3 + 2.0 * 7);          // mass flux from the discharges
    EXPECT_EQ(F[4 + 0], 1.0 * (5.0 * 0.25));     // nx * 0.5*g*h^2
    EXPECT_EQ(F[8 + 0], 2.0 * (5.0 * 0.25));     // ny * 0.5*g*h^2
    EXPECT_EQ(F[4 + 2], -0.25 * (5.0 * (0.4 * 0.4)));  // a negative depth still presses
    EXPECT_GT(F[8 + 2], 0.0);
    EXPECT_EQ(F[3], 2.0 * 5 + 3.0 * 1);
    expectReference(c, c.run());
}

TEST(FaceFlux2d, ThresholdIsStrictAndNaNMeansDry) {
    const double t = 0.25;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Case c(3, 1);
    c.threshold = t;
    c.faces = {t, std::nextafter(t, 1.0), 2.0, /*hu*/ 1, 1, 4, /*hv*/ 0, 0, 6};
    c.nx = {1, 1, 1};
    c.ny = {0, 0, 0};
    CallResult r = c.run();
    const std::vector<double> F = kernel_host::values(r.outputs[0].get());
    EXPECT_EQ(F[3 + 0], (0.5 * 9.81) * (t * t));  // at the threshold: pressure only
    EXPECT_GT(F[3 + 1], (0.5 * 9.81) * (t * t) + 1.0);  // just above: advection 1/h as well
    expectReference(c, r);

    // A NaN threshold makes every node dry: only discharges and pressure remain.
    Case dry = c;
    dry.threshold = nan;
    const std::vector<double> D = kernel_host::values(dry.run().outputs[0].get());
    EXPECT_EQ(D[3 + 2], (0.5 * 9.81) * (2.0 * 2.0));
    EXPECT_EQ(D[6 + 2], 0.0);
}

TEST(FaceFlux2d, ExtraPagesAreIgnoredAndEmptyExtentsGiveEmptyOutput) {
    Case c(2, 3);
    c.pages = 5;
    c.faces = {1, 2, 3, 4, 0.5, 0.1, /*hu*/ 1, -1, 2, -2, 0, 3, /*hv*/ 0.5, 0.25, 1, 2, 3, -4};
    c.faces.resize(30, 77.0);
    c.nx = {1, 0, -1, 0.5, 0.6, 0.8};
    c.ny = {0, 1, 0, -0.5, 0.8, -0.6};
    CallResult r = c.run();
    Case three = c;
    three.pages = 3;
    three.faces.resize(18);
    expectValues(r.outputs[0].get(), kernel_host::values(three.run().outputs[0].get()));
    expectReference(c, r);

    for (auto [Nfp, Ne] : {std::pair<std::size_t, std::size_t>{0, 4}, {3, 0}}) {
        ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
        ArrayPtr x = doubleArray({0, 0}), y = doubleArray({0, 0});
        ArrayPtr f = doubleArray({Nfp, Ne});  // one page is enough when there is no node
        CallResult e = callOk(module(), 1, {&t, &g, &x, &y, &f});
        EXPECT_EQ(kernel_host::dimensions(e.outputs[0].get()), (std::vector<std::size_t>{Nfp, Ne, 3}));
    }
}

TEST(FaceFlux2d, RejectsInputsItWouldReadOutside) {
    ArrayPtr t = doubleScalar(0), g = doubleScalar(9.81);
    ArrayPtr x = doubleArray({2, 3}), y = doubleArray({2, 3});
    ArrayPtr f = doubleArray({2, 3, 3});
    const std::string id = "face_flux_2d:";

    ArrayPtr shortNormal = doubleArray({1, 5});
    CallResult r = callFails(module(), 1, {&t, &g, &shortNormal, &y, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("normalX"), std::string::npos) << r.message;
    r = callFails(module(), 1, {&t, &g, &x, &shortNormal, &f}, id + "tooFewElements");
    EXPECT_NE(r.message.find("normalY"), std::string::npos) << r.message;
    ArrayPtr int8Normal = kernel_host::int8Array({2, 3});
    callFails(module(), 1, {&t, &g, &x, &int8Normal, &f}, id + "notDouble");
    ArrayPtr singleNormal = kernel_host::numericArray(mxSINGLE_CLASS, {2, 3});
    callFails(module(), 1, {&t, &g, &singleNormal, &y, &f}, id + "notDouble");

    ArrayPtr twoPages = doubleArray({2, 3, 2});
    r = callFails(module(), 1, {&t, &g, &x, &y, &twoPages}, id + "tooFewPages");
    EXPECT_NE(r.message.find("faceValues"), std::string::npos) << r.message;
    ArrayPtr int8Faces = kernel_host::int8Array({2, 3, 3});
    callFails(module(), 1, {&t, &g, &x, &y, &int8Faces}, id + "notDouble");

    ArrayPtr empty = doubleArray({0, 0});
    callFails(module(), 1, {&empty, &g, &x, &y, &f}, id + "invalidScalar");
    callFails(module(), 1, {&t, &empty, &x, &y, &f}, id + "invalidScalar");

    // Longer normal arrays are fine: the first Nfp*Ne entries are read.
    ArrayPtr longNormal = doubleArray({1, 9});
    callOk(module(), 1, {&t, &g, &longNormal, &longNormal, &f});
}

}  // namespace
