#include "support/memory_limit.h"

#include <unistd.h>

#include <fstream>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KRM_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define KRM_ADDRESS_SANITIZER 1
#endif

namespace kestrel::test {

ScopedMemoryLimit::ScopedMemoryLimit(std::size_t headroom) {
#ifndef KRM_ADDRESS_SANITIZER
  // The first number of statm is the size of the address space in pages.
  std::size_t pages = 0;
  if (!(std::ifstream("/proc/self/statm") >> pages)) return;
  if (getrlimit(RLIMIT_AS, &saved_) != 0) return;
  const rlimit small{pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + headroom, saved_.rlim_max};
  active_ = setrlimit(RLIMIT_AS, &small) == 0;
#else
  (void)headroom;
#endif
}

ScopedMemoryLimit::~ScopedMemoryLimit() {
  if (active_) setrlimit(RLIMIT_AS, &saved_);
}

}  // namespace kestrel::test
