// Helpers shared by the GoogleTest suites: calling a module through the
// stand-alone host and comparing doubles bit for bit.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "kernel_host.hpp"

namespace test_support {

using kernel_host::ArrayPtr;
using kernel_host::CallResult;
using kernel_host::Module;

// Calls a module with the given inputs and expects it to succeed.
inline CallResult callOk(const Module& module, int nlhs, std::initializer_list<const ArrayPtr*> inputs) {
    std::vector<const mxArray*> raw;
    for (const ArrayPtr* input : inputs) {
        raw.push_back(input->get());
    }
    kernel_host::takeConsole();
    CallResult result = module.call(nlhs, raw);
    EXPECT_TRUE(result.ok) << result.identifier << ": " << result.message;
    return result;
}

// Calls a module and expects the host error with that identifier.
inline CallResult callFails(const Module& module, int nlhs, std::initializer_list<const ArrayPtr*> inputs,
                            const std::string& identifier) {
    std::vector<const mxArray*> raw;
    for (const ArrayPtr* input : inputs) {
        raw.push_back(input->get());
    }
    kernel_host::takeConsole();
    CallResult result = module.call(nlhs, raw);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.identifier, identifier) << result.message;
    return result;
}

inline std::uint64_t bits(double value) {
    std::uint64_t b;
    std::memcpy(&b, &value, sizeof b);
    return b;
}

// Bit-for-bit equality (NaN payloads aside, any NaN matches any NaN).
inline ::testing::AssertionResult sameDouble(double actual, double expected) {
    if ((actual != actual && expected != expected) || bits(actual) == bits(expected)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "got " << testing::PrintToString(actual) << " (bits " << std::hex
                                         << bits(actual) << "), expected " << testing::PrintToString(expected)
                                         << " (bits " << bits(expected) << ")";
}

// Every element of an output, bit for bit.
inline void expectValues(const mxArray* array, const std::vector<double>& expected) {
    const std::vector<double> actual = kernel_host::values(array);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_TRUE(sameDouble(actual[i], expected[i])) << "at element " << i;
    }
}

}  // namespace test_support
