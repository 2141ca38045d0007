// Shared by the module benchmarks: the copy bandwidth of this machine, measured
// once per run, and the counters that put a module's traffic beside it.
#pragma once

#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

#include "kernel_host.hpp"

namespace bench_support {

// Bytes per second of a plain memcpy (bytes read plus bytes written), best of
// several copies of a buffer much larger than the caches.
double copyBandwidth();

// Reports bytes moved per call (read + written), GB/s, and the fraction of the
// copy bandwidth, for a benchmark that ran state.iterations() calls.
void reportTraffic(benchmark::State& state, double bytesPerCall);

// Calls the module once per iteration with the given inputs.
void runCalls(benchmark::State& state, const kernel_host::Module& module, int nlhs,
              const std::vector<const mxArray*>& inputs);

}  // namespace bench_support
