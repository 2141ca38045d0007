// Boundary condition codes of the boundary faces, one signed byte per face in
// the solver's boundaryTypes arrays. Codes 0 to 13 are the known boundary
// types; codes 2 to 7 are the realised ones, which get a boundary mask. What
// physical condition each code stands for is the calling solver's choice.
#pragma once

#include <cstdint>

#include "host_interface.hpp"

namespace kernels {

enum class BoundaryType : std::int8_t {
    Unrealized0 = 0,
    Unrealized1 = 1,
    Realized2 = 2,
    Realized3 = 3,
    Realized4 = 4,
    Realized5 = 5,
    Realized6 = 6,
    Realized7 = 7,
    Unrealized8 = 8,
    Unrealized9 = 9,
    Unrealized10 = 10,
    Unrealized11 = 11,
    Unrealized12 = 12,
    Special13 = 13,  // marked 2.0 instead of 1.0 on the element boundary table
};

// A code is realised when code - 2, taken as unsigned, is at most 5: 2..7.
// Negative bytes widen to negative ints and so fail the test.
constexpr bool isRealizedBoundary(int code) {
    return static_cast<unsigned>(code - static_cast<int>(BoundaryType::Realized2)) <=
           static_cast<unsigned>(BoundaryType::Realized7) - static_cast<unsigned>(BoundaryType::Realized2);
}

// A code is known when it lies in 0..13.
constexpr bool isKnownBoundary(int code) {
    return static_cast<unsigned>(code) <= static_cast<unsigned>(BoundaryType::Special13);
}

constexpr bool hasBoundaryType(int code, BoundaryType type) {
    return code == static_cast<int>(type);
}

// The code bytes of a boundaryTypes input.
inline const std::int8_t* boundaryTypeCodes(const mxArray* array) {
    return static_cast<const std::int8_t*>(mxGetData(array));
}

}  // namespace kernels
