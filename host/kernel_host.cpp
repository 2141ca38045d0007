// The stand-alone host: the array interface of host_interface.hpp and the
// module loader of kernel_host.hpp.
#include "kernel_host.hpp"

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <dlfcn.h>
#endif
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <unordered_set>
#include <utility>

struct mxArray_tag {
    mxClassID classId = mxDOUBLE_CLASS;
    bool sparse = false;
    bool complex = false;                // only marked: the imaginary part is not stored
    std::vector<mwSize> dims;
    std::size_t elementSize = sizeof(double);
    void* data = nullptr;                // elements, or the stored values of a sparse matrix
    std::vector<mwIndex> columnStarts;   // sparse only: n + 1 entries
    std::vector<mwIndex> rowIndices;     // sparse only: nzmax entries
};

namespace {

// The error that ends a call: mexErrMsgIdAndTxt throws it, Module::call
// catches it. Modules hold no resources of their own, so unwinding through
// them releases nothing; the arrays they made are reclaimed below.
struct HostError {
    std::string identifier;
    std::string message;
};

// What the module in progress has made: reclaimed at the end of the call,
// except the outputs it handed over.
struct CallScope {
    std::vector<mxArray*> arrays;
    std::vector<void*> blocks;
};

// Large arrays come from a heap that keeps freed memory, as a host's own memory
// manager does, rather than from fresh pages that the system zeroes and maps
// one fault at a time: on virtual machines those faults cost more than the
// kernels themselves.
#if defined(__GLIBC__)
const bool heapKeepsFreedMemory = [] {
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();
#endif

// Loading a module: the system's dynamic loader.
#if defined(_WIN32)
void* openLibrary(const std::string& path) {
    return reinterpret_cast<void*>(LoadLibraryA(path.c_str()));
}
void* librarySymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) {
    FreeLibrary(static_cast<HMODULE>(handle));
}
std::string loaderError() {
    return "error " + std::to_string(GetLastError());
}
#else
void* openLibrary(const std::string& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}
void* librarySymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}
void closeLibrary(void* handle) {
    dlclose(handle);
}
std::string loaderError() {
    return dlerror();
}
#endif

CallScope* currentCall = nullptr;
std::size_t arrayByteLimit = SIZE_MAX;
std::string console;
std::unordered_set<const mxArray*> liveArrays;

std::size_t classElementSize(mxClassID classId) {
    switch (classId) {
        case mxDOUBLE_CLASS:
        case mxCELL_CLASS:    // one pointer per element
        case mxSTRUCT_CLASS:
        case mxINT64_CLASS:
        case mxUINT64_CLASS:
            return 8;
        case mxSINGLE_CLASS:
        case mxINT32_CLASS:
        case mxUINT32_CLASS:
            return 4;
        case mxINT16_CLASS:
        case mxUINT16_CLASS:
        case mxCHAR_CLASS:
            return 2;
        default:
            return 1;
    }
}

// The element count. Arrays that exist hold a count that fits (newArray
// checks it), or have a zero extent, which makes the wrapped product 0 too.
std::size_t product(const std::vector<mwSize>& dims) {
    std::size_t n = 1;
    for (mwSize d : dims) {
        n *= d;
    }
    return n;
}

// count * size bytes, or the error that ends the call when that does not fit
// in 64 bits or passes the limit.
std::size_t checkedBytes(std::size_t count, std::size_t size) {
    if (size != 0 && count > arrayByteLimit / size) {
        throw HostError{"kernelhost:outOfMemory", "Out of memory: the requested array is too large."};
    }
    return count * size;
}

// The element count of an array of these extents: 0 when one is 0, else the
// product, which must fit in 64 bits.
std::size_t checkedCount(const std::vector<mwSize>& dims) {
    if (std::find(dims.begin(), dims.end(), mwSize{0}) != dims.end()) {
        return 0;
    }
    std::size_t n = 1;
    for (mwSize d : dims) {
        n = checkedBytes(n, d);
    }
    return n;
}

mxArray* newArray(mxClassID classId, std::vector<mwSize> dims) {
    // MATLAB keeps at least two extents and drops trailing singleton ones.
    while (dims.size() < 2) {
        dims.push_back(dims.empty() ? 0 : 1);
    }
    while (dims.size() > 2 && dims.back() == 1) {
        dims.pop_back();
    }
    // At least one element, so that data is never null; calloc zero-fills.
    const std::size_t bytes = checkedBytes(std::max<std::size_t>(checkedCount(dims), 1), classElementSize(classId));
    void* data = std::calloc(bytes, 1);
    if (data == nullptr) {
        throw HostError{"kernelhost:outOfMemory", "Out of memory."};
    }
    auto* array = new mxArray_tag;
    array->classId = classId;
    array->dims = std::move(dims);
    array->elementSize = classElementSize(classId);
    array->data = data;
    liveArrays.insert(array);
    if (currentCall != nullptr) {
        currentCall->arrays.push_back(array);
    }
    return array;
}

