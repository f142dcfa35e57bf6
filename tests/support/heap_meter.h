// Measures what the program holds on the heap while a piece of code runs: every allocation
// through operator new is counted (malloc_usable_size bytes), so a reader that keeps a whole
// 10 MB line shows up as 10 MB however the line is stored.
#pragma once

#include <cstddef>
#include <functional>

namespace tarnwick::test {

// The most bytes held at any moment while `run` ran, beyond what was held when it started.
std::size_t PeakHeapDuring(const std::function<void()> &run);

} // namespace tarnwick::test
