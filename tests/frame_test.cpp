// The kernel frame: argument-count diagnostics, the host error path, the
// interface version export, the per-node functions and the index checks.
#include <cmath>
#include <limits>

#include "kernel_frame.hpp"
#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;
using kernel_host::int8Array;

namespace {

const Module& prebalance() {
    static Module module = Module::byName("prebalance_volume_flux_2d");
    return module;
}

struct PrebalanceInputs {
    ArrayPtr threshold = doubleScalar(1e-3);
    ArrayPtr gravity = doubleScalar(9.81);
    ArrayPtr status = int8Array({1, 2}, {4, 4});
    ArrayPtr fields = doubleArray({2, 2, 4}, std::vector<double>(16, 1.0));
};

TEST(ArgumentCounts, OneInputTooManyPrintsTwoLinesThenFails) {
    PrebalanceInputs in;
    CallResult r = callFails(prebalance(), 2, {&in.threshold, &in.gravity, &in.status, &in.fields, &in.fields},
                             "prebalance_volume_flux_2d:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(),
              "Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberInput,\n4 inputs required.\n");
    EXPECT_NE(r.message.find("4 inputs"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("5 were given"), std::string::npos) << r.message;
}

TEST(ArgumentCounts, TooFewInputsNeverReadsTheMissingOnes) {
    PrebalanceInputs in;
    callFails(prebalance(), 2, {&in.threshold}, "prebalance_volume_flux_2d:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(),
              "Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberInput,\n4 inputs required.\n");
}

TEST(ArgumentCounts, WrongOutputCountPrintsOneLineThenFails) {
    PrebalanceInputs in;
    callFails(prebalance(), 1, {&in.threshold, &in.gravity, &in.status, &in.fields},
              "prebalance_volume_flux_2d:invalidNumberOfOutputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberOutput,\n");
    // nlhs = 0 is not enough for a two-output module either.
    callFails(prebalance(), 0, {&in.threshold, &in.gravity, &in.status, &in.fields},
              "prebalance_volume_flux_2d:invalidNumberOfOutputs");
}

TEST(ArgumentCounts, BothWrongPrintsInputLinesFirst) {
    PrebalanceInputs in;
    callFails(prebalance(), 3, {&in.threshold, &in.gravity, &in.status}, "prebalance_volume_flux_2d:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(),
              "Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberInput,\n4 inputs required.\n"
              "Matlab:prebalance_volume_flux_2d.cpp:InvalidNumberOutput,\n");
}

TEST(ArgumentCounts, NoOutputOnAOneOutputModuleOnlyWarns) {
    // Called directly: the diagnostic is printed and the call goes on.
    kernel_host::takeConsole();
    const kernels::ModuleSignature& faceFlux = kernels::moduleSignature("face_flux_2d");
    EXPECT_NO_THROW(kernels::checkArgumentCounts(faceFlux, 0, 5));
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:face_flux_2d.cpp:InvalidNumberOutput,\n");
    EXPECT_NO_THROW(kernels::checkArgumentCounts(faceFlux, 1, 5));
    EXPECT_EQ(kernel_host::takeConsole(), "");
    EXPECT_ANY_THROW(kernels::checkArgumentCounts(faceFlux, 2, 5));
    EXPECT_ANY_THROW(kernels::checkArgumentCounts(faceFlux, 0, 4));
}

TEST(ModuleTable, HasTwentyModulesWithTheirCounts) {
    EXPECT_EQ(std::size(kernels::kModuleTable), 20u);
    EXPECT_EQ(kernels::moduleSignature("mesh_connection").inputs, 13);
    EXPECT_EQ(kernels::moduleSignature("mesh_connection").outputs, 3);
    EXPECT_EQ(kernels::moduleSignature("inner_edge_strong_rhs").inputs, 10);
    EXPECT_EQ(kernels::moduleSignature("point_to_cell_info").outputs, 2);
    EXPECT_STREQ(kernels::moduleSignature("boundary_type").sourceFile, "boundary_type.cpp");
}

TEST(HostInterface, ModuleDeclaresTheLargeArrayInterfaceAtLoad) {
    EXPECT_EQ(prebalance().builtByRelease(), 131595u);
    EXPECT_EQ(prebalance().targetApiVersion(), 0x7300000u);
}

TEST(HostInterface, AnErrorReclaimsWhatTheCallMadeAndKeepsTheInputs) {
    PrebalanceInputs in;
    ArrayPtr shortStatus = int8Array({1, 1}, {4});
    const std::size_t before = kernel_host::liveArrayCount();
    CallResult r = callFails(prebalance(), 2, {&in.threshold, &in.gravity, &shortStatus, &in.fields},
                             "prebalance_volume_flux_2d:tooFewBytes");
    EXPECT_TRUE(r.outputs.empty());
    EXPECT_EQ(kernel_host::liveArrayCount(), before);
    EXPECT_EQ(kernel_host::values(in.fields.get()), std::vector<double>(16, 1.0));
}

TEST(HostInterface, ArraysAreZeroFilledColumnMajorWithMatlabExtents) {
    ArrayPtr a = doubleArray({2, 3, 4});
    EXPECT_EQ(mxGetM(a.get()), 2u);
    EXPECT_EQ(mxGetN(a.get()), 12u);
    EXPECT_EQ(mxGetNumberOfDimensions(a.get()), 3u);
    EXPECT_EQ(kernel_host::values(a.get()), std::vector<double>(24, 0.0));
    ArrayPtr trailing = doubleArray({2, 3, 1});
    EXPECT_EQ(mxGetNumberOfDimensions(trailing.get()), 2u);
    ArrayPtr sparse = kernel_host::sparseArray(3, 2, {0, 2, 3}, {0, 2, 1}, {1, 1, 1});
    EXPECT_TRUE(mxIsSparse(sparse.get()));
    EXPECT_EQ(mxGetJc(sparse.get())[2], 3u);
    EXPECT_EQ(mxGetIr(sparse.get())[1], 2u);
}

// Empty arrays whose extents multiply past 64 bits, or hold 2^63 and more,
// end the call before any extent product is formed unchecked.
TEST(HugeExtents, EndTheCallTooLargeOrOutOfMemory) {
    const std::size_t big = std::size_t{1} << 32, huge = std::size_t{1} << 62;
    const std::size_t negative = std::size_t{1} << 63;
    PrebalanceInputs in;
    ArrayPtr wideFields = doubleArray({big, big, 0});
    callFails(prebalance(), 2, {&in.threshold, &in.gravity, &in.status, &wideFields},
              "prebalance_volume_flux_2d:tooLarge");
    ArrayPtr faces = doubleArray({0, huge}), none = int8Array({0, 0});
    callFails(Module::byName("wet_dry_face_1d"), 1, {&none, &faces}, "wet_dry_face_1d:tooLarge");
    ArrayPtr negativeTemplate = doubleArray({0, negative});
    callFails(Module::byName("boundary_type"), 1, {&none, &negativeTemplate}, "boundary_type:tooLarge");
    ArrayPtr empty = doubleArray({0, 0}), noFaces = doubleArray({2, 0});
    ArrayPtr flux = doubleArray({0, huge});
    callFails(Module::byName("inner_edge_strong_rhs"), 1,
              {&empty, &empty, &noFaces, &empty, &empty, &empty, &empty, &flux, &flux, &flux},
              "inner_edge_strong_rhs:tooLarge");
    // Faces without nodes but with 2^62 fields: an empty result, at once.
    ArrayPtr oneFace = doubleArray({2, 1}, {1, 1}), noNodes = doubleArray({0, 1});
    ArrayPtr manyFields = doubleArray({0, 1, huge});
    CallResult r = callOk(Module::byName("bottom_edge_alter_rhs"), 1,
                          {&empty, &empty, &oneFace, &empty, &empty, &empty, &noNodes, &manyFields, &manyFields});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{0, 1, huge}));
    // An empty field array of 2^62 or more nodes and no element: empty outputs
    // of three pages, whose page offsets are formed without overflow.
    for (std::size_t nodes : {huge, negative - 1}) {
        ArrayPtr tallFields = doubleArray({nodes, 0});
        r = callOk(prebalance(), 2, {&in.threshold, &in.gravity, &none, &tallFields});
        EXPECT_EQ(kernel_host::dimensions(r.outputs[1].get()), (std::vector<std::size_t>{nodes, 0, 3}));
        ArrayPtr tallFaces = doubleArray({nodes, 0, 1});
        r = callOk(Module::byName("face_flux_2d"), 1, {&in.threshold, &in.gravity, &empty, &empty, &tallFaces});
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{nodes, 0, 3}));
    }
    // An output the host cannot make ends the call as MATLAB's out-of-memory.
    ArrayPtr sparseTemplate = kernel_host::sparseArray(huge / 4, 4, {0, 0, 0, 0, 0}, {}, {});
    callFails(Module::byName("element_boundary_condition"), 1, {&sparseTemplate, &noFaces, &noFaces, &none},
              "kernelhost:outOfMemory");
    EXPECT_ANY_THROW(doubleArray({big, big}));
}

