// Everything a module includes: the host interface, the gateway conventions
// and checks, and the shared types and per-node functions.
#pragma once

#include "gateway.hpp"
#include "host_interface.hpp"
#include "kernel_types.hpp"
