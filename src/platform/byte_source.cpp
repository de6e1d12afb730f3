#include "platform/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kestrel {
namespace {

// A source that cannot move back, copied into an unnamed temporary file as
// it is read: the bytes read once are read again from the copy.
class SpooledSource final : public ByteSource {
 public:
  SpooledSource(FileSource stream, int copy)
      : ByteSource(stream.Name()), stream_(std::move(stream)), copy_(copy) {}
  ~SpooledSource() override { ::close(copy_); }
  SpooledSource(const SpooledSource&) = delete;
  SpooledSource& operator=(const SpooledSource&) = delete;

  // Known once the stream has ended.
  std::int64_t Size() const override { return ended_ ? copied_ : -1; }

  ReadCount Read(char* out, std::size_t n) override {
    if (position_ < copied_) {
      const auto count = static_cast<std::size_t>(std::min<std::int64_t>(copied_ - position_, static_cast<std::int64_t>(n)));
      for (;;) {
        const ssize_t got = ::pread(copy_, out, count, position_);
        if (got >= 0) {
          position_ += got;
          return {static_cast<std::size_t>(got), 0};
        }
        if (errno != EINTR) return {0, errno};
      }
    }
    if (ended_) return {};
    const ReadCount got = stream_.Read(out, n);
    if (got.error != 0) return got;
    if (got.bytes == 0) {
      ended_ = true;
      return got;
    }
    for (std::size_t written = 0; written < got.bytes;) {
      const ssize_t put = ::pwrite(copy_, out + written, got.bytes - written, copied_);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) return {0, put < 0 ? errno : ENOSPC};
      written += static_cast<std::size_t>(put);
      copied_ += put;
    }
    position_ = copied_;
    return got;
  }

  int Seek(std::int64_t position) override {
    if (position < 0) return EINVAL;
    // Forward beyond the copy: read on, so that the copy stays whole.
    char discarded[16384];
    while (position > copied_ && !ended_) {
      position_ = copied_;
      const ReadCount got =
          Read(discarded, static_cast<std::size_t>(std::min<std::int64_t>(position - copied_, sizeof discarded)));
      if (got.error != 0) return got.error;
    }
    position_ = position;
    return 0;
  }

 private:
  FileSource stream_;
  int copy_;
  std::int64_t copied_ = 0;    // bytes of the stream read and kept
  std::int64_t position_ = 0;  // may lie beyond the end
  bool ended_ = false;
};

// An unnamed file in $TMPDIR (else /tmp), gone with its descriptor; -1 with
// errno set when none can be made.
int UnnamedTemporaryFile() {
  const char* folder = std::getenv("TMPDIR");
  if (folder == nullptr || *folder == '\0') folder = "/tmp";
  const int fd = ::open(folder, O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR)) return fd;
  // A file system without unnamed files: a named one, unlinked at once.
  std::string name = std::string(folder) + "/krm-input-XXXXXX";
  const int named = ::mkostemp(name.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(name.c_str());
  return named;
}

// Bytes of a regular file read at their place (pread), which leaves the
// descriptor's position alone: parts of one file are read at once.
class FilePart final : public ByteSource {
 public:
  // limit: where reading stops; -1 reads on to the end of the file.
  FilePart(int fd, std::string name, std::int64_t begin, std::int64_t size, std::int64_t limit)
      : ByteSource(std::move(name)), fd_(fd), begin_(begin), size_(size), limit_(limit) {}

  std::int64_t Size() const override { return size_; }

  ReadCount Read(char* out, std::size_t n) override {
    if (limit_ >= 0) n = static_cast<std::size_t>(std::clamp<std::int64_t>(limit_ - position_, 0, static_cast<std::int64_t>(n)));
    if (n == 0) return {};
    for (;;) {
      const ssize_t got = ::pread(fd_, out, n, begin_ + position_);
      if (got >= 0) {
        position_ += got;
        return {static_cast<std::size_t>(got), 0};
      }
      if (errno != EINTR) return {0, errno};
    }
  }

  int Seek(std::int64_t position) override {
    if (position < 0) return EINVAL;
    position_ = position;
    return 0;
  }

 private:
  int fd_;  // the whole file's, which outlives the part
  std::int64_t begin_;
  std::int64_t size_;
  std::int64_t limit_;
  std::int64_t position_ = 0;  // from begin_
};

}  // namespace

FileSource::FileSource(int fd, std::string name) : ByteSource(std::move(name)), fd_(fd) {
  struct stat status {};
  if (::fstat(fd_, &status) != 0) return;
  if (S_ISREG(status.st_mode)) size_ = status.st_size;
  // What an output could overwrite; a terminal, a pipe or a socket is
  // written as a stream, which leaves what was read from it alone.
  if (S_ISREG(status.st_mode) || S_ISBLK(status.st_mode)) identity_ = FileIdentity{status.st_dev, status.st_ino};
}

FileSource::~FileSource() {
  if (fd_ >= 0) ::close(fd_);
}

FileSource::FileSource(FileSource&& other) noexcept
    : ByteSource(std::move(other)),
      fd_(other.fd_),
      size_(other.size_),
      identity_(other.identity_),
      position_(other.position_) {
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

std::unique_ptr<ByteSource> FileSource::Part(std::int64_t begin, std::int64_t end) const {
  if (size_ < 0 || begin < 0 || end < begin || end > size_) return nullptr;
  return std::make_unique<FilePart>(fd_, Name(), begin, end - begin, end == size_ ? -1 : end - begin);
}

Result<FileSource> OpenFileSource(const std::string& path) {
  // A folder opens too; its first read fails with the reason "Is a directory".
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return Fail(kNoDataMessage, SystemDetail(path, errno));
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  return FileSource(fd, path);
}

namespace {

// The source of an open file as an input: as it is where it can move back,
// else copied as it is read.
Result<std::unique_ptr<ByteSource>> InputOf(FileSource file, int fd) {
  if (::lseek(fd, 0, SEEK_CUR) >= 0) return std::unique_ptr<ByteSource>(std::make_unique<FileSource>(std::move(file)));
  const int copy = UnnamedTemporaryFile();
  if (copy < 0) return Fail(kNoDataMessage, SystemDetail(file.Name(), errno));
  return std::unique_ptr<ByteSource>(std::make_unique<SpooledSource>(std::move(file), copy));
}

}  // namespace

Result<std::unique_ptr<ByteSource>> InputOfDescriptor(int fd, std::string name) {
  return InputOf(FileSource(fd, std::move(name)), fd);
}

Result<std::unique_ptr<ByteSource>> OpenInput(const std::string& path) {
  Result<FileSource> file = OpenFileSource(path);
  if (!file) return file.error();
  const int fd = file->Descriptor();
  return InputOf(std::move(file).value(), fd);
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
