// boundary_type through the stand-alone host, and the BoundaryType codes of
// the frame.
#include "boundary_type_codes.hpp"
#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("boundary_type");
    return m;
}

const std::string kNotice = "Unknown or Unrealized boundary type\n";

std::string notices(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kNotice;
    }
    return text;
}

TEST(BoundaryTypeCodes, FourteenMembersAndTheirRanges) {
    using kernels::BoundaryType;
    const BoundaryType members[] = {
        BoundaryType::Unrealized0,  BoundaryType::Unrealized1,  BoundaryType::Realized2,   BoundaryType::Realized3,
        BoundaryType::Realized4,    BoundaryType::Realized5,    BoundaryType::Realized6,   BoundaryType::Realized7,
        BoundaryType::Unrealized8,  BoundaryType::Unrealized9,  BoundaryType::Unrealized10, BoundaryType::Unrealized11,
        BoundaryType::Unrealized12, BoundaryType::Special13};
    for (int code = 0; code < 14; ++code) {
        EXPECT_EQ(static_cast<int>(members[code]), code);
    }
    for (int code = -128; code <= 127; ++code) {
        EXPECT_EQ(kernels::isRealizedBoundary(code), code >= 2 && code <= 7) << code;
        EXPECT_EQ(kernels::isKnownBoundary(code), code >= 0 && code <= 13) << code;
    }
}

TEST(BoundaryType, RealisedFacesMaskedOthersAnnouncedInFaceOrder) {
    const std::vector<std::int8_t> codes = {3, 9, 3, 0, 1, 2, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, -1, 127, -128};
    const std::size_t Nfp = 3, Nbe = codes.size();
    ArrayPtr types = int8Array({1, Nbe}, codes);
    ArrayPtr faceNodes = doubleArray({Nfp, Nbe}, std::vector<double>(Nfp * Nbe, 7.5));
    CallResult r = callOk(module(), 1, {&types, &faceNodes});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Nfp, Nbe}));
    std::vector<double> expected;
    int unrealised = 0;
    for (std::int8_t t : codes) {
        const bool realised = t >= 2 && t <= 7;
        unrealised += !realised;
        expected.insert(expected.end(), Nfp, realised ? 1.0 : 0.0);
    }
    expectValues(r.outputs[0].get(), expected);
    EXPECT_EQ(unrealised, 12);
    EXPECT_EQ(kernel_host::takeConsole(), notices(unrealised));
}

TEST(BoundaryType, AllRealisedPrintsNothing) {
    ArrayPtr types = int8Array({6, 1}, {2, 3, 4, 5, 6, 7});
    ArrayPtr faceNodes = doubleArray({2, 6});
    CallResult r = callOk(module(), 1, {&types, &faceNodes});
    expectValues(r.outputs[0].get(), std::vector<double>(12, 1.0));
    EXPECT_EQ(kernel_host::takeConsole(), "");
}

TEST(BoundaryType, EmptyExtents) {
    // No nodes per face: an empty mask, yet one notice per unrealised face.
    ArrayPtr types = int8Array({1, 4}, {0, 3, 13, -5});
    ArrayPtr noNodes = doubleArray({0, 4});
    CallResult r = callOk(module(), 1, {&types, &noNodes});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{0, 4}));
    EXPECT_EQ(kernel_host::takeConsole(), notices(3));

    // No faces: nothing read, nothing printed.
    ArrayPtr noTypes = int8Array({0, 0});
    ArrayPtr noFaces = doubleArray({5, 0});
    r = callOk(module(), 1, {&noTypes, &noFaces});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{5, 0}));
    EXPECT_EQ(kernel_host::takeConsole(), "");
}

TEST(BoundaryType, ExtraCodesAreIgnoredAndNoOutputStillGivesAns) {
    ArrayPtr types = int8Array({1, 3}, {4, 0, 99});
    ArrayPtr faceNodes = doubleArray({2, 2});
    CallResult r = callOk(module(), 0, {&types, &faceNodes});
    expectValues(r.outputs[0].get(), {1, 1, 0, 0});
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:boundary_type.cpp:InvalidNumberOutput,\n" + kNotice);
}

TEST(BoundaryType, RejectsTooFewCodesBeforePrintingAnything) {
    ArrayPtr types = int8Array({1, 2}, {0, 1});
    ArrayPtr faceNodes = doubleArray({2, 3});
    CallResult r = callFails(module(), 1, {&types, &faceNodes}, "boundary_type:tooFewBytes");
    EXPECT_NE(r.message.find("boundaryTypes"), std::string::npos) << r.message;
    EXPECT_EQ(kernel_host::takeConsole(), "");
    ArrayPtr sparseTypes = kernel_host::sparseArray(1, 3, {0, 0, 0, 0}, {}, {});
    callFails(module(), 1, {&sparseTypes, &faceNodes}, "boundary_type:tooFewBytes");
}

}  // namespace
