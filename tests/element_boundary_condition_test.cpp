// element_boundary_condition through the stand-alone host.
#include <limits>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("element_boundary_condition");
    return m;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Case {
    std::size_t Nface = 3, K = 6;
    std::vector<double> faces;     // 1-based local faces, one per boundary face
    std::vector<double> elements;  // 1-based elements
    std::vector<std::int8_t> codes;
    double secondRow = kNaN;       // what the unread second rows hold

    ArrayPtr indexArray(const std::vector<double>& firstRow) const {
        std::vector<double> v;
        for (double x : firstRow) {
            v.push_back(x);
            v.push_back(secondRow);
        }
        return doubleArray({2, firstRow.size()}, v);
    }
    CallResult run() const {
        ArrayPtr t = doubleArray({Nface, K}, std::vector<double>(Nface * K, -3.0));
        ArrayPtr f = indexArray(faces), e = indexArray(elements);
        ArrayPtr c = int8Array({codes.size(), 1}, codes);
        return callOk(module(), 1, {&t, &f, &e, &c});
    }
    CallResult fail(const std::string& reason) const {
        ArrayPtr t = doubleArray({Nface, K});
        ArrayPtr f = indexArray(faces), e = indexArray(elements);
        ArrayPtr c = int8Array({codes.size(), 1}, codes);
        return callFails(module(), 1, {&t, &f, &e, &c}, "element_boundary_condition:" + reason);
    }
};

TEST(ElementBoundaryCondition, KnownCodesMarkTheirPositionOthersWriteNothing) {
    Case c;
    std::vector<double> expected(c.Nface * c.K, 0.0);
    // Codes -2..15 at distinct positions, plus the extremes of int8.
    const std::vector<int> codes = {-2, -1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const std::size_t face = i % c.Nface, element = i / c.Nface;
        c.faces.push_back(face + 1 + 0.75);  // truncated toward zero
        c.elements.push_back(element + 1);
        c.codes.push_back(static_cast<std::int8_t>(codes[i]));
        if (codes[i] >= 0 && codes[i] <= 12) {
            expected[element * c.Nface + face] = 1.0;
        } else if (codes[i] == 13) {
            expected[element * c.Nface + face] = 2.0;
        }
    }
    CallResult r = c.run();
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{3, 6}));
    expectValues(r.outputs[0].get(), expected);
    EXPECT_EQ(kernel_host::takeConsole(), "");

    // The second rows are never read: garbage there changes nothing.
    for (double garbage : {1.0e300, -7.0, 0.0}) {
        c.secondRow = garbage;
        expectValues(c.run().outputs[0].get(), expected);
    }
}

TEST(ElementBoundaryCondition, LaterFaceWinsAtASharedPosition) {
    Case c;
    c.faces = {2, 2, 1, 1, 3, 3};
    c.elements = {5, 5, 4, 4, 1, 1};
    c.codes = {3, 13, 13, 3, 12, 127};  // 127 writes nothing, so 1.0 stays
    std::vector<double> expected(18, 0.0);
    expected[4 * 3 + 1] = 2.0;
    expected[3 * 3 + 0] = 1.0;
    expected[0 * 3 + 2] = 1.0;
    expectValues(c.run().outputs[0].get(), expected);
}

TEST(ElementBoundaryCondition, NoBoundaryFacesGiveZeros) {
    Case c;
    expectValues(c.run().outputs[0].get(), std::vector<double>(18, 0.0));
    ArrayPtr t = doubleArray({0, 4}), none = doubleArray({2, 0});
    ArrayPtr codes = int8Array({0, 0});
    CallResult r = callOk(module(), 1, {&t, &none, &none, &codes});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{0, 4}));
}

TEST(ElementBoundaryCondition, RejectsIndicesOutsideTheTable) {
    // Local faces must lie in 1..Nface = 3 and elements in 1..K = 6 once
    // truncated; nothing wraps around.
    for (double bad : {0.0, 0.99, -0.5, -1.0, kNaN, 4.0, std::numeric_limits<double>::infinity(), 1.9e19}) {
        Case c;
        c.faces = {1, bad};
        c.elements = {1, 2};
        c.codes = {0, 1};
        CallResult r = c.fail("indexOutOfRange");
        EXPECT_NE(r.message.find("boundaryFaceToFace"), std::string::npos) << r.message;
    }
    for (double bad : {0.0, -3.0, kNaN, 7.0, 1.0e300}) {
        Case c;
        c.faces = {1, 3};
        c.elements = {bad, 6.99};
        c.codes = {100, 1};  // an index is checked even where the code writes nothing
        CallResult r = c.fail("indexOutOfRange");
        EXPECT_NE(r.message.find("boundaryFaceToElement"), std::string::npos) << r.message;
    }
}

TEST(ElementBoundaryCondition, RejectsShortOrNonDoubleIndexArrays) {
    ArrayPtr t = doubleArray({3, 6});
    ArrayPtr codes = int8Array({1, 3}, {1, 2, 3});
    ArrayPtr full = doubleArray({2, 3}, {1, 1, 2, 2, 3, 3});
    ArrayPtr firstRowOnly = doubleArray({1, 3}, {1, 2, 3});  // 3 < 2*Nbe entries
    callFails(module(), 1, {&t, &firstRowOnly, &full, &codes}, "element_boundary_condition:tooFewElements");
    callFails(module(), 1, {&t, &full, &firstRowOnly, &codes}, "element_boundary_condition:tooFewElements");
    ArrayPtr int8Indices = int8Array({2, 3}, {1, 1, 2, 2, 3, 3});
    callFails(module(), 1, {&t, &int8Indices, &full, &codes}, "element_boundary_condition:notDouble");
    ArrayPtr sparseCodes = kernel_host::sparseArray(1, 3, {0, 0, 0, 0}, {}, {});
    callFails(module(), 1, {&t, &full, &full, &sparseCodes}, "element_boundary_condition:tooFewBytes");
    callOk(module(), 1, {&t, &full, &full, &codes});
}

}  // namespace
