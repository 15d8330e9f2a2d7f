// Replaces the global operator new of a test program so that a test can make
// memory run out and see the code under test meet std::bad_alloc.
#pragma once

namespace support {

// While alive, `allowed` more allocations succeed; every one after them fails.
class MemoryRunsOut {
 public:
  explicit MemoryRunsOut(long allowed);
  ~MemoryRunsOut();
  MemoryRunsOut(const MemoryRunsOut&) = delete;
  MemoryRunsOut& operator=(const MemoryRunsOut&) = delete;
};

}  // namespace support