void destroy(mxArray* array) {
    if (array == nullptr) {
        return;
    }
    liveArrays.erase(array);
    std::free(array->data);
    delete array;
}

const char* className(mxClassID classId) {
    switch (classId) {
        case mxCELL_CLASS: return "cell";
        case mxSTRUCT_CLASS: return "struct";
        case mxLOGICAL_CLASS: return "logical";
        case mxCHAR_CLASS: return "char";
        case mxDOUBLE_CLASS: return "double";
        case mxSINGLE_CLASS: return "single";
        case mxINT8_CLASS: return "int8";
        case mxUINT8_CLASS: return "uint8";
        case mxINT16_CLASS: return "int16";
        case mxUINT16_CLASS: return "uint16";
        case mxINT32_CLASS: return "int32";
        case mxUINT32_CLASS: return "uint32";
        case mxINT64_CLASS: return "int64";
        case mxUINT64_CLASS: return "uint64";
        case mxFUNCTION_CLASS: return "function_handle";
        default: return "unknown";
    }
}

// A cell, struct or function-handle array has no data of its own to hand out:
// asking for it is a fault of the module (Octave aborts the process there too).
void* dataOf(const mxArray* array) {
    if (array->classId == mxCELL_CLASS || array->classId == mxSTRUCT_CLASS || array->classId == mxFUNCTION_CLASS) {
        std::fprintf(stderr, "kernel_host: a module asked for the data of a %s array\n", className(array->classId));
        std::abort();
    }
    return array->data;
}

}  // namespace

