// libFuzzer target of one module, called through the stand-alone host as MATLAB
// would call it. Built once per module as fuzz_<module>; the name of the
// executable says which module it loads.
//
// The fuzz bytes decode into one call: values for the module's extents, then
// every input built from its kind in the module's schema below (class, extents,
// values). Most calls are nearly valid: consistent extents, indices around both
// ends of their range, NaN, infinities, huge and fractional values, int8 codes
// over the whole range. Some inputs get another class (complex, sparse, single,
// integer, char, cell, struct, function handle), fewer elements than the other
// inputs imply, or become empty with extents up to 2^64 - 1 (among them an
// extent of 2^62 or more beside a zero one, which passes the extent checks).
//
// Every call must end in outputs of the documented extents, or in an error
// "<module>:..." (or the host's out-of-memory error, for an output too large
// to make), must leave its inputs byte for byte as they were, and must leave
// no host array behind. Anything else aborts with a message.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "kernel_host.hpp"

namespace {

using kernel_host::ArrayPtr;

// Input kinds:
//   s scalar              n count scalar: extent `upper`   k index scalar in 1..upper
//   b int8 codes          d doubles                         i indices in 1..upper, as doubles
//   v vertex ids (small integers, so that faces match)      t template: extents only
//   p sparse matrix       x never read: anything
// dims: one character per extent, a..f the module's extents, 0..9 constants.
struct Input {
    char kind;
    const char* dims;
    char upper = 0;
};

// Output extents, space-separated tokens: "#n" a constant, "I.d" extent d of
// input I (0-based), "I.n" its columns (the extents after the first), "sI"
// input I as a scalar truncated toward zero, "SI" that plus one, "?" any.
struct Schema {
    const char* name;
    int outputs;
    std::vector<Input> inputs;
    std::vector<const char*> outputDims;
    bool mayLeaveOutputs;  // no output assigned when nothing matches
};

const Input S{'s', "11", 0};

std::vector<Input> repeat(std::vector<Input> head, int count, Input input) {
    head.insert(head.end(), static_cast<std::size_t>(count), input);
    return head;
}

const Schema kSchemas[] = {
    // a Np, b K
    {"prebalance_volume_flux_2d", 2, {S, S, {'b', "1b"}, {'d', "ab4"}}, {"3.0 3.1 #3", "3.0 3.1 #3"}, false},
    {"wd_volume_flux_1d", 1, {S, S, {'b', "1b"}, {'d', "ab3"}}, {"3.0 3.1 #2"}, false},
    {"time_interval_3d", 1, {{'x', "11"}, S, S, {'d', "1b"}, {'b', "1b"}, {'d', "ab3"}}, {"#1 #1"}, false},
    {"nonhydro_vertical_volume_flux", 2, repeat({{'b', "1b"}}, 4, {'d', "ab"}), {"4.0 4.n", "4.0 4.n"}, false},
    // a Nfp, b Ne
    {"face_flux_2d", 1, {S, S, {'d', "ab"}, {'d', "ab"}, {'d', "ab3"}}, {"4.0 4.1 #3"}, false},
    {"face_flux_1d", 1, {S, S, {'d', "ab"}, {'d', "ab2"}}, {"3.0 3.1 #2"}, false},
    // a Nfp, b Nface, c K
    {"upwind_flux_2d", 1, repeat({{'b', "1c"}, {'i', "2b", 'c'}}, 10, {'d', "ab"}), {"2.0 2.n"}, false},
    {"downwind_flux_2d", 2, repeat({{'b', "1c"}, {'i', "2b", 'c'}}, 10, {'d', "ab"}), {"2.0 2.n", "2.0 2.n"}, false},
    {"nonhydro_vertical_face_flux", 1, repeat({{'b', "1c"}, {'i', "2b", 'c'}, S}, 6, {'d', "ab"}), {"3.0 3.n"}, false},
    // a K, b Nface
    {"wet_dry_face_1d", 1, {{'b', "1a"}, {'i', "2b", 'a'}}, {"#1 1.n"}, false},
    // a Np, b K, c Nfp, d Nface, e Nfield
    {"inner_edge_strong_rhs", 1,
     {{'d', "aa"}, {'d', "cc"}, {'i', "2d", 'b'}, {'i', "cd", 'a'}, {'i', "cd", 'a'}, {'d', "cd"}, {'d', "ab"},
      {'d', "cde"}, {'d', "cde"}, {'d', "cde"}},
     {"6.0 6.n 7.2"}, false},
    {"bottom_edge_alter_rhs", 1,
     {{'d', "aa"}, {'d', "cc"}, {'i', "2d", 'b'}, {'i', "cd", 'a'}, {'i', "cd", 'a'}, {'d', "cd"}, {'d', "ab"},
      {'d', "cde"}, {'d', "cde"}},
     {"6.0 6.n 7.2"}, false},
    {"bottom_edge_central_rhs", 1,
     {{'d', "aa"}, {'d', "cc"}, {'i', "2d", 'b'}, {'i', "cd", 'a'}, {'i', "cd", 'a'}, {'d', "cd"}, {'d', "ab"},
      {'d', "cde"}, {'d', "cde"}},
     {"6.0 6.n 7.2"}, false},
    // a K, b K2, c Nf, d Nf2, e Nv, f Nv2
    {"mesh_connection", 3,
     {S, S, {'n', "11", 'a'}, {'n', "11", 'b'}, {'n', "11", 'c'}, {'n', "11", 'd'}, {'i', "2c", 'e'},
      {'i', "2d", 'f'}, {'v', "ea"}, {'v', "fb"}, {'x', "11"}, {'i', "ca", 'a'}, {'i', "ca", 'c'}},
     {"s4 s2", "s4 s2", "s4 s2"}, false},
    // a Nfpb, b Nbe, c Nfp, d Nface, e K
    {"face_normal_vector", 3,
     {{'k', "11", 'e'}, {'k', "11", 'e'}, {'k', "11", '4'}, {'i', "2b", '4'}, {'d', "ab"}, {'d', "ab"},
      {'i', "2b", 'e'}, {'d', "cd"}, {'d', "cd"}, {'i', "2d", 'e'}, {'d', "ab"}, {'d', "cd"}},
     {"#1 #1", "#1 #1", "#1 #1"}, true},
    // a Nfp, b Nbe
    {"boundary_type", 1, {{'b', "1b"}, {'t', "ab"}}, {"1.0 1.n"}, false},
    {"boundary_primitive_flux", 1, {{'d', "ab"}, {'d', "ab"}, {'d', "ab"}}, {"2.0 2.n"}, false},
    // a Nface, b K, c Nbe
    {"element_boundary_condition", 1, {{'t', "ab"}, {'i', "2c", 'a'}, {'i', "2c", 'b'}, {'b', "1c"}}, {"0.0 0.n"},
     false},
    // a K, b Nie, c Nbe
    {"penalty_parameter", 1,
     {{'d', "1a"}, {'i', "2b", 'a'}, {'d', "1b"}, {'i', "2c", 'a'}, {'d', "1c"}, {'b', "11"}, S}, {"#1 #1"}, false},
    // a cells, b points
    {"point_to_cell_info", 2, {{'n', "11", 'b'}, {'p', "ab"}}, {"S0 #1", "? #1"}, false},
};

const Schema* schema = nullptr;
kernel_host::Module* module = nullptr;

// How the calls ended, by error identifier ("" for outputs); printed at exit
// when FUZZ_CALL_STATS is set.
std::map<std::string, std::uint64_t> callEnds;

void printCallStats() {
    for (const auto& [id, count] : callEnds) {
        std::fprintf(stderr, "%10llu %s\n", static_cast<unsigned long long>(count), id.empty() ? "(outputs)" : id.c_str());
    }
}

// Nonempty inputs stay this small; larger extents make an input empty.
constexpr std::uint64_t kMaxElements = 192;

[[noreturn]] void violation(const char* what, const std::string& detail) {
    std::fprintf(stderr, "contract violation in %s: %s %s\n", schema->name, what, detail.c_str());
    std::abort();
}

// Bulk values come from a small generator seeded by the fuzz bytes.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    }
};

