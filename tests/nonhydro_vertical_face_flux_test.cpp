// nonhydro_vertical_face_flux through the stand-alone host.
#include <cmath>
#include <limits>
#include <random>

#include "face_set.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;
using kernel_host::int8Array;

namespace {

const Module& module() {
    static Module m = Module::byName("nonhydro_vertical_face_flux");
    return m;
}

const double nan = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// The per-node inputs in call order (after cellStatus, faceToElement and the
// dropped scalar).
enum Node { h, hu, hv, hw, nx, ny };

double reference(const std::vector<double>& v) {
    return ((v[hu] * v[hw]) / v[h]) * v[nx] + ((v[hv] * v[hw]) / v[h]) * v[ny];
}

struct Faces : FaceSet {
    Faces() : FaceSet(6) {}
    std::vector<ArrayPtr> inputs(ArrayPtr scalar = doubleScalar(0.5)) const {
        std::vector<ArrayPtr> in;
        in.push_back(statusArray());
        in.push_back(faceArray());
        in.push_back(std::move(scalar));
        for (ArrayPtr& a : nodeArrays()) {
            in.push_back(std::move(a));
        }
        return in;
    }
};

CallResult call(const std::vector<ArrayPtr>& in, const std::string& failure = "") {
    return callWith(module(), 1, in, failure);
}

std::vector<double> run(const std::vector<ArrayPtr>& in, std::size_t Nfp, std::size_t Nface) {
    CallResult r = call(in);
    EXPECT_EQ(r.outputs.size(), 1u);
    if (r.outputs.empty()) {
        return {};
    }
    EXPECT_EQ(kernel_host::dimensions(r.outputs[0].get()), (std::vector<std::size_t>{Nfp, Nface}));
    return kernel_host::values(r.outputs[0].get());
}

std::vector<double> run(const Faces& faces) {
    return run(faces.inputs(), faces.Nfp, faces.Nface());
}

Faces randomFaces() {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> depth(0.01, 4.0), discharge(-3.0, 3.0), angle(-3.2, 3.2);
    std::uniform_int_distribution<int> element(1, 25);
    Faces faces;
    faces.Nfp = 4;
    faces.status.assign(25, 4);
    faces.status[4] = 5;
    faces.status[11] = 7;
    faces.status[12] = -1;
    for (std::size_t f = 0; f < 300; ++f) {
        faces.faceToElement.push_back(element(rng));
        faces.faceToElement.push_back(element(rng));
        for (std::size_t n = 0; n < faces.Nfp; ++n) {
            const double a = angle(rng);
            const double values[6] = {depth(rng), discharge(rng), discharge(rng), discharge(rng), std::cos(a),
                                      std::sin(a)};
            for (int i = 0; i < 6; ++i) {
                faces.node[i].push_back(values[i]);
            }
        }
    }
    return faces;
}

TEST(NonhydroVerticalFaceFlux, RandomFacesMatchTheNodeFormulaBitForBit) {
    const Faces faces = randomFaces();
    const std::vector<double> out = run(faces);
    int skipped = 0, productFirst = 0, normalFirst = 0;
    for (std::size_t f = 0; f < faces.Nface(); ++f) {
        skipped += !faces.wet(f);
        for (std::size_t i = f * faces.Nfp; i < (f + 1) * faces.Nfp; ++i) {
            const std::vector<double> v = faces.at(i);
            ASSERT_TRUE(sameDouble(out[i], faces.wet(f) ? reference(v) : 0.0)) << "face " << f << " node " << i;
            // Other groupings that the data would tell apart.
            productFirst += (v[hu] * v[hw]) / v[h] != v[hu] * (v[hw] / v[h]);
            normalFirst += reference(v) != ((v[hu] * v[nx] + v[hv] * v[ny]) * v[hw]) / v[h];
        }
    }
    EXPECT_GT(skipped, 0);
    EXPECT_GT(productFirst, 0);
    EXPECT_GT(normalFirst, 0);
}

TEST(NonhydroVerticalFaceFlux, TheScalarInputIsReadAndDropped) {
    const Faces faces = randomFaces();
    const std::vector<double> base = run(faces);
    ArrayPtr wide = doubleArray({1, 3}, {7, 8, 9});
    std::vector<ArrayPtr> scalars;
    scalars.push_back(doubleScalar(nan));
    scalars.push_back(doubleScalar(-inf));
    scalars.push_back(doubleScalar(-3));
    scalars.push_back(int8Array({1, 1}, {5}));
    scalars.push_back(kernel_host::numericArray(mxLOGICAL_CLASS, {1, 1}));
    scalars.push_back(std::move(wide));
    for (ArrayPtr& scalar : scalars) {
        const std::vector<double> out = run(faces.inputs(std::move(scalar)), faces.Nfp, faces.Nface());
        ASSERT_EQ(out.size(), base.size());
        for (std::size_t i = 0; i < out.size(); ++i) {
            ASSERT_TRUE(sameDouble(out[i], base[i])) << "node " << i;
        }
    }
    // It must still be a numeric value to read.
    call(faces.inputs(doubleArray({0, 0})), "invalidScalar");
    call(faces.inputs(kernel_host::numericArray(mxCHAR_CLASS, {1, 1})), "invalidScalar");
}

TEST(NonhydroVerticalFaceFlux, OnlyFacesBetweenTwoWetElementsAreEvaluated) {
    Faces faces;
    faces.Nfp = 3;
    faces.status = {4, 5, 7, 2, 4};
    const double pairs[][2] = {{1, 5}, {5, 2}, {3, 1}, {4, 5}, {2, 3}, {5.99, 1.01}};
    const std::vector<double> v{2, 3, 4, 5, 0.6, 0.8};
    for (const auto& p : pairs) {
        faces.addFace(p[0], p[1], v);
    }
    const std::vector<double> out = run(faces);
    const double value = reference(v);
    std::vector<double> expected(18, 0.0);
    for (std::size_t i : {0, 1, 2, 15, 16, 17}) {
        expected[i] = value;
    }
    EXPECT_EQ(out, expected);
}

TEST(NonhydroVerticalFaceFlux, EmptyExtentsGiveEmptyOutputs) {
    Faces noFaces;
    EXPECT_TRUE(run(noFaces).empty());
    Faces noNodes;
    noNodes.Nfp = 0;
    noNodes.faceToElement = {1, 2};
    EXPECT_TRUE(run(noNodes).empty());
}

TEST(NonhydroVerticalFaceFlux, RejectsInputsItWouldReadOutside) {
    Faces faces;
    faces.Nfp = 2;
    faces.status = {4, 4, 5};
    faces.addFace(1, 2, {1, 1, 1, 1, 1, 0});
    faces.addFace(3, 2, {1, 1, 1, 1, 1, 0});
    for (double bad : {0.0, 4.0, nan, inf}) {
        for (int entry : {0, 1, 2, 3}) {
            std::vector<ArrayPtr> in = faces.inputs();
            mxGetPr(in[1].get())[entry] = bad;
            CallResult r = call(in, "indexOutOfRange");
            EXPECT_NE(r.message.find("faceToElement"), std::string::npos) << r.message;
        }
    }
    std::vector<ArrayPtr> in = faces.inputs();
    in[1] = doubleArray({3, 1}, {1, 2, 3});
    call(in, "tooFewElements");
    for (int a = 4; a < 9; ++a) {
        in = faces.inputs();
        in[a] = doubleArray({2, 1}, {1, 1});
        CallResult r = call(in, "tooFewElements");
        EXPECT_NE(r.message.find("Nfp*Nface"), std::string::npos) << r.message;
        in[a] = kernel_host::numericArray(mxSINGLE_CLASS, {2, 2});
        call(in, "notDouble");
    }
    in = faces.inputs();
    in[3] = int8Array({2, 2});
    call(in, "notDouble");
}

}  // namespace
