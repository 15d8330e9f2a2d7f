#include "memory_runs_out.h"

#include <cstdlib>
#include <new>

namespace {

long allocationsLeft = -1;  // no limit

}  // namespace

namespace support {

MemoryRunsOut::MemoryRunsOut(long allowed) { allocationsLeft = allowed; }
MemoryRunsOut::~MemoryRunsOut() { allocationsLeft = -1; }

}  // namespace support

void* operator new(std::size_t size) {
  if (allocationsLeft == 0) throw std::bad_alloc();
  if (allocationsLeft > 0) --allocationsLeft;
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
