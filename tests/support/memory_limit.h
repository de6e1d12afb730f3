#pragma once
// Memory that runs out: while the scope lasts, an allocation that would grow
// the process's address space by more than the headroom fails, as it does
// on a machine whose memory is used up (new throws std::bad_alloc).

#include <sys/resource.h>

#include <cstddef>

namespace kestrel::test {

class ScopedMemoryLimit {
 public:
  explicit ScopedMemoryLimit(std::size_t headroom);
  ~ScopedMemoryLimit();
  ScopedMemoryLimit(const ScopedMemoryLimit&) = delete;
  ScopedMemoryLimit& operator=(const ScopedMemoryLimit&) = delete;
  // false where the limit cannot be set, and under AddressSanitizer, which
  // reserves address space of its own and stops the program when it is short.
  bool Active() const { return active_; }

 private:
  rlimit saved_{};
  bool active_ = false;
};

}  // namespace kestrel::test
