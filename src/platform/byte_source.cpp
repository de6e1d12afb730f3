#include "platform/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kestrel {

FileSource::FileSource(int fd, std::string name) : ByteSource(std::move(name)), fd_(fd) {
  struct stat status {};
  if (::fstat(fd_, &status) == 0 && S_ISREG(status.st_mode)) size_ = status.st_size;
}

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

FileSource::FileSource(FileSource&& other) noexcept
    : ByteSource(std::move(other)), fd_(other.fd_), size_(other.size_), position_(other.position_) {
  other.fd_ = -1;
}

FileSource::ReadCount FileSource::Read(char* out, std::size_t n) {
  for (;;) {
    const ssize_t got = ::read(fd_, out, n);
    if (got >= 0) {
      position_ += got;
      return {static_cast<std::size_t>(got), 0};
    }
    if (errno != EINTR) return {0, errno};
  }
}

int FileSource::Seek(std::int64_t position) {
  if (position == position_) return 0;
  if (::lseek(fd_, position, SEEK_SET) >= 0) {
    position_ = position;
    return 0;
  }
  if (errno != ESPIPE || position < position_) return errno;
  // A pipe moves forward only by reading; beyond its end it stays at the end.
  char discarded[16384];
  while (position_ < position) {
    const ReadCount got = Read(discarded, static_cast<std::size_t>(std::min<std::int64_t>(
                                              position - position_, static_cast<std::int64_t>(sizeof discarded))));
    if (got.error != 0) return got.error;
    if (got.bytes == 0) position_ = position;
  }
  return 0;
}

Result<FileSource> OpenFileSource(const std::string& path) {
  // A folder opens too; its first read fails with the reason "Is a directory".
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(kNoDataMessage, SystemDetail(path, errno));
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return FileSource(fd, path);
}

MemorySource::ReadCount MemorySource::Read(char* out, std::size_t n) {
  if (position_ >= bytes_.size()) return {};
  const std::size_t count = std::min(n, bytes_.size() - position_);
  std::memcpy(out, bytes_.data() + position_, count);
  position_ += count;
  return {count, 0};
}

int MemorySource::Seek(std::int64_t position) {
  if (position < 0) return EINVAL;
  position_ = static_cast<std::size_t>(position);
  return 0;
}

}  // namespace kestrel
