// Inputs of the face kernels that skip faces touching a non-wet element:
// cellStatus, faceToElement and per-node arrays Nfp x Nface, built face by face.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.hpp"

namespace test_support {

struct FaceSet {
    explicit FaceSet(int nodeInputs) : node(nodeInputs) {}

    std::size_t Nfp = 1;
    std::vector<std::int8_t> status = std::vector<std::int8_t>(2, 4);  // two wet elements
    std::vector<double> faceToElement;          // 2 x Nface
    std::vector<std::vector<double>> node;      // per-node inputs in call order

    std::size_t Nface() const { return faceToElement.size() / 2; }

    // Appends a face whose Nfp nodes all hold the values v (one per input).
    void addFace(double local, double adjacent, const std::vector<double>& v) {
        faceToElement.push_back(local);
        faceToElement.push_back(adjacent);
        for (std::size_t n = 0; n < Nfp; ++n) {
            for (std::size_t a = 0; a < node.size(); ++a) {
                node[a].push_back(v[a]);
            }
        }
    }

    // The values of every per-node input at node i.
    std::vector<double> at(std::size_t i) const {
        std::vector<double> v;
        for (const std::vector<double>& values : node) {
            v.push_back(values[i]);
        }
        return v;
    }

    // True when both elements of face f have status 4.
    bool wet(std::size_t f) const {
        return status[static_cast<std::size_t>(faceToElement[2 * f]) - 1] == 4 &&
               status[static_cast<std::size_t>(faceToElement[2 * f + 1]) - 1] == 4;
    }

    kernel_host::ArrayPtr statusArray() const { return kernel_host::int8Array({1, status.size()}, status); }
    kernel_host::ArrayPtr faceArray() const { return kernel_host::doubleArray({2, Nface()}, faceToElement); }
    std::vector<kernel_host::ArrayPtr> nodeArrays() const {
        std::vector<kernel_host::ArrayPtr> arrays;
        for (const std::vector<double>& values : node) {
            arrays.push_back(kernel_host::doubleArray({Nfp, Nface()}, values));
        }
        return arrays;
    }
};

// Calls a module with nlhs outputs; with a reason, expects the error
// "<module>:<reason>", else success.
inline CallResult callWith(const Module& module, int nlhs, const std::vector<kernel_host::ArrayPtr>& inputs,
                           const std::string& reason = "") {
    std::vector<const mxArray*> raw;
    for (const kernel_host::ArrayPtr& input : inputs) {
        raw.push_back(input.get());
    }
    kernel_host::takeConsole();
    CallResult result = module.call(nlhs, raw);
    if (reason.empty()) {
        EXPECT_TRUE(result.ok) << result.identifier << ": " << result.message;
    } else {
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.identifier, module.name() + ":" + reason) << result.message;
    }
    return result;
}

}  // namespace test_support