extern "C" {

double* mxGetPr(const mxArray* array) { return static_cast<double*>(dataOf(array)); }
void* mxGetData(const mxArray* array) { return dataOf(array); }

double mxGetScalar(const mxArray* array) {
    if (array->sparse) {
        return array->rowIndices.empty() ? 0.0 : static_cast<const double*>(array->data)[0];
    }
    if (product(array->dims) == 0) {
        return 0.0;
    }
    switch (array->classId) {
        case mxDOUBLE_CLASS: return static_cast<const double*>(array->data)[0];
        case mxSINGLE_CLASS: return static_cast<const float*>(array->data)[0];
        case mxINT8_CLASS: return static_cast<const std::int8_t*>(array->data)[0];
        case mxUINT8_CLASS:
        case mxLOGICAL_CLASS: return static_cast<const std::uint8_t*>(array->data)[0];
        case mxINT16_CLASS: return static_cast<const std::int16_t*>(array->data)[0];
        case mxUINT16_CLASS: return static_cast<const std::uint16_t*>(array->data)[0];
        case mxINT32_CLASS: return static_cast<const std::int32_t*>(array->data)[0];
        case mxUINT32_CLASS: return static_cast<const std::uint32_t*>(array->data)[0];
        case mxINT64_CLASS: return static_cast<double>(static_cast<const std::int64_t*>(array->data)[0]);
        case mxUINT64_CLASS: return static_cast<double>(static_cast<const std::uint64_t*>(array->data)[0]);
        default: return 0.0;
    }
}

std::size_t mxGetM(const mxArray* array) { return array->dims[0]; }

std::size_t mxGetN(const mxArray* array) {
    std::size_t n = 1;
    for (std::size_t d = 1; d < array->dims.size(); ++d) {
        n *= array->dims[d];
    }
    return n;
}

const mwSize* mxGetDimensions_730(const mxArray* array) { return array->dims.data(); }
mwSize mxGetNumberOfDimensions_730(const mxArray* array) { return array->dims.size(); }
std::size_t mxGetNumberOfElements(const mxArray* array) { return product(array->dims); }
std::size_t mxGetElementSize(const mxArray* array) { return array->elementSize; }
mwIndex* mxGetJc_730(const mxArray* array) {
    return array->sparse ? const_cast<mwIndex*>(array->columnStarts.data()) : nullptr;
}
mwIndex* mxGetIr_730(const mxArray* array) {
    return array->sparse ? const_cast<mwIndex*>(array->rowIndices.data()) : nullptr;
}

mxClassID mxGetClassID(const mxArray* array) { return array->classId; }
const char* mxGetClassName(const mxArray* array) { return className(array->classId); }
bool mxIsDouble(const mxArray* array) { return array->classId == mxDOUBLE_CLASS; }
bool mxIsInt8(const mxArray* array) { return array->classId == mxINT8_CLASS; }
bool mxIsSparse(const mxArray* array) { return array->sparse; }
bool mxIsLogical(const mxArray* array) { return array->classId == mxLOGICAL_CLASS; }
bool mxIsChar(const mxArray* array) { return array->classId == mxCHAR_CLASS; }
bool mxIsComplex(const mxArray* array) { return array->complex; }
bool mxIsNumeric(const mxArray* array) {
    return array->classId >= mxDOUBLE_CLASS && array->classId <= mxUINT64_CLASS;
}

mxArray* mxCreateNumericArray_730(mwSize ndim, const mwSize* dims, mxClassID classId, mxComplexity complexity) {
    mxArray* array = newArray(classId, std::vector<mwSize>(dims, dims + ndim));
    array->complex = complexity == mxCOMPLEX;
    return array;
}

mxArray* mxCreateDoubleMatrix_730(mwSize m, mwSize n, mxComplexity complexity) {
    mxArray* array = newArray(mxDOUBLE_CLASS, {m, n});
    array->complex = complexity == mxCOMPLEX;
    return array;
}

mxArray* mxCreateDoubleScalar(double value) {
    mxArray* array = newArray(mxDOUBLE_CLASS, {1, 1});
    static_cast<double*>(array->data)[0] = value;
    return array;
}

mxArray* mxCreateSparse_730(mwSize m, mwSize n, mwSize nzmax, mxComplexity) {
    nzmax = std::max<mwSize>(nzmax, 1);
    const std::size_t valueBytes = checkedBytes(nzmax, sizeof(double));
    checkedBytes(n, sizeof(mwIndex));
    // Made as an empty array first, so that the call reclaims it should the
    // structure not fit in memory.
    mxArray* array = newArray(mxDOUBLE_CLASS, {0, 0});
    array->dims = {m, n};
    array->sparse = true;
    std::free(array->data);
    array->data = std::calloc(valueBytes, 1);
    try {
        array->columnStarts.assign(n + 1, 0);
        array->rowIndices.assign(nzmax, 0);
    } catch (const std::exception&) {
        std::free(array->data);
        array->data = nullptr;
    }
    if (array->data == nullptr) {
        throw HostError{"kernelhost:outOfMemory", "Out of memory."};
    }
    return array;
}

void mxDestroyArray(mxArray* array) {
    if (currentCall != nullptr) {
        auto& made = currentCall->arrays;
        made.erase(std::remove(made.begin(), made.end(), array), made.end());
    }
    destroy(array);
}

void* mxMalloc(std::size_t bytes) { return mxCalloc(bytes, 1); }

void* mxCalloc(std::size_t count, std::size_t size) {
    void* block = std::calloc(checkedBytes(std::max<std::size_t>(count, 1), std::max<std::size_t>(size, 1)), 1);
    if (block == nullptr) {
        throw HostError{"kernelhost:outOfMemory", "Out of memory."};
    }
    if (currentCall != nullptr) {
        currentCall->blocks.push_back(block);
    }
    return block;
}

void mxFree(void* pointer) {
    if (currentCall != nullptr) {
        auto& blocks = currentCall->blocks;
        blocks.erase(std::remove(blocks.begin(), blocks.end(), pointer), blocks.end());
    }
    std::free(pointer);
}

int mexPrintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length > 0) {
        std::string text(static_cast<std::size_t>(length) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, again);
        text.resize(static_cast<std::size_t>(length));
        console += text;
        if (std::getenv("KERNEL_HOST_ECHO") != nullptr) {
            std::fputs(text.c_str(), stdout);
        }
    }
    va_end(again);
    return length;
}

void mexErrMsgIdAndTxt(const char* identifier, const char* format, ...) {
    va_list args;
    va_start(args, format);
    char message[1024];
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    throw HostError{identifier, message};
}

}  // extern "C"

namespace kernel_host {

ArrayPtr doubleArray(const std::vector<std::size_t>& dims, const std::vector<double>& values) {
    ArrayPtr array(newArray(mxDOUBLE_CLASS, std::vector<mwSize>(dims.begin(), dims.end())));
    const std::size_t n = std::min(values.size(), product(array->dims));
    std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n), mxGetPr(array.get()));
    return array;
}

ArrayPtr doubleScalar(double value) {
    return ArrayPtr(mxCreateDoubleScalar(value));
}

ArrayPtr int8Array(const std::vector<std::size_t>& dims, const std::vector<std::int8_t>& values) {
    ArrayPtr array(newArray(mxINT8_CLASS, std::vector<mwSize>(dims.begin(), dims.end())));
    const std::size_t n = std::min(values.size(), product(array->dims));
    std::copy(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(n),
              static_cast<std::int8_t*>(mxGetData(array.get())));
    return array;
}

