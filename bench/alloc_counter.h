// Counts heap allocations in a benchmark binary through a replaced global
// operator new, so a benchmark can report allocations per tick.
#pragma once

#include <cstddef>

// Allocations made by this process so far.
std::size_t Allocations();
