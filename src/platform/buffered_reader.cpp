#include "platform/buffered_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kestrel {
namespace {
constexpr std::size_t kBlockSize = std::size_t{4} << 20;
}

BufferedReader::~BufferedReader() { Close(); }

bool BufferedReader::Open(const std::string& path) {
  Close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) return false;
  struct stat status {};
  if (::fstat(fd_, &status) != 0 || S_ISDIR(status.st_mode)) {
    Close();
    return false;
  }
  size_ = S_ISREG(status.st_mode) ? status.st_size : 0;
  ::posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
  // A small file needs no large block; the block grows for a long line.
  block_.resize(std::clamp<std::size_t>(static_cast<std::size_t>(size_) + 1, 4096, kBlockSize));
  next_ = end_ = 0;
  filePosition_ = 0;
  atEnd_ = false;
  return true;
}

void BufferedReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  block_.clear();
  block_.shrink_to_fit();
  next_ = end_ = 0;
}

bool BufferedReader::Fill() {
  if (atEnd_ || fd_ < 0) return false;
  if (next_ > 0) {
    std::memmove(block_.data(), block_.data() + next_, end_ - next_);
    end_ -= next_;
    next_ = 0;
  }
  if (end_ == block_.size()) block_.resize(block_.size() * 2);
  ssize_t got;
  do {
    got = ::read(fd_, block_.data() + end_, block_.size() - end_);
  } while (got < 0 && errno == EINTR);
  if (got <= 0) {
    // A read error ends the file as its end would: what was read stays read.
    atEnd_ = true;
    return false;
  }
  end_ += static_cast<std::size_t>(got);
  filePosition_ += got;
  return true;
}

bool BufferedReader::ReadLine(std::string_view& line) {
  std::size_t searchFrom = next_;
  for (;;) {
    const char* start = block_.data() + searchFrom;
    const void* found = std::memchr(start, '\n', end_ - searchFrom);
    if (found != nullptr) {
      std::size_t lineEnd = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data());
      line = std::string_view(block_.data() + next_, lineEnd - next_);
      next_ = lineEnd + 1;
      return true;
    }
    std::size_t searched = end_ - next_;
    if (!Fill()) break;
    searchFrom = next_ + searched;
  }
  if (next_ == end_) return false;
  line = std::string_view(block_.data() + next_, end_ - next_);
  next_ = end_;
  return true;
}

void BufferedReader::Read(unsigned char* out, std::size_t n) {
  while (n > 0) {
    if (next_ == end_ && !Fill()) {
      std::memset(out, 0xFF, n);
      return;
    }
    std::size_t take = std::min(n, end_ - next_);
    std::memcpy(out, block_.data() + next_, take);
    next_ += take;
    out += take;
    n -= take;
  }
}

void BufferedReader::Skip(std::int64_t n) { Seek(Position() + n); }

void BufferedReader::Seek(std::int64_t position) {
  std::int64_t blockStart = filePosition_ - static_cast<std::int64_t>(end_);
  if (position >= blockStart && position <= filePosition_) {
    next_ = static_cast<std::size_t>(position - blockStart);
    return;
  }
  next_ = end_ = 0;
  if (fd_ < 0) return;
  if (position < 0) position = 0;
  filePosition_ = position;
  atEnd_ = ::lseek(fd_, position, SEEK_SET) < 0;
}

}  // namespace kestrel
