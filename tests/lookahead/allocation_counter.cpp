#include "allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t>& Counter() {
  static std::atomic<std::size_t> counter{0};
  return counter;
}

}  // namespace

std::size_t Allocations() {
  return Counter().load();
}

void* operator new(std::size_t size) {
  ++Counter();
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
