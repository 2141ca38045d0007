// A small stand-alone host for the kernel modules: it offers the array
// interface the modules are written against (zero-filled column-major arrays,
// int8 and sparse arrays, a console, host errors) and loads each built module
// as a plug-in, the way MATLAB and Octave do.
//
//   kernel_host::Module flux = kernel_host::Module::load("build/modules/face_flux_2d.so");
//   auto faceValues = kernel_host::doubleArray({4, 100, 3});
//   ...
//   kernel_host::CallResult r = flux.call(1, {threshold.get(), gravity.get(), ...});
//   if (!r.ok) std::cerr << r.identifier << ": " << r.message << "\n";
//   const double* normalFlux = mxGetPr(r.outputs[0].get());
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host_interface.hpp"

namespace kernel_host {

struct ArrayDeleter {
    void operator()(mxArray* array) const { mxDestroyArray(array); }
};
using ArrayPtr = std::unique_ptr<mxArray, ArrayDeleter>;

// A zero-filled double array with the given extents; `values`, if given, fill
// it in column-major order (fewer values leave the rest at 0.0).
ArrayPtr doubleArray(const std::vector<std::size_t>& dims, const std::vector<double>& values = {});
ArrayPtr doubleScalar(double value);
// An int8 array of the given extents, filled with `values`.
ArrayPtr int8Array(const std::vector<std::size_t>& dims, const std::vector<std::int8_t>& values = {});
// A zero-filled array of any class (a cell, struct or function-handle array
// holds only zero bytes here); a complex one has a zero imaginary part too.
ArrayPtr numericArray(mxClassID classId, const std::vector<std::size_t>& dims, mxComplexity complexity = mxREAL);
// A sparse double matrix m x n in compressed-column form: columnStarts has n + 1
// entries, rowIndices and values one entry per stored element.
ArrayPtr sparseArray(std::size_t m, std::size_t n, const std::vector<std::size_t>& columnStarts,
                     const std::vector<std::size_t>& rowIndices, const std::vector<double>& values);

// The elements of a double array, column-major.
std::vector<double> values(const mxArray* array);
std::vector<std::size_t> dimensions(const mxArray* array);

// What a call hands back: the outputs (at least the first slot, which a
// one-output module fills even when asked for none), or the host error that
// ended it.
struct CallResult {
    bool ok = false;
    std::string identifier;
    std::string message;
    std::vector<ArrayPtr> outputs;
};

class Module {
public:
    // Opens a built module; ends the program with a message if it cannot.
    static Module load(const std::string& path);
    // Opens the module of that name from the directory the build put them in
    // (KERNELS_MODULE_DIR, or the environment variable of that name).
    static Module byName(const std::string& name);

    Module(Module&& other) noexcept;
    Module& operator=(Module&& other) noexcept;
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;
    ~Module();

    // Calls mexFunction with nlhs outputs and the given inputs. The inputs stay
    // the caller's; arrays the module made and did not return are reclaimed.
    // Requested outputs that the module left unassigned end the call in the
    // error "kernelhost:unassignedOutput".
    CallResult call(int nlhs, const std::vector<const mxArray*>& inputs) const;

    // The two values the module stored through mexfilerequiredapiversion at
    // load time (0 and 0 if it does not export it).
    unsigned int builtByRelease() const { return builtByRelease_; }
    unsigned int targetApiVersion() const { return targetApiVersion_; }
    const std::string& name() const { return name_; }

private:
    Module() = default;
    void* handle_ = nullptr;
    void (*entry_)(int, mxArray**, int, const mxArray**) = nullptr;
    unsigned int builtByRelease_ = 0;
    unsigned int targetApiVersion_ = 0;
    std::string name_;
};

// Everything printed with mexPrintf since the last call of takeConsole.
std::string takeConsole();

// Arrays created by the host and not yet destroyed (for leak checks in tests).
std::size_t liveArrayCount();

// The largest data block one array may take, in bytes (default: no limit
// beyond what the system gives). A larger request, like one whose size does
// not fit in 64 bits, ends the call in "kernelhost:outOfMemory", as MATLAB ends
// a MEX call whose array it cannot make.
void setArrayByteLimit(std::size_t bytes);

}  // namespace kernel_host
