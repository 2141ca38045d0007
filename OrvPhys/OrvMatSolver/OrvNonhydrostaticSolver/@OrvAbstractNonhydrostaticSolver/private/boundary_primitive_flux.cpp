// boundary_primitive_flux: the flux of a primitive variable on the nodes of the
// boundary edges, the variable times a normal component, switched off where the
// edge indicator is -1.
//
//   boundaryEdgeFlux = boundary_primitive_flux(edgeIndicator, variableValues, normalComponent)
//
//   edgeIndicator:    at least Nfp*Nbe entries, read in flat order
//   variableValues:   at least Nfp*Nbe entries, read in flat order
//   normalComponent:  Nfp x Nbe, sets the extents
//   boundaryEdgeFlux: Nfp x Nbe, 0.0 where the indicator equals -1.0, else
//                     variableValues .* normalComponent
//
// The indicator test is an ordered equality: a NaN indicator keeps the product.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("boundary_primitive_flux");

void boundaryPrimitiveFlux(std::ptrdiff_t count, const double* __restrict edgeIndicator,
                           const double* __restrict variableValues, const double* __restrict normalComponent,
                           double* __restrict boundaryEdgeFlux) {
    // Boundary edge nodes: the variable's normal flux, or none on switched-off nodes.
    for (std::ptrdiff_t j = 0; j < count; ++j) {
        const double flux = variableValues[j] * normalComponent[j];
        boundaryEdgeFlux[j] = edgeIndicator[j] == -1.0 ? 0.0 : flux;
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const Argument normalArg = argument(kModule, prhs, 2, "normalComponent");
    requireDoubleArray(normalArg);
    const std::ptrdiff_t Nfp = rows(prhs[2]);
    const std::ptrdiff_t Nbe = columns(prhs[2]);
    requireDoubles(argument(kModule, prhs, 0, "edgeIndicator"), Nfp * Nbe, "Nfp*Nbe");
    requireDoubles(argument(kModule, prhs, 1, "variableValues"), Nfp * Nbe, "Nfp*Nbe");

    // 3. Outputs: Nfp x Nbe.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Nfp), static_cast<mwSize>(Nbe), mxREAL);

    // 4. Fluxes.
    boundaryPrimitiveFlux(Nfp * Nbe, mxGetPr(prhs[0]), mxGetPr(prhs[1]), mxGetPr(prhs[2]), mxGetPr(plhs[0]));
}
