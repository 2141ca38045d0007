// nonhydro_vertical_volume_flux: the volume fluxes of the vertical momentum hw
// of the 2d non-hydrostatic model, carried by the depth-averaged flow:
// E = (hu*hw)/h in x and G = (hv*hw)/h in y, on wet elements only.
//
//   volumeFluxX, volumeFluxY = nonhydro_vertical_volume_flux(cellStatus, dischargeX, dischargeY,
//                                                            verticalMomentum, depth)
//
//   cellStatus:       int8, at least K entries, CellStatus of each element
//   dischargeX:       Np x K, hu at each node
//   dischargeY:       Np x K, hv at each node
//   verticalMomentum: Np x K, hw at each node
//   depth:            Np x K, h at each node; its rows and columns give Np and K
//   volumeFluxX, volumeFluxY: Np x K
//
// Only Wet elements (status 4) carry a flux; every other code, Dry and
// PressureFree included, keeps zeros. No depth threshold applies: the depth of
// a wet element's node is the divisor, whatever its size.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("nonhydro_vertical_volume_flux");

// Fluxes of nodes first .. last-1 of one wet element: the product first, then
// the division by the depth.
inline void fluxOfElementNodes(std::ptrdiff_t first, std::ptrdiff_t last, const double* __restrict hu,
                               const double* __restrict hv, const double* __restrict hw,
                               const double* __restrict h, double* __restrict fluxX, double* __restrict fluxY) {
    for (std::ptrdiff_t i = first; i < last; ++i) {
        fluxX[i] = (hu[i] * hw[i]) / h[i];
        fluxY[i] = (hv[i] * hw[i]) / h[i];
    }
}

void verticalVolumeFlux(std::ptrdiff_t Np, std::ptrdiff_t K, const std::int8_t* cellStatus, const double* hu,
                        const double* hv, const double* hw, const double* h, double* fluxX, double* fluxY) {
    // Elements: only wet ones carry the vertical-momentum flux.
    for (std::ptrdiff_t k = 0; k < K; ++k) {
        if (!hasStatus(cellStatus[k], CellStatus::Wet)) {
            continue;
        }
        fluxOfElementNodes(k * Np, (k + 1) * Np, hu, hv, hw, h, fluxX, fluxY);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs: Np and K from the depth, the other node arrays read at the
    //    same positions.
    requireDoubleArray(argument(kModule, prhs, 4, "depth"));
    const std::ptrdiff_t Np = rows(prhs[4]);
    const std::ptrdiff_t K = columns(prhs[4]);
    requireDoubles(argument(kModule, prhs, 1, "dischargeX"), Np * K, "Np*K");
    requireDoubles(argument(kModule, prhs, 2, "dischargeY"), Np * K, "Np*K");
    requireDoubles(argument(kModule, prhs, 3, "verticalMomentum"), Np * K, "Np*K");
    requireBytes(argument(kModule, prhs, 0, "cellStatus"), K, "K");
    const std::int8_t* cellStatus = statusBytes(prhs[0]);

    // 3. Outputs: Np x K, zero-filled, both stored before any work.
    plhs[0] = mxCreateDoubleMatrix(static_cast<mwSize>(Np), static_cast<mwSize>(K), mxREAL);
    plhs[1] = mxCreateDoubleMatrix(static_cast<mwSize>(Np), static_cast<mwSize>(K), mxREAL);

    // 4. Fluxes.
    verticalVolumeFlux(Np, K, cellStatus, mxGetPr(prhs[1]), mxGetPr(prhs[2]), mxGetPr(prhs[3]), mxGetPr(prhs[4]),
                       mxGetPr(plhs[0]), mxGetPr(plhs[1]));
}