std::uint64_t extentValue(std::uint8_t b) {
    static const std::uint64_t huge[] = {2147483647u, 2147483648u, 4294967296u, 4294967297u, 1ull << 62,
                                         (1ull << 63) - 1, 1ull << 63, ~0ull};
    if (b < 200) return (b + 2) % 5;
    if (b < 244) return b % 13;
    return huge[b % 8];
}

double anyValue(Random& r) {
    static const double palette[] = {0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 9.81, 1e-3, 1e-300, 4.9e-324,
                                     1e300, std::numeric_limits<double>::max(), -1e300,
                                     std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                                     std::numeric_limits<double>::quiet_NaN(), 3.0, 4.0, 7.0, 13.0, 0.999, 1.5, -0.5};
    const std::uint64_t x = r.next();
    if (x % 5 == 0) {
        double raw;
        std::memcpy(&raw, &x, sizeof raw);
        return raw;
    }
    return palette[(x >> 8) % (sizeof palette / sizeof palette[0])];
}

// An index in 1..upper, at the ends of the range often; when not clean, now
// and then outside it or not a number.
double indexValue(Random& r, std::uint64_t upper, bool clean) {
    const std::uint64_t x = r.next();
    if (!clean && x % 8 == 0) {
        static const double bad[] = {0.0, 0.999, -1.0, std::numeric_limits<double>::quiet_NaN(), 1e19, 9.3e18,
                                     -std::numeric_limits<double>::infinity(), 4294967297.0};
        const std::uint64_t pick = (x >> 3) % 10;
        return pick < 8 ? bad[pick] : static_cast<double>(upper) + (pick == 8 ? 1.0 : 1.5);
    }
    const std::uint64_t u = upper == 0 ? 1 : upper;
    const std::uint64_t v = (x >> 3) % 4 == 0 ? 1 : (x >> 3) % 4 == 1 ? u : 1 + (x >> 5) % u;
    return static_cast<double>(v) + ((x >> 40) % 4 == 0 ? 0.75 : 0.0);
}

