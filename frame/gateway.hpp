// Gateway conventions shared by every module: the table of modules with their
// required argument counts, the argument-count diagnostics, and the checks that
// end a call with a host error before a module could read or write outside an
// array.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host_interface.hpp"

namespace kernels {

// One row of the module table: the module's name, the source file named in its
// diagnostics, the MATLAB class that calls it, and its required counts.
struct ModuleSignature {
    const char* name;
    const char* sourceFile;
    const char* callingClass;
    int inputs;
    int outputs;
};

inline constexpr ModuleSignature kModuleTable[] = {
    {"inner_edge_strong_rhs", "inner_edge_strong_rhs.cpp", "OrvInnerEdge", 10, 1},
    {"prebalance_volume_flux_2d", "prebalance_volume_flux_2d.cpp", "SWEWDPrebalanceVolumeFluxSolver2d", 4, 2},
    {"upwind_flux_2d", "upwind_flux_2d.cpp", "SWENonhydroHLLNumFluxSolver2d", 12, 1},
    {"bottom_edge_alter_rhs", "bottom_edge_alter_rhs.cpp", "OrvBottomInnerEdge3d", 9, 1},
    {"bottom_edge_central_rhs", "bottom_edge_central_rhs.cpp", "OrvBottomInnerEdge3d", 9, 1},
    {"face_flux_2d", "face_flux_2d.cpp", "SWEFaceFluxSolver2d", 5, 1},
    {"mesh_connection", "mesh_connection.cpp", "OrvMesh", 13, 3},
    {"nonhydro_vertical_volume_flux", "nonhydro_vertical_volume_flux.cpp", "SWENonhydroVolumeFluxSolver2d", 5, 2},
    {"nonhydro_vertical_face_flux", "nonhydro_vertical_face_flux.cpp", "SWENonhydroFaceFluxSolver2d", 9, 1},
    {"face_flux_1d", "face_flux_1d.cpp", "SWEFaceFluxSolver1d", 4, 1},
    {"wd_volume_flux_1d", "wd_volume_flux_1d.cpp", "SWEWDVolumeFluxSolver1d", 4, 1},
    {"time_interval_3d", "time_interval_3d.cpp", "SWEAbstract3d", 6, 1},
    {"penalty_parameter", "penalty_parameter.cpp", "OrvAbstractNonhydrostaticSolver", 7, 1},
    {"point_to_cell_info", "point_to_cell_info.cpp", "OrvQuadratureFreeNonhydrostaticSolver2d", 2, 2},
    {"downwind_flux_2d", "downwind_flux_2d.cpp", "OrvNonhydrostaticSolver2d", 12, 2},
    {"face_normal_vector", "face_normal_vector.cpp", "OrvNonhydrostaticSolver2d", 12, 3},
    {"boundary_primitive_flux", "boundary_primitive_flux.cpp", "OrvAbstractNonhydrostaticSolver", 3, 1},
    {"wet_dry_face_1d", "wet_dry_face_1d.cpp", "OrvNonhydrostaticSolver1d", 2, 1},
    {"element_boundary_condition", "element_boundary_condition.cpp", "OrvAbstractNonhydrostaticSolver", 4, 1},
    {"boundary_type", "boundary_type.cpp", "OrvAbstractNonhydrostaticSolver", 2, 1},
};

// The table row of a module, looked up at compile time; an unknown name does
// not compile.
constexpr const ModuleSignature& moduleSignature(std::string_view name) {
    for (const ModuleSignature& row : kModuleTable) {
        if (name == row.name) {
            return row;
        }
    }
    throw "not a module of this library";
}

// Prints the argument-count diagnostics, inputs first, and ends the call with
// "<module>:invalidNumberOfInputs" or "<module>:invalidNumberOfOutputs" so that
// no missing input is read and no missing output slot is written. A one-output
// module called with nlhs = 0 and the right inputs is the one exception: after
// the diagnostic it runs and stores its result in the first slot, which the
// host always provides (it becomes ans).
void checkArgumentCounts(const ModuleSignature& module, int nlhs, int nrhs);

// Ends the call with the host error "<module>:<reason>" and a printf-style
// message. Never returns.
[[noreturn]] void failCall(const ModuleSignature& module, const char* reason, const char* format, ...)
    KERNELS_PRINTF_FORMAT(3, 4);

// One input as the checks below name it in their messages.
struct Argument {
    const ModuleSignature& module;
    const mxArray* array;
    int position;      // 0-based position among the inputs
    const char* name;  // the input's name, e.g. "fieldValues"
};

inline Argument argument(const ModuleSignature& module, const mxArray* const prhs[], int position,
                         const char* name) {
    return Argument{module, prhs[position], position, name};
}

// Element count and extents of an array as signed 64-bit values.
std::ptrdiff_t elementCount(const mxArray* array);
std::ptrdiff_t rows(const mxArray* array);
std::ptrdiff_t columns(const mxArray* array);
std::ptrdiff_t extent(const mxArray* array, int dimension);  // 1 past the last dimension
std::ptrdiff_t pageCount(const mxArray* array);               // product of the extents after the second

// Reads a scalar with mxGetScalar after checking that there is a first element
// of a real numeric or logical class ("<module>:invalidScalar").
double readScalar(const Argument& arg);

// An array whose extents a module may multiply: every extent below 2^63 and
// the product of the nonzero extents within 64 bits ("<module>:tooLarge").
// Every check below makes it first; an input read for its extents only needs
// it alone.
void requireExtents(const Argument& arg);

// a*b for counts taken from the extents of `arg` (`what` says which, e.g.
// "2*Nface"); a negative factor (an extent of 2^63 or more) or a product
// beyond 64 bits ends the call ("<module>:tooLarge").
std::ptrdiff_t countProduct(const Argument& arg, std::ptrdiff_t a, std::ptrdiff_t b, const char* what);

// A dense (non-sparse) real double array, since it is read through mxGetPr
// ("<module>:notDouble").
void requireDoubleArray(const Argument& arg);

// A dense array holding at least `needed` elements ("<module>:tooFewElements");
// `what` says where the count comes from, e.g. "Nfp*Ne".
void requireElements(const Argument& arg, std::ptrdiff_t needed, const char* what);

// A dense double array holding at least `needed` elements.
void requireDoubles(const Argument& arg, std::ptrdiff_t needed, const char* what);

// A dense numeric, logical or char array ("<module>:notNumeric"; a cell,
// struct or function handle has no bytes of its own), read byte by byte,
// holding at least `needed` bytes ("<module>:tooFewBytes"). Returns its byte
// count.
std::ptrdiff_t requireBytes(const Argument& arg, std::ptrdiff_t needed, const char* what);

// A dense double array with at least `needed` pages (third extent and beyond)
// ("<module>:tooFewPages").
void requirePages(const Argument& arg, std::ptrdiff_t needed, const char* what);

// A field array Np x K x Nfield: a dense double array that, when it has at
// least one node (Np*K > 0), holds at least `needed` pages.
void requireFieldPages(const Argument& arg, std::ptrdiff_t needed, const char* what);

// A sparse array ("<module>:notSparse").
void requireSparse(const Argument& arg);

// Checks the 1-based indices read at data[offset + j*stride], j = 0 .. count-1:
// truncated toward zero, each must be finite and lie in 1..upper
// ("<module>:indexOutOfRange"). `upperName` names the bound, e.g. "K".
// The array must already be known to hold the entries read.
void requireIndices(const Argument& arg, std::ptrdiff_t count, std::ptrdiff_t stride, std::ptrdiff_t offset,
                    std::ptrdiff_t upper, const char* upperName);

}  // namespace kernels
