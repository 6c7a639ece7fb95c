// Counts calls of the global operator new in this test program, so a test can
// check that a piece of code allocates nothing.
#pragma once

#include <cstddef>

std::size_t Allocations();
