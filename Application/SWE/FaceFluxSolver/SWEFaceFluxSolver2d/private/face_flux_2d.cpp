// face_flux_2d: the normal flux nx*E + ny*G of the 2d shallow-water equations
// at every node of a set of faces.
//
//   normalFlux = face_flux_2d(dryThreshold, gravity, normalX, normalY, faceValues)
//
//   dryThreshold, gravity: scalars
//   normalX, normalY: at least Nfp*Ne doubles, the normal at each face node
//   faceValues: Nfp x Ne x Nfield (Nfield >= 3), pages h, hu, hv
//   normalFlux: Nfp x Ne x 3, pages: normal flux of h, hu, hv
//
// The mass flux is the stored discharge itself; the pressure is 0.5*g*h^2 at
// every node, dry ones included. Nodes at or below the threshold have zero
// velocity, so only the discharge and the pressure remain there.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("face_flux_2d");

// Normal flux of face nodes 0 .. count-1, gravity given as halfG = 0.5*g.
inline void normalFluxOfNodes(std::ptrdiff_t count, double dryThreshold, double halfG,
                              const double* __restrict nx, const double* __restrict ny,
                              const double* __restrict h, const double* __restrict hu,
                              const double* __restrict hv, double* __restrict Fh, double* __restrict Fhu,
                              double* __restrict Fhv) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const Velocity vel = velocityFromDischarge(dryThreshold, h[i], hu[i], hv[i]);
        const double w = (h[i] * vel.u) * vel.v;
        const double p = halfG * (h[i] * h[i]);
        const double Ehu = (h[i] * vel.u) * vel.u + p;
        const double Ghv = (h[i] * vel.v) * vel.v + p;
        Fh[i] = nx[i] * hu[i] + ny[i] * hv[i];
        Fhu[i] = nx[i] * Ehu + ny[i] * w;
        Fhv[i] = nx[i] * w + ny[i] * Ghv;
    }
}

void faceFlux2d(double dryThreshold, double gravity, const double* normalX, const double* normalY,
                const FieldPageView2d& faces, const FieldPageView2d& flux) {
    // Normal flux at every node of every face, face after face.
    normalFluxOfNodes(faces.Np * faces.K, dryThreshold, 0.5 * gravity, normalX, normalY, faces.page[0],
                      faces.page[1], faces.page[2], flux.page[0], flux.page[1], flux.page[2]);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const double dryThreshold = readScalar(argument(kModule, prhs, 0, "dryThreshold"));
    const double gravity = readScalar(argument(kModule, prhs, 1, "gravity"));
    requireFieldPages(argument(kModule, prhs, 4, "faceValues"), 3, "h, hu, hv");
    const FieldPageView2d faces = bindFieldPages(prhs[4]);
    const std::ptrdiff_t nodes = faces.Np * faces.K;
    requireDoubles(argument(kModule, prhs, 2, "normalX"), nodes, "Nfp*Ne");
    requireDoubles(argument(kModule, prhs, 3, "normalY"), nodes, "Nfp*Ne");

    // 3. Output: Nfp x Ne x 3.
    const mwSize dims[3] = {static_cast<mwSize>(faces.Np), static_cast<mwSize>(faces.K), 3};
    plhs[0] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
    const FieldPageView2d flux = bindFieldPages(plhs[0]);

    // 4. Normal fluxes.
    faceFlux2d(dryThreshold, gravity, mxGetPr(prhs[2]), mxGetPr(prhs[3]), faces, flux);
}