ArrayPtr numericArray(mxClassID classId, const std::vector<std::size_t>& dims, mxComplexity complexity) {
    ArrayPtr array(newArray(classId, std::vector<mwSize>(dims.begin(), dims.end())));
    array->complex = complexity == mxCOMPLEX;
    return array;
}

ArrayPtr sparseArray(std::size_t m, std::size_t n, const std::vector<std::size_t>& columnStarts,
                     const std::vector<std::size_t>& rowIndices, const std::vector<double>& values) {
    ArrayPtr array(mxCreateSparse_730(m, n, rowIndices.size(), mxREAL));
    std::copy(columnStarts.begin(), columnStarts.end(), array->columnStarts.begin());
    std::copy(rowIndices.begin(), rowIndices.end(), array->rowIndices.begin());
    std::copy(values.begin(), values.end(), mxGetPr(array.get()));
    return array;
}

std::vector<double> values(const mxArray* array) {
    const double* data = mxGetPr(array);
    return std::vector<double>(data, data + product(array->dims));
}

std::vector<std::size_t> dimensions(const mxArray* array) {
    return std::vector<std::size_t>(array->dims.begin(), array->dims.end());
}

Module Module::load(const std::string& path) {
    Module module;
    module.handle_ = openLibrary(path);
    if (module.handle_ == nullptr) {
        std::fprintf(stderr, "kernel_host: cannot load %s: %s\n", path.c_str(), loaderError().c_str());
        std::exit(2);
    }
    module.entry_ = reinterpret_cast<void (*)(int, mxArray**, int, const mxArray**)>(
        librarySymbol(module.handle_, "mexFunction"));
    if (module.entry_ == nullptr) {
        std::fprintf(stderr, "kernel_host: %s has no mexFunction\n", path.c_str());
        std::exit(2);
    }
    using VersionQuery = void (*)(unsigned int*, unsigned int*);
    if (auto query = reinterpret_cast<VersionQuery>(librarySymbol(module.handle_, "mexfilerequiredapiversion"))) {
        query(&module.builtByRelease_, &module.targetApiVersion_);
    }
    const std::size_t slash = path.find_last_of('/');
    const std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
    module.name_ = file.substr(0, file.find('.'));
    return module;
}

Module Module::byName(const std::string& name) {
    const char* dir = std::getenv("KERNELS_MODULE_DIR");
#ifdef KERNELS_MODULE_DIR
    if (dir == nullptr) {
        dir = KERNELS_MODULE_DIR;
    }
#endif
    if (dir == nullptr) {
        dir = ".";
    }
    return load(std::string(dir) + "/" + name + ".so");
}

Module::Module(Module&& other) noexcept { *this = std::move(other); }

Module& Module::operator=(Module&& other) noexcept {
    std::swap(handle_, other.handle_);
    std::swap(entry_, other.entry_);
    std::swap(builtByRelease_, other.builtByRelease_);
    std::swap(targetApiVersion_, other.targetApiVersion_);
    std::swap(name_, other.name_);
    return *this;
}

Module::~Module() {
    if (handle_ != nullptr) {
        closeLibrary(handle_);
    }
}

CallResult Module::call(int nlhs, const std::vector<const mxArray*>& inputs) const {
    // The host always provides the first output slot.
    std::vector<mxArray*> slots(static_cast<std::size_t>(std::max(nlhs, 1)), nullptr);
    CallScope scope;
    CallScope* outer = currentCall;
    currentCall = &scope;
    CallResult result;
    try {
        entry_(nlhs, slots.data(), static_cast<int>(inputs.size()), const_cast<const mxArray**>(inputs.data()));
        result.ok = true;
        for (int i = 0; i < nlhs; ++i) {
            if (slots[static_cast<std::size_t>(i)] == nullptr) {
                result.ok = false;
                result.identifier = "kernelhost:unassignedOutput";
                result.message = "One or more output arguments not assigned during call to '" + name_ + "'.";
                break;
            }
        }
    } catch (const HostError& error) {
        result.identifier = error.identifier;
        result.message = error.message;
    }
    currentCall = outer;
    // Hand over the filled slots of a successful call; reclaim everything else.
    if (result.ok) {
        for (mxArray* slot : slots) {
            scope.arrays.erase(std::remove(scope.arrays.begin(), scope.arrays.end(), slot), scope.arrays.end());
            result.outputs.emplace_back(slot);
        }
    }
    for (mxArray* array : scope.arrays) {
        destroy(array);
    }
    for (void* block : scope.blocks) {
        std::free(block);
    }
    return result;
}

std::string takeConsole() {
    std::string text;
    std::swap(text, console);
    return text;
}

std::size_t liveArrayCount() { return liveArrays.size(); }

void setArrayByteLimit(std::size_t bytes) { arrayByteLimit = bytes; }

}  // namespace kernel_host