TEST(Velocity, ZeroAtOrBelowTheThresholdAndForNaN) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    kernels::Velocity atThreshold = kernels::velocityFromDischarge(0.5, 0.5, 1.0, 2.0);
    EXPECT_TRUE(sameDouble(atThreshold.u, 0.0));
    EXPECT_TRUE(sameDouble(atThreshold.v, 0.0));
    kernels::Velocity above = kernels::velocityFromDischarge(0.5, std::nextafter(0.5, 1.0), 1.0, 2.0);
    EXPECT_TRUE(sameDouble(above.u, 1.0 / std::nextafter(0.5, 1.0)));
    EXPECT_TRUE(sameDouble(above.v, 2.0 / std::nextafter(0.5, 1.0)));
    EXPECT_TRUE(sameDouble(kernels::velocityFromDischarge(nan, 1.0, 1.0, 1.0).u, 0.0));
    EXPECT_TRUE(sameDouble(kernels::velocityFromDischarge(0.0, nan, 1.0, 1.0).v, 0.0));
    EXPECT_TRUE(sameDouble(kernels::velocityFromDischarge1d(0.5, 0.5, 3.0), 0.0));
    EXPECT_TRUE(sameDouble(kernels::velocityFromDischarge1d(0.5, 2.0, 3.0), 1.5));
    // A zero depth below a negative threshold divides: the rule has no guard of its own.
    EXPECT_TRUE(std::isinf(kernels::velocityFromDischarge1d(-1.0, 0.0, 3.0)));
}

