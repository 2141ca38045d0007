// A face set for the face kernel benchmarks: Nfp = 4 nodes on each of
// Nface = 300 000 faces between K = 200 000 elements, mostly wet.
#pragma once

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "kernel_host.hpp"

namespace bench_support {

struct FaceBenchData {
    static constexpr std::size_t Nfp = 4, Nface = 300000, K = 200000, n = Nfp * Nface;
    kernel_host::ArrayPtr cellStatus;
    kernel_host::ArrayPtr faceToElement;

    FaceBenchData() {
        // Every fiftieth element Dry and the next PressureFree, the rest wet.
        std::vector<std::int8_t> status(K);
        for (std::size_t k = 0; k < K; ++k) {
            status[k] = k % 50 == 0 ? 5 : (k % 50 == 1 ? 7 : 4);
        }
        // Faces numbered along the elements, as a mesh generator leaves them:
        // face f joins element 2f/3 + 1 and the next one.
        std::vector<double> elements(2 * Nface);
        for (std::size_t f = 0; f < Nface; ++f) {
            const std::size_t local = 2 * f / 3;
            elements[2 * f] = static_cast<double>(local + 1);
            elements[2 * f + 1] = static_cast<double>((local + 1) % K + 1);
        }
        cellStatus = kernel_host::int8Array({1, K}, status);
        faceToElement = kernel_host::doubleArray({2, Nface}, elements);
    }

    // An Nfp x Nface array of values uniform in [low, high).
    static kernel_host::ArrayPtr nodeValues(std::mt19937_64& rng, double low, double high) {
        std::uniform_real_distribution<double> u(low, high);
        std::vector<double> v(n);
        for (double& x : v) {
            x = u(rng);
        }
        return kernel_host::doubleArray({Nfp, Nface}, v);
    }

    // Unit normals at random angles, x and y components.
    static std::pair<kernel_host::ArrayPtr, kernel_host::ArrayPtr> normals(std::mt19937_64& rng) {
        std::uniform_real_distribution<double> angle(-3.14159, 3.14159);
        std::vector<double> x(n), y(n);
        for (std::size_t i = 0; i < n; ++i) {
            const double a = angle(rng);
            x[i] = std::cos(a);
            y[i] = std::sin(a);
        }
        return {kernel_host::doubleArray({Nfp, Nface}, x), kernel_host::doubleArray({Nfp, Nface}, y)};
    }

    // Bytes of cellStatus and faceToElement read by every call.
    static double faceInputBytes() { return 16.0 * Nface + 1.0 * K; }
};

}  // namespace bench_support
