// face_flux_1d: the normal flux F*nx of the 1d shallow-water equations at
// every node of a set of faces.
//
//   normalFlux = face_flux_1d(dryThreshold, gravity, normalX, faceValues)
//
//   dryThreshold, gravity: scalars
//   normalX:    at least Nfp*Ne doubles, the normal at each face node
//   faceValues: Nfp x Ne x Nfield (Nfield >= 2), pages h, hu (further pages,
//               the bottom elevation among them, are not read)
//   normalFlux: Nfp x Ne x 2, pages: normal flux of h, hu
//
// The mass flux is the stored discharge itself; the pressure is 0.5*g*h^2 at
// every node, dry ones included. Nodes at or below the threshold have zero
// velocity.
#include "kernel_frame.hpp"

namespace {

using namespace kernels;

constexpr const ModuleSignature& kModule = moduleSignature("face_flux_1d");

// Normal flux of face nodes 0 .. count-1, gravity given as halfG = 0.5*g.
inline void normalFluxOfNodes(std::ptrdiff_t count, double dryThreshold, double halfG,
                              const double* __restrict nx, const double* __restrict h,
                              const double* __restrict hu, double* __restrict Fh, double* __restrict Fhu) {
    for (std::ptrdiff_t i = 0; i < count; ++i) {
        const double u = velocityFromDischarge1d(dryThreshold, h[i], hu[i]);
        const double momentum = (h[i] * u) * u + halfG * (h[i] * h[i]);
        Fh[i] = hu[i] * nx[i];
        Fhu[i] = momentum * nx[i];
    }
}

void faceFlux1d(double dryThreshold, double gravity, const double* normalX, const FieldPageView1d& faces,
                const FieldPageView1d& flux) {
    // Normal flux at every node of every face, face after face.
    normalFluxOfNodes(faces.Np * faces.K, dryThreshold, 0.5 * gravity, normalX, faces.page[0], faces.page[1],
                      flux.page[0], flux.page[1]);
}

}  // namespace

void mexFunction(int nlhs, mxArray* plhs[], int nrhs, const mxArray* prhs[]) {
    // 1. Argument counts.
    checkArgumentCounts(kModule, nlhs, nrhs);

    // 2. Inputs.
    const double dryThreshold = readScalar(argument(kModule, prhs, 0, "dryThreshold"));
    const double gravity = readScalar(argument(kModule, prhs, 1, "gravity"));
    requireFieldPages(argument(kModule, prhs, 3, "faceValues"), 2, "h, hu");
    const FieldPageView1d faces = bindFieldPages1d(prhs[3]);
    const std::ptrdiff_t nodes = faces.Np * faces.K;
    requireDoubles(argument(kModule, prhs, 2, "normalX"), nodes, "Nfp*Ne");

    // 3. Output: Nfp x Ne x 2.
    const mwSize dims[3] = {static_cast<mwSize>(faces.Np), static_cast<mwSize>(faces.K), 2};
    plhs[0] = mxCreateNumericArray(3, dims, mxDOUBLE_CLASS, mxREAL);
    const FieldPageView1d flux = bindFieldPages1d(plhs[0]);

    // 4. Normal fluxes.
    faceFlux1d(dryThreshold, gravity, mxGetPr(prhs[2]), faces, flux);
}
