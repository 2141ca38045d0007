// prebalance_volume_flux_2d: the volume fluxes E (in x) and G (in y) of the 2d
// shallow-water equations in pre-balanced form, with wetting and drying.
//
//   E, G = prebalance_volume_flux_2d(dryThreshold, gravity, cellStatus, fieldValues)
//
//   dryThreshold, gravity: scalars
//   cellStatus:  int8, at least K entries, CellStatus of each element
//   fieldValues: Np x K x Nfield (Nfield >= 4), pages h, hu, hv, z
//   E, G:        Np x K x 3, pages: flux of h, hu, hv
//
// Dry elements keep zero fluxes; PressureFree elements drop the pressure term
// 0.5*g*(h^2 - z^2); nodes at or below the threshold carry no flux.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("prebalance_volume_flux_2d");

// Fluxes of nodes first .. last-1 of one element whose gravity is halfG / 0.5:
// above the dry threshold the full fluxes, at or below it zeros.
inline void fluxOfElementNodes(std::ptrdiff_t first, std::ptrdiff_t last, double dryThreshold, double halfG,
                               const double* __restrict h, const double* __restrict hu,
                               const double* __restrict hv, const double* __restrict z, double* __restrict Eh,
                               double* __restrict Ehu, double* __restrict Ehv, double* __restrict Gh,
                               double* __restrict Ghu, double* __restrict Ghv) {
    for (std::ptrdiff_t i = first; i < last; ++i) {
        const bool wet = h[i] > dryThreshold;
        const double p = halfG * (h[i] * h[i] - z[i] * z[i]);
        const double q = (hu[i] * hv[i]) / h[i];
        const double xx = (hu[i] * hu[i]) / h[i] + p;
        const double yy = (hv[i] * hv[i]) / h[i] + p;
        Eh[i] = wet ? hu[i] : 0.0;
        Ehu[i] = wet ? xx : 0.0;
        Ehv[i] = wet ? q : 0.0;
        Gh[i] = wet ? hv[i] : 0.0;
        Ghu[i] = wet ? q : 0.0;
        Ghv[i] = wet ? yy : 0.0;
    }
}

void prebalanceVolumeFlux2d(double dryThreshold, double gravity, const std::int8_t* cellStatus,
                            const FieldPageView2d& fields, const FieldPageView2d& E, const FieldPageView2d& G) {
    const std::ptrdiff_t Np = fields.Np;
    // Elements: Dry ones are skipped, PressureFree ones lose the pressure term.
    for (std::ptrdiff_t k = 0; k < fields.K; ++k) {
        const std::int8_t status = cellStatus[k];
        if (hasStatus(status, CellStatus::Dry)) {
            continue;
        }
        const double g = hasStatus(status, CellStatus::PressureFree) ? 0.0 : gravity;
        fluxOfElementNodes(k * Np, (k + 1) * Np, dryThreshold, 0.5 * g, fields.page[0], fields.page[1],
                           fields.page[2], fields.page[3], E.page[0], E.page[1], E.page[2], G.page[0], G.page[1],
                           G.page[2]);
    }
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const double dryThreshold = readScalar(argument(kModule, prhs, 0, "dryThreshold"));
    const double gravity = readScalar(argument(kModule, prhs, 1, "gravity"));
    requireFieldPages(argument(kModule, prhs, 3, "fieldValues"), 4, "h, hu, hv, z");
    const FieldPageView2d fields = bindFieldPages(prhs[3]);
    requireBytes(argument(kModule, prhs, 2, "cellStatus"), fields.K, "K");
    const std::int8_t* cellStatus = statusBytes(prhs[2]);

    // 3. Outputs: Np x K x 3, zero-filled.
    const mwSize dims[3] = {static_cast<mwSize>(fields.Np), static_cast<mwSize>(fields.K), 3};
    plhs[0] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
    plhs[1] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
    const FieldPageView2d E = bindFieldPages(plhs[0]);
    const FieldPageView2d G = bindFieldPages(plhs[1]);

    // 4. Fluxes.
    prebalanceVolumeFlux2d(dryThreshold, gravity, cellStatus, fields, E, G);
}
