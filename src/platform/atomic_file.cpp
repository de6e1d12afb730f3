#include "platform/atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

namespace kestrel {
namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 20;

// New files get the usual permissions of the user's umask; a replaced file
// keeps its own.
mode_t ModeFor(const std::string& target) {
  struct stat status {};
  if (::stat(target.c_str(), &status) == 0) return status.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

AtomicFile::~AtomicFile() { Discard(); }

Failure AtomicFile::Failed(const char* message, int error) const { return Fail(message, SystemDetail(name_, error)); }

Result<void> AtomicFile::Create(const std::string& path) {
  Discard();
  name_ = path;
  target_ = path;
  // Writing through a symbolic link replaces the file it points to.
  char resolved[PATH_MAX];
  struct stat link {};
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && ::realpath(path.c_str(), resolved)) {
    target_ = resolved;
  }
  struct stat status {};
  replacing_ = ::stat(target_.c_str(), &status) == 0;
  if (replacing_) {
    if (S_ISDIR(status.st_mode)) return Failed(kCannotOpenOutputMessage, EISDIR);
    // Root may write any file; a file without write permission for anyone
    // is read-only all the same.
    if (::access(target_.c_str(), W_OK) != 0) return Failed(kCannotOpenOutputMessage, errno);
    if ((status.st_mode & 0222) == 0) return Failed(kCannotOpenOutputMessage, EACCES);
  }
  const std::size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  temporary_ = folder + "." + name + ".XXXXXX";
  fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    const int error = errno;
    temporary_.clear();
    return Failed(kCannotOpenOutputMessage, error);
  }
  ::fchmod(fd_, ModeFor(target_));
  error_ = 0;
  return {};
}

void AtomicFile::Write(std::string_view bytes) {
  while (error_ == 0 && !bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error_ = written < 0 ? errno : ENOSPC;
      break;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

Result<void> AtomicFile::Commit() {
  if (fd_ < 0) return Failed(kWriteFailedMessage, EBADF);
  // Where a file is replaced, its new data reaches the disk before the name
  // does, so that a crash leaves either the old file or the whole new one. A
  // new file has nothing to lose and skips the wait.
  int error = error_;
  if (error == 0 && replacing_ && ::fsync(fd_) != 0) error = errno;
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error == 0 && ::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  if (error != 0) {
    Discard();
    return Failed(kWriteFailedMessage, error);
  }
  temporary_.clear();
  return {};
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

void TextOutput::Write(std::string_view text) {
  for (;;) {
    const std::size_t lineFeed = text.find('\n');
    if (lineFeed == std::string_view::npos) {
      buffer_.append(text);
      break;
    }
    buffer_.append(text.substr(0, lineFeed));
    buffer_.append("\r\n");
    text.remove_prefix(lineFeed + 1);
  }
  if (buffer_.size() >= kFlushSize) Flush();
}

void TextOutput::Flush() {
  file_.Write(buffer_);
  buffer_.clear();
}

Result<void> TextOutput::Commit() {
  Flush();
  return file_.Commit();
}

}  // namespace kestrel
