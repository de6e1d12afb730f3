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

bool AtomicFile::Create(const std::string& path) {
  Discard();
  target_ = path;
  // Writing through a symbolic link replaces the file it points to.
  char resolved[PATH_MAX];
  struct stat link {};
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode) && ::realpath(path.c_str(), resolved)) {
    target_ = resolved;
  }
  struct stat status {};
  replacing_ = ::stat(target_.c_str(), &status) == 0;
  if (replacing_ && (S_ISDIR(status.st_mode) || ::access(target_.c_str(), W_OK) != 0)) return false;
  const std::size_t slash = target_.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
  temporary_ = folder + "." + name + ".XXXXXX";
  fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd_ < 0) {
    temporary_.clear();
    return false;
  }
  ::fchmod(fd_, ModeFor(target_));
  failed_ = false;
  return true;
}

void AtomicFile::Write(std::string_view bytes) {
  while (!failed_ && !bytes.empty()) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      failed_ = true;
      break;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  // Where a file is replaced, its new data reaches the disk before the name
  // does, so that a crash leaves either the old file or the whole new one. A
  // new file has nothing to lose and skips the wait.
  bool ok = !failed_ && (!replacing_ || ::fsync(fd_) == 0);
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  ok = ok && ::rename(temporary_.c_str(), target_.c_str()) == 0;
  if (!ok) {
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
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

bool TextOutput::Commit() {
  Flush();
  return file_.Commit();
}

WriteResult WriteTextFile(const std::string& path, std::string_view text) {
  TextOutput output;
  if (!output.Create(path)) return WriteResult::CannotCreate;
  output.Write(text);
  return output.Commit() ? WriteResult::Written : WriteResult::WriteFailed;
}

}  // namespace kestrel