std::int8_t codeValue(Random& r, bool clean) {
    static const std::int8_t codes[] = {4, 4, 4, 5, 7, 0, 1, 2, 3, 6, 8, 12, 13};
    const std::uint64_t x = r.next();
    return clean ? codes[x % sizeof codes] : static_cast<std::int8_t>(x);
}

std::uint64_t symbolValue(char c, const std::uint64_t symbols[6]) {
    return c >= 'a' && c <= 'f' ? symbols[c - 'a'] : static_cast<std::uint64_t>(c - '0');
}

// The product of the nonzero extents, saturated.
std::uint64_t nonzeroProduct(const std::vector<std::size_t>& dims) {
    std::uint64_t n = 1;
    for (std::size_t d : dims) {
        if (d != 0) {
            n = __builtin_mul_overflow(n, d, &n) ? ~0ull : n;
        }
    }
    return n;
}

std::uint64_t elementsOf(const std::vector<std::size_t>& dims) {
    for (std::size_t d : dims) {
        if (d == 0) return 0;
    }
    return nonzeroProduct(dims);
}

// A sparse m x n double matrix with a few sorted rows per column.
ArrayPtr sparseInput(std::size_t m, std::size_t n, Random& r) {
    n = n > 512 ? r.next() % 8 : n;
    std::vector<std::size_t> starts{0}, rows;
    std::vector<double> values;
    for (std::size_t j = 0; j < n; ++j) {
        std::size_t row = r.next() % 3;
        for (std::uint64_t e = r.next() % 3; e > 0 && row < m; --e) {
            rows.push_back(row);
            values.push_back(anyValue(r));
            const std::size_t step = 1 + r.next() % (m > 4 ? m / 2 : 2);
            if (step >= m - row) break;
            row += step;
        }
        starts.push_back(rows.size());
    }
    return kernel_host::sparseArray(m, n, starts, rows, values);
}

