// Replaces the global operator new and delete of the test program to count live bytes. Only the
// plain forms are replaced; the aligned ones keep the library's own pairs.
#include "support/heap_meter.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <malloc.h>
#include <new>

namespace {

std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};

void *Allocate(std::size_t size) {
  void *p = std::malloc(size == 0 ? 1 : size);
  if (!p)
    throw std::bad_alloc();
  const std::size_t now = live.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  std::size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void Release(void *p) noexcept {
  if (!p)
    return;
  live.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

} // namespace

void *operator new(std::size_t size) { return Allocate(size); }
void *operator new[](std::size_t size) { return Allocate(size); }
void *operator new(std::size_t size, const std::nothrow_t &) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void *operator new[](std::size_t size, const std::nothrow_t &) noexcept {
  try {
    return Allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void *p) noexcept { Release(p); }
void operator delete[](void *p) noexcept { Release(p); }
void operator delete(void *p, std::size_t) noexcept { Release(p); }
void operator delete[](void *p, std::size_t) noexcept { Release(p); }
void operator delete(void *p, const std::nothrow_t &) noexcept { Release(p); }
void operator delete[](void *p, const std::nothrow_t &) noexcept { Release(p); }

namespace tarnwick::test {

std::size_t PeakHeapDuring(const std::function<void()> &run) {
  const std::size_t start = live.load();
  peak.store(start);
  run();
  return peak.load() - start;
}

} // namespace tarnwick::test
