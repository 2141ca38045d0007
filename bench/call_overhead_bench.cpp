// The cost of one call with the smallest valid inputs (one node, one face or
// one element), through the stand-alone host: argument checks, binding, the
// outputs' creation and the host's own bookkeeping.
#include "bench_support.hpp"

namespace {

using kernel_host::ArrayPtr;
using kernel_host::doubleArray;
using kernel_host::doubleScalar;
using kernel_host::int8Array;

struct SmallCall {
    const char* module;
    int nlhs;
    std::vector<ArrayPtr> inputs;
};

SmallCall smallCall(int which) {
    SmallCall c;
    switch (which) {
        case 0:  // two inputs, one output
            c = {"wet_dry_face_1d", 1, {}};
            c.inputs.push_back(int8Array({1, 1}, {4}));
            c.inputs.push_back(doubleArray({2, 1}, {1.0, 1.0}));
            break;
        case 1:  // six inputs, a scalar output
            c = {"time_interval_3d", 1, {}};
            c.inputs.push_back(doubleArray({0, 0}));
            c.inputs.push_back(doubleScalar(9.81));
            c.inputs.push_back(doubleScalar(2.0));
            c.inputs.push_back(doubleArray({1, 1}, {1.0}));
            c.inputs.push_back(int8Array({1, 1}, {4}));
            c.inputs.push_back(doubleArray({1, 1, 3}, {1.0, 0.5, 0.5}));
            break;
        default:  // twelve inputs, one output and a scratch marker
            c = {"upwind_flux_2d", 1, {}};
            c.inputs.push_back(int8Array({1, 1}, {4}));
            c.inputs.push_back(doubleArray({2, 1}, {1.0, 1.0}));
            for (int a = 0; a < 10; ++a) {
                c.inputs.push_back(doubleArray({1, 1}, {1.0}));
            }
            break;
    }
    return c;
}

void BM_CallOverhead(benchmark::State& state) {
    const SmallCall c = smallCall(static_cast<int>(state.range(0)));
    const kernel_host::Module module = kernel_host::Module::byName(c.module);
    std::vector<const mxArray*> raw;
    for (const ArrayPtr& a : c.inputs) {
        raw.push_back(a.get());
    }
    bench_support::runCalls(state, module, c.nlhs, raw);
    state.SetLabel(c.module);
}

}  // namespace

// range(0): 0 wet_dry_face_1d, 1 time_interval_3d, 2 upwind_flux_2d.
BENCHMARK(BM_CallOverhead)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();