ArrayPtr makeInput(const Input& input, const std::uint64_t symbols[6], FuzzedDataProvider& fuzz) {
    Random r{fuzz.ConsumeIntegral<std::uint64_t>() | 1};
    // Bytes past the end of the fuzz data read as 0, which means no change.
    const std::uint8_t shape = ~fuzz.ConsumeIntegral<std::uint8_t>();
    const std::uint8_t classByte = ~fuzz.ConsumeIntegral<std::uint8_t>();
    const bool clean = fuzz.ConsumeIntegral<std::uint8_t>() < 224;
    std::vector<std::size_t> dims;
    for (const char* c = input.dims; *c != '\0'; ++c) {
        dims.push_back(symbolValue(*c, symbols));
    }
    // Fewer elements than implied, one page more, empty with a huge extent, or
    // empty with a first or second extent of 2^62 or more beside a zero one,
    // the other extents kept or made 1 (so that the extent checks pass).
    if (shape < 8) {
        std::size_t& d = dims[shape % dims.size()];
        d = d > 0 ? d - 1 : 0;
    } else if (shape < 12) {
        dims.back() += 1;
    } else if (shape < 16) {
        dims[shape % dims.size()] = 0;
        dims[(shape + 1) % dims.size()] = extentValue(static_cast<std::uint8_t>(248 + shape % 8));
    } else if (shape < 32 && dims.size() > 1) {
        static const std::uint64_t kBeside[] = {1ull << 62, (1ull << 62) + 1, 3ull << 61, (1ull << 63) - 1};
        const bool hugeFirst = (shape >> 2 & 1) == 0;
        dims[hugeFirst ? 0 : 1] = kBeside[shape & 3];
        dims[hugeFirst ? 1 : 0] = 0;
        for (std::size_t d = 2; d < dims.size() && (shape >> 3 & 1) != 0; ++d) {
            dims[d] = 1;
        }
    }
    if (elementsOf(dims) > kMaxElements) {
        std::size_t* smallest = &dims[0];
        for (std::size_t& d : dims) {
            smallest = d < *smallest ? &d : smallest;
        }
        *smallest = 0;
    }
    const std::uint64_t upper = symbolValue(input.upper == 0 ? '0' : input.upper, symbols);

    // Another class than the caller means, now and then.
    static const mxClassID kOther[] = {mxDOUBLE_CLASS, mxDOUBLE_CLASS, mxSINGLE_CLASS, mxINT8_CLASS,
                                       mxUINT8_CLASS,  mxLOGICAL_CLASS, mxCHAR_CLASS,  mxINT32_CLASS,
                                       mxCELL_CLASS,   mxSTRUCT_CLASS, mxFUNCTION_CLASS};
    const bool codes = input.kind == 'b';
    mxClassID classId = codes ? mxINT8_CLASS : mxDOUBLE_CLASS;
    bool complex = false, sparse = input.kind == 'p';
    if (classByte < 12 || input.kind == 'x') {
        const unsigned pick = classByte % (sizeof kOther / sizeof kOther[0] + 1);
        if (pick == sizeof kOther / sizeof kOther[0]) {
            sparse = !sparse;
        } else {
            classId = kOther[pick];
            complex = pick == 1 && !codes;
            sparse = false;
        }
    }
    if (sparse) {
        std::size_t columns = 1;
        for (std::size_t d = 1; d < dims.size(); ++d) {
            columns = __builtin_mul_overflow(columns, dims[d], &columns) ? 0 : columns;
        }
        return sparseInput(dims[0], columns, r);
    }

    ArrayPtr array = kernel_host::numericArray(classId, dims, complex ? mxCOMPLEX : mxREAL);
    const std::size_t count = elementsOf(dims);
    if (classId == mxCELL_CLASS || classId == mxSTRUCT_CLASS || classId == mxFUNCTION_CLASS || count == 0) {
        return array;
    }
    if (classId != mxDOUBLE_CLASS) {
        auto* bytes = static_cast<std::int8_t*>(mxGetData(array.get()));
        for (std::size_t j = 0; j < count * mxGetElementSize(array.get()); ++j) {
            bytes[j] = codes ? codeValue(r, clean) : static_cast<std::int8_t>(r.next());
        }
        return array;
    }
    double* values = mxGetPr(array.get());
    for (std::size_t j = 0; j < count; ++j) {
        switch (input.kind) {
            case 'i':
            case 'k': values[j] = indexValue(r, upper, clean); break;
            case 'n': values[j] = clean || r.next() % 2 ? static_cast<double>(upper) : anyValue(r); break;
            case 'v': values[j] = clean || r.next() % 4 ? static_cast<double>(1 + r.next() % 6) : anyValue(r); break;
            case 'b': {
                std::int8_t bytes[8];
                for (std::int8_t& b : bytes) b = codeValue(r, clean);
                std::memcpy(&values[j], bytes, sizeof bytes);
                break;
            }
            default: values[j] = clean && r.next() % 2 ? static_cast<double>(r.next() % 7) - 1.0 : anyValue(r);
        }
    }
    return array;
}

