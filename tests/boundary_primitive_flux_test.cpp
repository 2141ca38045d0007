// boundary_primitive_flux through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;

namespace {

const Module& module() {
    static Module m = Module::byName("boundary_primitive_flux");
    return m;
}

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(BoundaryPrimitiveFlux, ProductExceptWhereTheIndicatorIsMinusOne) {
    const std::size_t Nfp = 5, Nbe = 41, n = Nfp * Nbe;  // odd count: the loop's tail is covered
    std::mt19937_64 rng(11);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    const double indicators[] = {-1.0, 0.0, 1.0, -2.0, -0.5, kNaN, std::nextafter(-1.0, 0.0),
                                 std::nextafter(-1.0, -2.0), -1.0, kInf};
    std::vector<double> indicator(n), variable(n), normal(n);
    for (std::size_t j = 0; j < n; ++j) {
        indicator[j] = indicators[j % 10];
        variable[j] = u(rng);
        normal[j] = u(rng);
    }
    // Products that are infinite or NaN, on switched-off and on live nodes.
    variable[0] = kInf, normal[0] = 0.0;     // indicator -1
    variable[8] = kNaN;                      // indicator -1
    variable[10] = kInf, normal[10] = 0.0;   // indicator -1
    variable[15] = kNaN;                     // indicator NaN: the product
    variable[11] = 1e200, normal[11] = 1e200;
    // The first two inputs have other shapes: only their flat order counts.
    ArrayPtr ind = doubleArray({1, n}, indicator);
    ArrayPtr var = doubleArray({n, 1}, variable);
    ArrayPtr nor = doubleArray({Nfp, Nbe}, normal);
    CallResult r = callOk(module(), 1, {&ind, &var, &nor});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Nfp, Nbe}));
    std::vector<double> expected(n);
    for (std::size_t j = 0; j < n; ++j) {
        expected[j] = indicator[j] == -1.0 ? 0.0 : variable[j] * normal[j];
    }
    expectValues(r.outputs[0].get(), expected);
    const std::vector<double> out = kernel_host::values(r.outputs[0].get());
    EXPECT_FALSE(std::signbit(out[0]));
    EXPECT_TRUE(std::isnan(out[15]));
    EXPECT_EQ(out[11], kInf);
}

TEST(BoundaryPrimitiveFlux, LongerInputsAndEmptyExtents) {
    ArrayPtr ind = doubleArray({1, 6}, {-1, 2, 3, 4, 5, 6});
    ArrayPtr var = doubleArray({3, 3}, {2, 2, 2, 2, 9, 9, 9, 9, 9});
    ArrayPtr nor = doubleArray({2, 2}, {1, 2, 3, 4});
    expectValues(callOk(module(), 1, {&ind, &var, &nor}).outputs[0].get(), {0, 4, 6, 8});

    ArrayPtr empty = doubleArray({0, 0});
    for (auto [Nfp, Nbe] : {std::pair<std::size_t, std::size_t>{0, 7}, {4, 0}}) {
        ArrayPtr shape = doubleArray({Nfp, Nbe});
        CallResult r = callOk(module(), 1, {&empty, &empty, &shape});
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Nfp, Nbe}));
    }
}

TEST(BoundaryPrimitiveFlux, RejectsShortOrNonDoubleInputs) {
    ArrayPtr good = doubleArray({2, 3}, std::vector<double>(6, 1.0));
    ArrayPtr shortOne = doubleArray({1, 5}, std::vector<double>(5, 1.0));
    CallResult r = callFails(module(), 1, {&shortOne, &good, &good}, "boundary_primitive_flux:tooFewElements");
    EXPECT_NE(r.message.find("edgeIndicator"), std::string::npos) << r.message;
    r = callFails(module(), 1, {&good, &shortOne, &good}, "boundary_primitive_flux:tooFewElements");
    EXPECT_NE(r.message.find("variableValues"), std::string::npos) << r.message;
    ArrayPtr singles = kernel_host::numericArray(mxSINGLE_CLASS, {2, 3});
    callFails(module(), 1, {&singles, &good, &good}, "boundary_primitive_flux:notDouble");
    callFails(module(), 1, {&good, &good, &singles}, "boundary_primitive_flux:notDouble");
    ArrayPtr sparseShape = kernel_host::sparseArray(2, 3, {0, 0, 0, 0}, {}, {});
    callFails(module(), 1, {&good, &good, &sparseShape}, "boundary_primitive_flux:notDouble");
}

}  // namespace
