// point_to_cell_info through the stand-alone host.
#include <limits>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleScalar;
using kernel_host::sparseArray;

namespace {

const Module& module() {
    static Module m = Module::byName("point_to_cell_info");
    return m;
}

// Cells x points, stored entries at (1,1), (3,1) and (2,2) in MATLAB terms.
ArrayPtr threeByTwo() {
    return sparseArray(3, 2, {0, 2, 3}, {0, 2, 1}, {1.0, 1.0, 1.0});
}

TEST(PointToCellInfo, ZeroBasedStructureOfTheLeadingColumns) {
    ArrayPtr matrix = threeByTwo();
    struct Expected {
        double count;
        std::vector<double> starts, rows;
    };
    const Expected cases[] = {{2, {0, 2, 3}, {0, 2, 1}},   {2.9, {0, 2, 3}, {0, 2, 1}},
                              {1, {0, 2}, {0, 2}},         {1.99, {0, 2}, {0, 2}},
                              {0, {0}, {}},                {-0.5, {0}, {}}};
    for (const Expected& e : cases) {
        ArrayPtr count = doubleScalar(e.count);
        CallResult r = callOk(module(), 2, {&count, &matrix});
        ASSERT_EQ(r.outputs.size(), 2u);
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{e.starts.size(), 1}));
        EXPECT_EQ(kernel_host::dimensions(r.outputs[1].get()), (std::vector<std::size_t>{e.rows.size(), 1}));
        expectValues(r.outputs[0].get(), e.starts);
        expectValues(r.outputs[1].get(), e.rows);
    }
}

TEST(PointToCellInfo, NoStoredEntriesAndLargeIndices) {
    ArrayPtr empty = sparseArray(4, 3, {0, 0, 0, 0}, {}, {});
    ArrayPtr three = doubleScalar(3);
    CallResult r = callOk(module(), 2, {&three, &empty});
    expectValues(r.outputs[0].get(), {0, 0, 0, 0});
    EXPECT_EQ(kernel_host::dimensions(r.outputs[1].get()), (std::vector<std::size_t>{0, 1}));

    // Indices near 2^31 come back exactly.
    const std::size_t big = 2147483647;
    ArrayPtr tall = sparseArray(big, 2, {0, 1, 2}, {big - 1, 12345678}, {1.0, 1.0});
    ArrayPtr two = doubleScalar(2);
    r = callOk(module(), 2, {&two, &tall});
    expectValues(r.outputs[0].get(), {0, 1, 2});
    expectValues(r.outputs[1].get(), {2147483646.0, 12345678.0});
}

TEST(PointToCellInfo, RejectsACountOutsideTheColumnsAndFullMatrices) {
    ArrayPtr matrix = threeByTwo();
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {-1.0, -7.5, 3.0, 1e12, 4294967298.0, std::numeric_limits<double>::quiet_NaN(), inf, -inf}) {
        ArrayPtr count = doubleScalar(bad);
        CallResult r = callFails(module(), 2, {&count, &matrix}, "point_to_cell_info:columnCountOutOfRange");
        EXPECT_NE(r.message.find("columnCount"), std::string::npos) << r.message;
    }
    ArrayPtr two = doubleScalar(2);
    ArrayPtr full = kernel_host::doubleArray({3, 2}, {1, 0, 1, 0, 1, 0});
    callFails(module(), 2, {&two, &full}, "point_to_cell_info:notSparse");
    ArrayPtr noCount = kernel_host::doubleArray({0, 1});
    callFails(module(), 2, {&noCount, &matrix}, "point_to_cell_info:invalidScalar");
    // One output is not enough: the second slot does not exist.
    callFails(module(), 1, {&two, &matrix}, "point_to_cell_info:invalidNumberOfOutputs");
}

}  // namespace