// Everything of an input a call could change: class, extents, data.
std::string snapshot(const mxArray* a) {
    std::string s;
    auto add = [&s](const void* p, std::size_t n) { s.append(static_cast<const char*>(p), n); };
    const mxClassID c = mxGetClassID(a);
    const bool flags[2] = {mxIsSparse(a), mxIsComplex(a)};
    add(&c, sizeof c);
    add(flags, sizeof flags);
    add(mxGetDimensions(a), mxGetNumberOfDimensions(a) * sizeof(mwSize));
    if (mxIsSparse(a)) {
        const mwIndex* jc = mxGetJc(a);
        const std::size_t n = mxGetN(a);
        add(jc, (n + 1) * sizeof(mwIndex));
        add(mxGetIr(a), jc[n] * sizeof(mwIndex));
        add(mxGetPr(a), jc[n] * sizeof(double));
    } else if (c != mxCELL_CLASS && c != mxSTRUCT_CLASS && c != mxFUNCTION_CLASS) {
        add(mxGetData(a), mxGetNumberOfElements(a) * mxGetElementSize(a));
    }
    return s;
}

// The documented extents of one output, from the inputs of the call.
std::vector<std::size_t> expectedDims(const char* layout, const std::vector<ArrayPtr>& inputs, bool* any) {
    std::vector<std::size_t> dims;
    for (const char* t = layout; *t != '\0'; ++t) {
        if (*t == ' ') continue;
        if (*t == '?') {
            *any = true;
            dims.push_back(0);
        } else if (*t == '#') {
            dims.push_back(static_cast<std::size_t>(std::strtoul(t + 1, nullptr, 10)));
            ++t;
        } else if (*t == 's' || *t == 'S') {
            const double v = mxGetScalar(inputs[static_cast<std::size_t>(t[1] - '0')].get());
            dims.push_back(static_cast<std::size_t>(std::trunc(v)) + (*t == 'S' ? 1 : 0));
            ++t;
        } else {
            const mxArray* a = inputs[static_cast<std::size_t>(t[0] - '0')].get();
            const std::size_t d = static_cast<std::size_t>(t[2] - '0');
            dims.push_back(t[2] == 'n' ? mxGetN(a) : d < mxGetNumberOfDimensions(a) ? mxGetDimensions(a)[d] : 1);
            t += 2;
        }
    }
    while (dims.size() > 2 && dims.back() == 1) {
        dims.pop_back();
    }
    return dims;
}

std::string describe(const std::vector<std::size_t>& dims) {
    std::string s;
    for (std::size_t d : dims) {
        s += (s.empty() ? "" : "x") + std::to_string(d);
    }
    return s;
}

