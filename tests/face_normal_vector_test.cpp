// face_normal_vector through the stand-alone host.
#include <cmath>
#include <limits>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;

namespace {

const Module& module() {
    static Module m = Module::byName("face_normal_vector");
    return m;
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// The face tables of a small mesh. Boundary faces (Nfpb = 2, Nbe = 4): element
// 3 face 1, element 5 faces 2 and 3, and element 5 face 2 again (never reached:
// the first match wins). Row 2 of both boundary tables holds values that would
// match if it were read. Inner faces (Nfp = 3, Nface = 4): (2, 3), (3, 2),
// (7.9, -0.5) and (3, 3). Every node value is distinct, so the node read shows
// in the result.
struct Tables {
    std::size_t Nfpb = 2, Nbe = 4, Nfp = 3, Nface = 4;
    std::vector<double> boundaryFaceToFace = {1, 2, 2, 2, 3, 2, 2, 2};
    std::vector<double> boundaryFaceToElement = {3, 5, 5, 5, 5, 5, 5, 5};
    std::vector<double> boundaryNormalX = {0.6, -1, 0.0, -2, 1.0, -3, -0.8, -4};
    std::vector<double> boundaryNormalY = {0.8, -5, -1.0, -6, 0.0, -7, 0.6, -8};
    std::vector<double> boundaryFaceScalar = {11, -9, 12, -10, 13, -11, 14, -12};
    std::vector<double> normalX = {0.0, 91, 92, 0.28, 93, 94, -0.96, 95, 96, 0.5, 97, 98};
    std::vector<double> normalY = {1.0, 81, 82, -0.96, 83, 84, 0.28, 85, 86, 0.5, 87, 88};
    std::vector<double> faceToElement = {2, 3, 3, 2, 7.9, -0.5, 3, 3};
    std::vector<double> faceScalar = {-21, 71, 72, 22, 73, 74, -23, 75, 76, 24, 77, 78};

    CallResult call(double e, double a, double l, bool expectOk = true) const {
        ArrayPtr in[12] = {doubleScalar(e),
                           doubleScalar(a),
                           doubleScalar(l),
                           doubleArray({2, Nbe}, boundaryFaceToFace),
                           doubleArray({Nfpb, Nbe}, boundaryNormalX),
                           doubleArray({Nfpb, Nbe}, boundaryNormalY),
                           doubleArray({2, Nbe}, boundaryFaceToElement),
                           doubleArray({Nfp, Nface}, normalX),
                           doubleArray({Nfp, Nface}, normalY),
                           doubleArray({2, Nface}, faceToElement),
                           doubleArray({Nfpb, Nbe}, boundaryFaceScalar),
                           doubleArray({Nfp, Nface}, faceScalar)};
        std::vector<const mxArray*> raw;
        for (const ArrayPtr& p : in) {
            raw.push_back(p.get());
        }
        kernel_host::takeConsole();
        CallResult r = module().call(3, raw);
        if (expectOk) {
            EXPECT_TRUE(r.ok) << r.identifier << ": " << r.message;
        }
        return r;
    }
};

// The three outputs are 1 x 1 and hold exactly (nx, ny, s).
void expectNormal(const CallResult& r, double nx, double ny, double s) {
    ASSERT_TRUE(r.ok) << r.identifier;
    ASSERT_EQ(r.outputs.size(), 3u);
    const double expected[3] = {nx, ny, s};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(kernel_host::dimensions(r.outputs[i].get()), (std::vector<std::size_t>{1, 1}));
        expectValues(r.outputs[i].get(), {expected[i]});
    }
}

void expectNoOutput(const CallResult& r) {
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.identifier, "kernelhost:unassignedOutput") << r.message;
}

TEST(FaceNormalVector, BoundaryFaceGivesItsFirstNodeAndTheFirstMatchWins) {
    const Tables t;
    expectNormal(t.call(3, 3, 1), 0.6, 0.8, 11);
    // Element 5 face 2 is stored twice (columns 2 and 4): column 2 wins.
    expectNormal(t.call(5, 5, 2), 0.0, -1.0, 12);
    // Element 5's faces are told apart by localFaceIndex alone.
    expectNormal(t.call(5, 5, 3), 1.0, 0.0, 13);
    expectNoOutput(t.call(5, 5, 1, false));
}

