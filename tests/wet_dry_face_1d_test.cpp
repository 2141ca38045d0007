// wet_dry_face_1d through the stand-alone host.
#include <limits>

#include "face_set.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("wet_dry_face_1d");
    return m;
}

std::vector<ArrayPtr> inputs(const std::vector<std::int8_t>& status, const std::vector<double>& faceToElement) {
    std::vector<ArrayPtr> in;
    in.push_back(int8Array({1, status.size()}, status));
    in.push_back(doubleArray({2, faceToElement.size() / 2}, faceToElement));
    return in;
}

TEST(WetDryFace1d, MarksEveryFaceThatTouchesANonWetElement) {
    // Elements: wet, Dry, PressureFree, wet, code 0, code -4, code 6.
    const std::vector<std::int8_t> status{4, 5, 7, 4, 0, -4, 6};
    // Faces: wet-wet, wet-Dry, PressureFree-wet, wet-code 0, code -4-wet,
    // wet-code 6, Dry-PressureFree, and wet-wet written as 4.9 and 1.2.
    const std::vector<double> faces{1, 4, 1, 2, 3, 1, 4, 5, 6, 1, 4, 7, 2, 3, 4.9, 1.2};
    CallResult r = callWith(module(), 1, inputs(status, faces));
    ASSERT_EQ(r.outputs.size(), 1u);
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{1, 8}));
    expectValues(r.outputs[0].get(), {0, 1, 1, 1, 1, 1, 1, 0});
}

TEST(WetDryFace1d, NoFacesGiveAOneByZeroMarker) {
    for (std::vector<std::size_t> dims : {std::vector<std::size_t>{2, 0}, std::vector<std::size_t>{0, 0}}) {
        std::vector<ArrayPtr> in;
        in.push_back(int8Array({1, 0}));
        in.push_back(doubleArray(dims));
        CallResult r = callWith(module(), 1, in);
        ASSERT_EQ(r.outputs.size(), 1u);
        EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{1, 0}));
    }
}

TEST(WetDryFace1d, RejectsInputsItWouldReadOutside) {
    const std::vector<std::int8_t> status{4, 4, 5};
    for (double bad : {0.0, 0.5, 4.0, -2.0, std::numeric_limits<double>::quiet_NaN(),
                       std::numeric_limits<double>::infinity()}) {
        for (std::size_t entry : {0, 1, 2, 3}) {
            std::vector<double> faces{1, 2, 3, 2};
            faces[entry] = bad;
            CallResult r = callWith(module(), 1, inputs(status, faces), "indexOutOfRange");
            EXPECT_NE(r.message.find("faceToElement"), std::string::npos) << r.message;
            EXPECT_NE(r.message.find("entry " + std::to_string(entry + 1)), std::string::npos) << r.message;
        }
    }
    // K is the number of status entries: element 3 needs three.
    callWith(module(), 1, inputs({4, 4}, {1, 2, 3, 2}), "indexOutOfRange");
    callWith(module(), 1, inputs({4, 4, 4}, {1, 2, 3.999, 2}));

    std::vector<ArrayPtr> in = inputs(status, {1, 2, 3, 2});
    in[1] = doubleArray({1, 2}, {1, 2});  // one row: 2 faces need 4 entries
    callWith(module(), 1, in, "tooFewElements");
    in[1] = int8Array({2, 2}, {1, 2, 3, 2});
    callWith(module(), 1, in, "notDouble");
    in = inputs(status, {1, 2, 3, 2});
    in[0] = kernel_host::sparseArray(3, 1, {0, 0}, {}, {});
    callWith(module(), 1, in, "tooFewBytes");
}

}  // namespace