void checkOutputs(const kernel_host::CallResult& result, int nlhs, const std::vector<ArrayPtr>& inputs) {
    if (nlhs != schema->outputs && !(nlhs == 0 && schema->outputs == 1)) {
        violation("succeeded with a wrong output count", std::to_string(nlhs));
    }
    for (int o = 0; o < schema->outputs; ++o) {
        const mxArray* out = result.outputs[static_cast<std::size_t>(o)].get();
        if (out == nullptr) {
            if (nlhs == 0) continue;
            violation("left an output unassigned", std::to_string(o));
        }
        if (!mxIsDouble(out) || mxIsSparse(out) || mxIsComplex(out)) {
            violation("returned an output that is not a real full double array", std::to_string(o));
        }
        bool any = false;
        const std::vector<std::size_t> want = expectedDims(schema->outputDims[static_cast<std::size_t>(o)], inputs, &any);
        const std::vector<std::size_t> got = kernel_host::dimensions(out);
        bool same = got.size() == want.size();
        for (std::size_t d = 0; same && d < got.size(); ++d) {
            same = got[d] == want[d] || (any && want[d] == 0);
        }
        if (!same) {
            violation("returned an output of other extents", describe(got) + " instead of " + describe(want));
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // One BLAS thread: the fuzzer runs one call at a time.
    setenv("OPENBLAS_NUM_THREADS", "1", 0);
    const std::string program = *argc > 0 ? (*argv)[0] : "";
    const std::string name = program.substr(program.rfind("fuzz_") == std::string::npos ? program.size()
                                                                                        : program.rfind("fuzz_") + 5);
    for (const Schema& s : kSchemas) {
        if (name == s.name) {
            schema = &s;
        }
    }
    if (schema == nullptr) {
        std::fprintf(stderr, "%s: not fuzz_<module> of a known module\n", program.c_str());
        std::abort();
    }
    module = new kernel_host::Module(kernel_host::Module::byName(name));
    // Outputs beyond this end the call as MATLAB's out-of-memory does.
    kernel_host::setArrayByteLimit(std::size_t{64} << 20);
    if (std::getenv("FUZZ_CALL_STATS") != nullptr) {
        std::atexit(printCallStats);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider fuzz(data, size);
    std::uint64_t symbols[6];
    for (std::uint64_t& s : symbols) {
        s = extentValue(fuzz.ConsumeIntegral<std::uint8_t>());
    }
    // Mostly the documented counts; now and then one input or output more or less.
    const std::uint8_t counts = ~fuzz.ConsumeIntegral<std::uint8_t>();
    int nlhs = counts < 8 ? counts % 5 : schema->outputs;
    std::size_t nrhs = schema->inputs.size();
    nrhs = counts >= 8 && counts < 12 ? nrhs + (counts % 2 ? 1 : -1) : nrhs;

    std::vector<ArrayPtr> inputs;
    for (std::size_t i = 0; i < nrhs; ++i) {
        inputs.push_back(makeInput(schema->inputs[i < schema->inputs.size() ? i : 0], symbols, fuzz));
    }
    std::vector<const mxArray*> raw;
    std::vector<std::string> before;
    for (const ArrayPtr& a : inputs) {
        raw.push_back(a.get());
        before.push_back(snapshot(a.get()));
    }
    const std::size_t live = kernel_host::liveArrayCount();

    kernel_host::CallResult result = module->call(nlhs, raw);
    kernel_host::takeConsole();

    if (result.ok) {
        checkOutputs(result, nlhs, inputs);
    } else {
        const std::string& id = result.identifier;
        const bool own = id.rfind(std::string(schema->name) + ":", 0) == 0;
        const bool host = id == "kernelhost:outOfMemory" ||
                          (schema->mayLeaveOutputs && id == "kernelhost:unassignedOutput");
        if (!own && !host) {
            violation("ended with a foreign error", id + ": " + result.message);
        }
    }
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        if (snapshot(inputs[i].get()) != before[i]) {
            violation("changed input", std::to_string(i));
        }
    }
    ++callEnds[result.identifier];
    const std::size_t returned = result.outputs.size();
    result.outputs.clear();
    if (kernel_host::liveArrayCount() != live) {
        violation("left host arrays behind", std::to_string(kernel_host::liveArrayCount() - live) + " after " +
                                                 std::to_string(returned) + " outputs");
    }
    return 0;
}