TEST(FaceNormalVector, BoundarySearchIgnoresTheInnerTablesAndRowTwo) {
    const Tables t;
    // Element 3 sits on inner faces, including (3, 3); a boundary query never
    // looks there.
    expectNoOutput(t.call(3, 3, 4, false));
    // Row 2 of the boundary tables holds 5 and 2 everywhere but is not read:
    // element 2 has no boundary face.
    expectNoOutput(t.call(2, 2, 2, false));
    // Boundary numbers are compared as stored, not truncated.
    Tables fractional = t;
    fractional.boundaryFaceToElement[0] = 3.5;
    expectNoOutput(fractional.call(3, 3, 1, false));
    fractional.boundaryFaceToElement[0] = 3;
    fractional.boundaryFaceToFace[0] = 1.25;
    expectNoOutput(fractional.call(3, 3, 1, false));
    expectNormal(fractional.call(3, 3, 1.25), 0.6, 0.8, 11);
}

TEST(FaceNormalVector, InnerFaceLocalAndAdjacentSides) {
    const Tables t;
    // (2, 3) is stored on face 1: local side.
    expectNormal(t.call(2, 3, 1), 0.0, 1.0, -21);
    // (3, 2): face 1 again, now from its adjacent side, although face 2 stores
    // (3, 2) as local. Both normal components flip (0 becomes -0), the third
    // value keeps its sign.
    CallResult r = t.call(3, 2, 1);
    expectNormal(r, -0.0, -1.0, -21);
    EXPECT_TRUE(std::signbit(kernel_host::values(r.outputs[0].get())[0]));
    // localFaceIndex plays no part in the inner search.
    expectNormal(t.call(3, 2, 99), -0.0, -1.0, -21);
    expectNormal(t.call(3, 2, kNaN), -0.0, -1.0, -21);
}

TEST(FaceNormalVector, InnerEntriesAreTruncatedButTheScalarsAreNot) {
    const Tables t;
    // Face 3 stores (7.9, -0.5), which truncate to (7, 0).
    expectNormal(t.call(7, 0, 1), -0.96, 0.28, -23);
    expectNormal(t.call(0, 7, 1), 0.96, -0.28, -23);
    expectNormal(t.call(-0.0, 7, 1), 0.96, -0.28, -23);
    // The scalars are compared as given: 7.9 and 7.5 are not 7.
    expectNoOutput(t.call(7.9, 0, 1, false));
    expectNoOutput(t.call(7.5, 0, 1, false));
    expectNoOutput(t.call(7, -0.5, 1, false));
}

TEST(FaceNormalVector, NothingMatchedAssignsNoOutput) {
    const Tables t;
    expectNoOutput(t.call(2, 7, 1, false));
    // A NaN element number takes the inner search and matches nothing, not
    // even a stored NaN.
    Tables withNaN = t;
    withNaN.faceToElement[6] = kNaN;
    withNaN.faceToElement[7] = kNaN;
    expectNoOutput(withNaN.call(kNaN, kNaN, 1, false));
    expectNoOutput(withNaN.call(kNaN, 3, 1, false));
    expectNoOutput(withNaN.call(3, kNaN, 1, false));
    // Empty tables: no inner face for e != a, no boundary face for e == a.
    Tables empty = t;
    empty.Nface = 0;
    empty.normalX = empty.normalY = empty.faceToElement = empty.faceScalar = {};
    expectNoOutput(empty.call(2, 3, 1, false));
    empty.Nbe = 0;
    empty.boundaryFaceToFace = empty.boundaryFaceToElement = {};
    empty.boundaryNormalX = empty.boundaryNormalY = empty.boundaryFaceScalar = {};
    expectNoOutput(empty.call(3, 3, 1, false));
}

TEST(FaceNormalVector, HostReportsUnassignedOutputsAndReclaimsNothingTwice) {
    const Tables t;
    const std::size_t live = kernel_host::liveArrayCount();
    CallResult r = t.call(1, 9, 1, false);
    expectNoOutput(r);
    EXPECT_TRUE(r.outputs.empty());
    EXPECT_NE(r.message.find("face_normal_vector"), std::string::npos) << r.message;
    EXPECT_EQ(kernel_host::liveArrayCount(), live);
}

TEST(FaceNormalVector, MatchedFaceWithoutNodesIsAValidationError) {
    // Zero rows: a match would have no first node to read.
    Tables t;
    t.Nfpb = 0;
    t.boundaryNormalX = t.boundaryNormalY = t.boundaryFaceScalar = {};
    CallResult r = t.call(5, 5, 2, false);
    EXPECT_EQ(r.identifier, "face_normal_vector:noFaceNode") << r.message;
    EXPECT_NE(r.message.find("boundaryNormalX"), std::string::npos) << r.message;
    // Without a match the call ends as any unmatched call does, and the inner
    // search does not need boundary nodes at all.
    expectNoOutput(t.call(5, 5, 9, false));
    expectNormal(t.call(2, 3, 1), 0.0, 1.0, -21);

    t = Tables();
    t.Nfp = 0;
    t.normalX = t.normalY = t.faceScalar = {};
    r = t.call(3, 2, 1, false);
    EXPECT_EQ(r.identifier, "face_normal_vector:noFaceNode") << r.message;
    EXPECT_NE(r.message.find("normalX"), std::string::npos) << r.message;
    expectNoOutput(t.call(2, 9, 1, false));
    expectNormal(t.call(3, 3, 1), 0.6, 0.8, 11);
}