TEST(MarkNonWetFaces, OnlyFacesBetweenTwoWetElementsStayUnmarked) {
    const std::int8_t status[] = {4, 5, 7, 4, 0, -4};
    // Faces: (1,4) wet-wet, (1,2) wet-dry, (3,1) pressure-free-wet, (4,5) code 0,
    // (6,1) code -4, (2,3) both non-wet, (4.9,1.2) truncates to (4,1).
    const double faceToElement[] = {1, 4, 1, 2, 3, 1, 4, 5, 6, 1, 2, 3, 4.9, 1.2};
    double marker[7] = {0, 0, 0, 0, 0, 0, 0.5};
    kernels::markNonWetFaces(status, faceToElement, 7, marker);
    const double expected[] = {0, 1, 1, 1, 1, 1, 0.5};
    for (int f = 0; f < 7; ++f) {
        EXPECT_EQ(marker[f], expected[f]) << "face " << f;
    }
}

TEST(IndexChecks, TruncatedIndicesMustNameAnElement) {
    const kernels::ModuleSignature& m = kernels::moduleSignature("wet_dry_face_1d");
    auto check = [&](std::vector<double> entries) {
        ArrayPtr a = doubleArray({2, entries.size() / 2}, entries);
        kernels::requireIndices(kernels::Argument{m, a.get(), 1, "faceToElement"},
                                static_cast<std::ptrdiff_t>(entries.size()), 1, 0, 3, "K");
    };
    EXPECT_NO_THROW(check({1, 3, 3.99, 1.0}));
    EXPECT_ANY_THROW(check({1, 0}));
    EXPECT_ANY_THROW(check({0.99, 1}));
    EXPECT_ANY_THROW(check({1, 4}));
    EXPECT_ANY_THROW(check({1, -1}));
    EXPECT_ANY_THROW(check({1, std::nan("")}));
    EXPECT_ANY_THROW(check({1, std::numeric_limits<double>::infinity()}));
    EXPECT_ANY_THROW(check({1, 1e300}));
}

}  // namespace
