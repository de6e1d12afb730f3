#pragma once
// Places where writing a file fails part-way, for the root user too.

#include <sys/resource.h>

#include <string>

namespace kestrel::test {

// Files of this process (and of the programs it starts) cannot grow beyond
// the limit while it lives; writing past it fails instead of raising SIGXFSZ.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes);
  ~ScopedFileSizeLimit();
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
  bool Active() const { return active_; }

 private:
  rlimit saved_{};
  void (*savedHandler_)(int) = nullptr;
  bool active_ = false;
};

// A file system of the given size mounted at a new folder, where the system
// permits mounting; unmounted at the end of the scope.
class SmallFileSystem {
 public:
  SmallFileSystem(std::string folder, const char* size);
  ~SmallFileSystem();
  SmallFileSystem(const SmallFileSystem&) = delete;
  SmallFileSystem& operator=(const SmallFileSystem&) = delete;
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

}  // namespace kestrel::test
