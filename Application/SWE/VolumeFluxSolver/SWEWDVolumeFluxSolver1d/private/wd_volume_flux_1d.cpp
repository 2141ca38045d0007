// wd_volume_flux_1d: the volume flux F of the 1d shallow-water equations with
// wetting and drying, pressure in pre-balanced form.
//
//   F = wd_volume_flux_1d(dryThreshold, gravity, cellStatus, fieldValues)
//
//   dryThreshold, gravity: scalars
//   cellStatus:  int8, at least K entries, CellStatus of each element
//   fieldValues: Np x K x Nfield (Nfield >= 3), pages h, hu, z
//   F:           Np x K x 2, pages: flux of h, hu
//
// Dry elements keep zero fluxes; PressureFree elements drop the pressure term
// 0.5*g*(h^2 - z^2). Nodes at or below the threshold carry no mass flux and no
// advection, but keep the pressure term.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("wd_volume_flux_1d");

// Fluxes of nodes first .. last-1 of one element whose gravity is halfG / 0.5.
inline void fluxOfElementNodes(std::ptrdiff_t first, std::ptrdiff_t last, double dryThreshold, double halfG,
                               const double* __restrict h, const double* __restrict hu,
                               const double* __restrict z, double* __restrict Fh, double* __restrict Fhu) {
    for (std::ptrdiff_t i = first; i < last; ++i) {
        const bool wet = h[i] > dryThreshold;
        const double p = halfG * (h[i] * h[i] - z[i] * z[i]);
        const double momentum = (hu[i] * hu[i]) / h[i] + p;
        Fh[i] = wet ? hu[i] : 0.0;
        Fhu[i] = wet ? momentum : p;
    }
}

void wdVolumeFlux1d(double dryThreshold, double gravity, const std::int8_t* cellStatus,
                    const FieldPageView1d& fields, const FieldPageView1d& F) {
    const std::ptrdiff_t Np = fields.Np;
    // Elements: Dry ones are skipped, PressureFree ones lose the pressure term.
    for (std::ptrdiff_t k = 0; k < fields.K; ++k) {
        const std::int8_t status = cellStatus[k];
        if (hasStatus(status, CellStatus::Dry)) {
            continue;
        }
        const double g = hasStatus(status, CellStatus::PressureFree) ? 0.0 : gravity;
        fluxOfElementNodes(k * Np, (k + 1) * Np, dryThreshold, 0.5 * g, fields.page[0], fields.page[1],
                           fields.page[2], F.page[0], F.page[1]);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const double dryThreshold = readScalar(argument(kModule, prhs, 0, "dryThreshold"));
    const double gravity = readScalar(argument(kModule, prhs, 1, "gravity"));
    requireFieldPages(argument(kModule, prhs, 3, "fieldValues"), 3, "h, hu, z");
    const FieldPageView1d fields = bindFieldPages1d(prhs[3]);
    requireBytes(argument(kModule, prhs, 2, "cellStatus"), fields.K, "K");
    const std::int8_t* cellStatus = statusBytes(prhs[2]);

    // 3. Output: Np x K x 2, zero-filled.
    const mwSize dims[3] = {static_cast<mwSize>(fields.Np), static_cast<mwSize>(fields.K), 2};
    plhs[0] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
    const FieldPageView1d F = bindFieldPages1d(plhs[0]);

    // 4. Fluxes.
    wdVolumeFlux1d(dryThreshold, gravity, cellStatus, fields, F);
}
