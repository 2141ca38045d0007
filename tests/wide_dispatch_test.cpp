// The modules whose work functions have wide builds chosen at load time give,
// on this machine, exactly the bits of their baseline build (the same source
// built with KERNELS_BASELINE_ONLY), on inputs full of NaN, signed zeros,
// infinities and denormals, at extents that leave vector remainders.
#include <cmath>
#include <limits>
#include <optional>
#include <random>

#include "test_support.hpp"

using namespace test_support;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;
using kernel_host::int8Array;

namespace {

// A module's dispatched build, its baseline build and, for a module with an
// AVX-512 build, its build of AVX2 at most (without one, the dispatched build
// is that build already).
struct Builds {
    Builds(const std::string& name, bool hasAvx512)
        : dispatched(Module::byName(name)),
          baseline(Module::load(std::string(KERNELS_BASELINE_MODULE_DIR) + "/" + name + ".so")) {
        if (hasAvx512) {
            avx2.emplace(Module::load(std::string(KERNELS_AVX2_MODULE_DIR) + "/" + name + ".so"));
        }
    }
    Module dispatched;  // the widest build this processor runs
    Module baseline;
    std::optional<Module> avx2;  // AVX2 at most

    // Calls both builds and expects the same outputs bit for bit. Of two NaN
    // operands the compiler may pass either first, so which NaN a result
    // carries is no part of the results: any NaN matches any NaN.
    void expectSame(int nlhs, const std::vector<ArrayPtr>& inputs, const std::string& what) const {
        std::vector<const mxArray*> raw;
        for (const ArrayPtr& a : inputs) {
            raw.push_back(a.get());
        }
        const CallResult base = baseline.call(nlhs, raw);
        ASSERT_TRUE(base.ok) << base.message;
        for (const Module* build : {&dispatched, avx2 ? &*avx2 : nullptr}) {
            if (build == nullptr) {
                continue;
            }
            const CallResult wide = build->call(nlhs, raw);
            ASSERT_TRUE(wide.ok) << wide.message;
            for (int o = 0; o < nlhs; ++o) {
                const std::vector<double> a = kernel_host::values(wide.outputs[o].get());
                const std::vector<double> b = kernel_host::values(base.outputs[o].get());
                ASSERT_EQ(a.size(), b.size());
                for (std::size_t i = 0; i < a.size(); ++i) {
                    ASSERT_TRUE(sameDouble(a[i], b[i]))
                        << what << (build != &dispatched ? " (AVX2 build)" : "") << ", output " << o << ", element " << i;
                }
            }
        }
    }
};

// Values that are ordinary with probability 1 - awkward, else one of the
// values where two builds of a quotient, root or select could part.
struct Values {
    std::mt19937_64 rng{13};
    double operator()(double low, double high, double awkward) {
        static const double kAwkward[] = {std::numeric_limits<double>::quiet_NaN(),
                                          -std::numeric_limits<double>::quiet_NaN(),
                                          0.0,
                                          -0.0,
                                          std::numeric_limits<double>::infinity(),
                                          -std::numeric_limits<double>::infinity(),
                                          std::numeric_limits<double>::denorm_min(),
                                          -3e-310,
                                          std::numeric_limits<double>::min(),
                                          std::numeric_limits<double>::max(),
                                          -1e300,
                                          1e-300};
        if (std::uniform_real_distribution<double>(0.0, 1.0)(rng) < awkward) {
            return kAwkward[std::uniform_int_distribution<std::size_t>(0, std::size(kAwkward) - 1)(rng)];
        }
        return std::uniform_real_distribution<double>(low, high)(rng);
    }
    std::size_t count(std::size_t low, std::size_t high) {
        return std::uniform_int_distribution<std::size_t>(low, high)(rng);
    }
    std::vector<std::int8_t> statuses(std::size_t K, double otherRate) {
        static const std::int8_t kOther[] = {5, 7, 0, -3};
        std::vector<std::int8_t> s(K, 4);
        for (std::int8_t& code : s) {
            if (std::uniform_real_distribution<double>(0.0, 1.0)(rng) < otherRate) {
                code = kOther[count(0, 3)];
            }
        }
        return s;
    }
    std::vector<double> array(std::size_t n, double low, double high, double awkward) {
        std::vector<double> v(n);
        for (double& x : v) {
            x = (*this)(low, high, awkward);
        }
        return v;
    }
};

TEST(WideDispatch, WideBuildsGiveTheBaselineBits) {
    Values values;
    if (!__builtin_cpu_supports("avx512f")) {
        std::printf("this processor has no AVX-512: the widest build is not reached\n");
    }
    if (!__builtin_cpu_supports("avx2")) {
        std::printf("this processor has no AVX2: every build runs the baseline code\n");
    }

    // time_interval_3d: one awkward value in a few hundred, so that the
    // minimum depends on where they fall; extents across several blocks.
    const Builds interval("time_interval_3d", true);
    for (int c = 0; c < 300; ++c) {
        const std::size_t Np = values.count(1, 13), K = values.count(0, c < 20 ? 400 : 40);
        const double awkward = c % 3 == 0 ? 0.0 : 0.5 / static_cast<double>(Np * K + 1);
        std::vector<double> fields = values.array(Np * K, 0.0, 3.0, awkward);
        const std::vector<double> discharges = values.array(2 * Np * K, -2.0, 2.0, awkward);
        fields.insert(fields.end(), discharges.begin(), discharges.end());
        std::vector<ArrayPtr> in;
        in.push_back(doubleArray({0, 0}));
        in.push_back(doubleScalar(values(-1.0, 20.0, 0.02)));
        in.push_back(doubleScalar(c % 5 == 0 ? values(-2.0, 4.0, 0.1) : static_cast<double>(values.count(0, 4))));
        in.push_back(doubleArray({K, 1}, values.array(K, -0.5, 2.0, awkward)));
        in.push_back(int8Array({K, 1}, values.statuses(K, 0.1)));
        in.push_back(doubleArray({Np, K, 3}, fields));
        interval.expectSame(1, in, "time_interval_3d case " + std::to_string(c));
    }

    // upwind_flux_2d and downwind_flux_2d: every fifth value awkward.
    const Builds upwind("upwind_flux_2d", false), downwind("downwind_flux_2d", false);
    for (int c = 0; c < 60; ++c) {
        const std::size_t Nfp = values.count(1, 7), Nface = values.count(0, 60), K = values.count(1, 20);
        std::vector<double> faceToElement(2 * Nface);
        for (double& e : faceToElement) {
            e = static_cast<double>(values.count(1, K));
        }
        std::vector<ArrayPtr> in;
        in.push_back(int8Array({K, 1}, values.statuses(K, 0.1)));
        in.push_back(doubleArray({2, Nface}, faceToElement));
        for (int a = 0; a < 10; ++a) {
            in.push_back(doubleArray({Nfp, Nface}, values.array(Nfp * Nface, -2.0, 2.0, 0.2)));
        }
        upwind.expectSame(1, in, "upwind_flux_2d case " + std::to_string(c));
        downwind.expectSame(2, in, "downwind_flux_2d case " + std::to_string(c));
    }
}

}  // namespace
