#pragma once
// The profile is read by its path, so each of its fuzz inputs is handed to it
// as a file: an anonymous memory file, opened again through /proc/self/fd.
// Nothing touches the disk and parallel fuzzing jobs cannot collide.

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace kestrel::fuzz {

class InputFile {
 public:
  InputFile() : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
    if (fd_ < 0) std::abort();
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~InputFile() { ::close(fd_); }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Makes the input the whole content of the file and returns its path.
  const std::string& Hold(const std::uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0) std::abort();
    std::size_t written = 0;
    while (written < size) {
      const ssize_t n = ::pwrite(fd_, data + written, size - written, static_cast<off_t>(written));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) std::abort();
      written += static_cast<std::size_t>(n);
    }
    return path_;
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace kestrel::fuzz