// Replaces one input of an otherwise valid call.
CallResult callWith(int position, ArrayPtr replacement) {
    const Tables t;
    ArrayPtr in[12] = {doubleScalar(2),
                       doubleScalar(3),
                       doubleScalar(1),
                       doubleArray({2, t.Nbe}, t.boundaryFaceToFace),
                       doubleArray({t.Nfpb, t.Nbe}, t.boundaryNormalX),
                       doubleArray({t.Nfpb, t.Nbe}, t.boundaryNormalY),
                       doubleArray({2, t.Nbe}, t.boundaryFaceToElement),
                       doubleArray({t.Nfp, t.Nface}, t.normalX),
                       doubleArray({t.Nfp, t.Nface}, t.normalY),
                       doubleArray({2, t.Nface}, t.faceToElement),
                       doubleArray({t.Nfpb, t.Nbe}, t.boundaryFaceScalar),
                       doubleArray({t.Nfp, t.Nface}, t.faceScalar)};
    in[position] = std::move(replacement);
    std::vector<const mxArray*> raw;
    for (const ArrayPtr& p : in) {
        raw.push_back(p.get());
    }
    return module().call(3, raw);
}

TEST(FaceNormalVector, RejectsTablesItWouldReadOutside) {
    const std::string id = "face_normal_vector:";
    // Each table one entry short of what its extents need (Nfpb = 2, Nbe = 4,
    // Nfp = 3, Nface = 4), whichever search the call takes.
    const struct {
        int position;
        std::size_t entries;
        const char* name;
    } shortTables[] = {{3, 7, "boundaryFaceToFace"}, {5, 7, "boundaryNormalY"},  {6, 7, "boundaryFaceToElement"},
                       {8, 11, "normalY"},           {9, 7, "faceToElement"},    {10, 7, "boundaryFaceScalar"},
                       {11, 11, "faceScalar"}};
    for (const auto& s : shortTables) {
        CallResult r = callWith(s.position, doubleArray({1, s.entries}, std::vector<double>(s.entries, 1.0)));
        EXPECT_EQ(r.identifier, id + "tooFewElements") << s.name;
        EXPECT_NE(r.message.find(s.name), std::string::npos) << r.message;
        r = callWith(s.position, doubleArray({1, s.entries + 1}));
        EXPECT_NE(r.identifier, id + "tooFewElements") << s.name;
    }
    for (int position = 3; position < 12; ++position) {
        CallResult r = callWith(position, kernel_host::numericArray(mxSINGLE_CLASS, {3, 4}));
        EXPECT_EQ(r.identifier, id + "notDouble") << "input " << position;
        r = callWith(position, kernel_host::sparseArray(3, 4, {0, 0, 0, 0, 0}, {}, {}));
        EXPECT_EQ(r.identifier, id + "notDouble") << "input " << position;
    }
    for (int position = 0; position < 3; ++position) {
        CallResult r = callWith(position, doubleArray({0, 0}));
        EXPECT_EQ(r.identifier, id + "invalidScalar") << "input " << position;
    }
    // A scalar of another numeric class is read as its value.
    expectNormal(callWith(0, kernel_host::int8Array({1, 1}, {2})), 0.0, 1.0, -21);
}

TEST(FaceNormalVector, WrongCountsNameTheSourceFile) {
    ArrayPtr x = doubleScalar(1);
    CallResult r = callFails(module(), 3, {&x, &x, &x}, "face_normal_vector:invalidNumberOfInputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:face_normal_vector.cpp:InvalidNumberInput,\n12 inputs required.\n");
    r = callWith(0, doubleScalar(2));
    EXPECT_TRUE(r.ok);
    const Tables t;
    ArrayPtr b = doubleArray({2, t.Nbe}, t.boundaryFaceToFace);
    callFails(module(), 1, {&x, &x, &x, &b, &b, &b, &b, &b, &b, &b, &b, &b},
              "face_normal_vector:invalidNumberOfOutputs");
    EXPECT_EQ(kernel_host::takeConsole(), "Matlab:face_normal_vector.cpp:InvalidNumberOutput,\n");
}

}  // namespace
