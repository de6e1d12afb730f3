#include "support/failing_disk.h"

#include <signal.h>
#include <sys/mount.h>

#include <filesystem>

namespace kestrel::test {

ScopedFileSizeLimit::ScopedFileSizeLimit(rlim_t bytes) {
  if (getrlimit(RLIMIT_FSIZE, &saved_) != 0) return;
  savedHandler_ = signal(SIGXFSZ, SIG_IGN);
  const rlimit small{bytes, saved_.rlim_max};
  active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
}

ScopedFileSizeLimit::~ScopedFileSizeLimit() {
  if (active_) setrlimit(RLIMIT_FSIZE, &saved_);
  if (savedHandler_ != nullptr) signal(SIGXFSZ, savedHandler_);
}

SmallFileSystem::SmallFileSystem(std::string folder, const char* size) : folder_(std::move(folder)) {
  std::filesystem::create_directory(folder_);
  const std::string options = std::string("size=") + size;
  mounted_ = mount("tmpfs", folder_.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallFileSystem::~SmallFileSystem() {
  if (mounted_) umount(folder_.c_str());
}

}  // namespace kestrel::test
