#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <random>

namespace kestrel {
namespace {

constexpr std::size_t kFlushSize = std::size_t{1} << 20;
constexpr std::size_t kNameMax = 255;
// A temporary file's name: "." + the target's name (cut to fit) + this + six
// random letters, so that it is hidden, tells whose it is, and fits the limit
// of 255 bytes even beside a target of that length.
constexpr std::string_view kTemporaryTag = ".krm-";
constexpr std::size_t kRandomLength = 6;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryPrefix(const std::string& leaf) {
  const std::size_t room = kNameMax - 1 - kTemporaryTag.size() - kRandomLength;
  return "." + leaf.substr(0, room) + std::string(kTemporaryTag);
}

std::string TemporaryName(const std::string& leaf) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  // One generator a thread: outputs are written by several at once.
  thread_local std::mt19937 random{std::random_device{}()};
  std::string name = TemporaryPrefix(leaf);
  std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
  for (std::size_t i = 0; i < kRandomLength; ++i) name += kLetters[pick(random)];
  return name;
}

std::string ProcPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

bool SameInode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// The rule of the kernel's link protection (fs.protected_symlinks), applied
// whatever the system's setting: a link in a sticky folder that everyone may
// write is followed only when it belongs to the user or to the folder's
// owner, so that nobody can plant one there that leads another user's
// program, root's included, to a file of the planter's choice.
bool MayFollow(const std::string& path, const struct stat& link) {
  if (link.st_uid == ::geteuid()) return true;
  struct stat folder {};
  if (::stat(FolderOf(path).c_str(), &folder) != 0) return false;
  if ((folder.st_mode & (S_ISVTX | S_IWOTH)) != (S_ISVTX | S_IWOTH)) return true;
  return folder.st_uid == link.st_uid;
}

// Temporary files of this target left by runs that were killed. The file of
// a run still writing is locked by it and stays.
void RemoveStaleTemporaries(int folder, const std::string& leaf) {
  const std::string prefix = TemporaryPrefix(leaf);
  const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return;
  DIR* entries = ::fdopendir(listing);
  if (entries == nullptr) {
    ::close(listing);
    return;
  }
  while (const dirent* entry = ::readdir(entries)) {
    const std::string_view name = entry->d_name;
    if (name.size() != prefix.size() + kRandomLength || !name.starts_with(prefix)) continue;
    int file = ::openat(folder, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) file = ::openat(folder, entry->d_name, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) continue;
    struct stat status {};
    if (::flock(file, LOCK_EX | LOCK_NB) == 0 && ::fstat(file, &status) == 0 && S_ISREG(status.st_mode)) {
      ::unlinkat(folder, entry->d_name, 0);
    }
    ::close(file);
  }
  ::closedir(entries);
}

// A replaced file keeps its mode, and its owner and group where the user may
// set them (root may; another user may give the group of a file to a group
// of theirs). The mode comes last: a change of owner clears set-ID bits.
void KeepOwnerAndMode(int fd, const struct stat& replaced) {
  if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0 &&
      ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
    // Neither may be kept: the file is the user's, as every file the user makes.
  }
  ::fchmod(fd, replaced.st_mode & 07777);
}

int ConnectSocket(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    errno = ENAMETOOLONG;
    return -1;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

AtomicFile::~AtomicFile() { Discard(); }

Failure AtomicFile::Failed(const char* message, int error) const { return Fail(message, SystemDetail(name_, error)); }

Result<void> AtomicFile::Create(const std::string& path) {
  Discard();
  name_ = path;
  size_ = 0;
  error_ = 0;
  nameTaken_ = false;
  if (path == kStandardOutputPath) {
    name_ = "standard output";
    kind_ = Kind::Stream;
    fd_ = ::fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 0);
    if (fd_ < 0) return Failed(kCannotOpenOutputMessage, errno);
    return {};
  }
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) {
    if (errno != ENOENT) return Failed(kCannotOpenOutputMessage, errno);
    if (path.ends_with('/')) return Failed(kCannotOpenOutputMessage, EISDIR);
    if (Result<void> opened = OpenFolder(FolderOf(path)); !opened) return opened;
    leaf_ = LeafOf(path);
    kind_ = Kind::NewFile;
    return OpenTemporary(nullptr);
  }
  if (!S_ISLNK(status.st_mode)) return CreateRegular(path, status, false);
  if (!MayFollow(path, status)) return Failed(kCannotOpenOutputMessage, EACCES);
  // The kernel follows the link; where it leads is then read back from the
  // descriptor, not worked out from the link's text.
  int pinned = ::open(path.c_str(), O_PATH | O_CLOEXEC);
  if (pinned < 0 && errno == ENOENT) {
    // A dangling link: its target is made, empty, and then replaced.
    pinned = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC, 0666);
    placeholderMade_ = pinned >= 0 && ::fstat(pinned, &placeholder_) == 0;
  }
  if (pinned < 0 || ::fstat(pinned, &status) != 0) return Failed(kCannotOpenOutputMessage, errno);
  char real[PATH_MAX];
  const ssize_t length = S_ISREG(status.st_mode) ? ::readlink(ProcPath(pinned).c_str(), real, sizeof real) : 0;
  const int error = errno;
  struct stat there {};
  if (length > 0 && length < static_cast<ssize_t>(sizeof real) && real[0] == '/') {
    const std::string resolved(real, static_cast<std::size_t>(length));
    if (Result<void> opened = OpenFolder(FolderOf(resolved)); !opened) {
      ::close(pinned);
      return opened;
    }
    leaf_ = LeafOf(resolved);
    // The name must still lead to the file the link led to.
    if (::fstatat(folder_, leaf_.c_str(), &there, AT_SYMLINK_NOFOLLOW) != 0 || !SameInode(there, status)) {
      ::close(pinned);
      return Failed(kCannotOpenOutputMessage, ESTALE);
    }
  } else if (S_ISREG(status.st_mode)) {
    ::close(pinned);
    return Failed(kCannotOpenOutputMessage, length < 0 ? error : ENAMETOOLONG);
  }
  ::close(pinned);
  if (placeholderMade_) {
    kind_ = Kind::NewFile;
    return OpenTemporary(nullptr);
  }
  return CreateRegular(path, status, true);
}

Result<void> AtomicFile::CreateRegular(const std::string& path, const struct stat& status, bool followed) {
  if (S_ISDIR(status.st_mode)) return Failed(kCannotOpenOutputMessage, EISDIR);
  if (!S_ISREG(status.st_mode)) return CreateStream(path);
  if (!followed) {
    if (Result<void> opened = OpenFolder(FolderOf(path)); !opened) return opened;
    leaf_ = LeafOf(path);
  }
  // Root may write any file; a file without write permission for anyone
  // is read-only all the same.
  if ((status.st_mode & 0222) == 0) return Failed(kCannotOpenOutputMessage, EACCES);
  if (::faccessat(folder_, leaf_.c_str(), W_OK, 0) != 0) return Failed(kCannotOpenOutputMessage, errno);
  if (status.st_nlink > 1) {
    target_ = ::openat(folder_, leaf_.c_str(), O_WRONLY | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (target_ < 0) return Failed(kCannotOpenOutputMessage, errno);
    kind_ = Kind::InPlace;
    return OpenTemporary(nullptr);
  }
  kind_ = Kind::Replace;
  return OpenTemporary(&status);
}

Result<void> AtomicFile::CreateStream(const std::string& path) {
  kind_ = Kind::Stream;
  fd_ = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
  // A socket is not opened but connected to.
  if (fd_ < 0 && errno == ENXIO) fd_ = ConnectSocket(path);
  if (fd_ < 0) return Failed(kCannotOpenOutputMessage, errno);
  return {};
}

Result<void> AtomicFile::OpenFolder(const std::string& folder) {
  folder_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  // A folder that may be written but not listed still takes the file.
  if (folder_ < 0 && errno == EACCES) folder_ = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (folder_ < 0) return Failed(kCannotOpenOutputMessage, errno);
  return {};
}

Result<void> AtomicFile::OpenTemporary(const struct stat* replaced) {
  RemoveStaleTemporaries(folder_, leaf_);
  fd_ = ::openat(folder_, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
  if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR)) {
    // No unnamed files on this file system: a hidden name, new each time.
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
      const std::string name = TemporaryName(leaf_);
      fd_ = ::openat(folder_, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
      if (fd_ >= 0) temporary_ = name;
      if (fd_ < 0 && errno != EEXIST) break;
    }
  }
  if (fd_ < 0) {
    const int error = errno;
    Discard();
    return Failed(kCannotOpenOutputMessage, error);
  }
  // The lock tells the cleanup of other runs that this file is in use.
  ::flock(fd_, LOCK_EX | LOCK_NB);
  if (replaced != nullptr) KeepOwnerAndMode(fd_, *replaced);
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
    size_ += written;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

Result<void> AtomicFile::Commit(Overwrite overwrite, FolderSync folderSync) {
  if (fd_ < 0) return Failed(kWriteFailedMessage, EBADF);
  nameTaken_ = false;
  int error = error_;
  if (error == 0 && kind_ == Kind::InPlace) error = CopyIntoTarget();
  // Where a file is replaced, its new data reaches the disk before the name
  // does, so that a crash leaves either the old file or the whole new one. A
  // new file has nothing to lose and skips the wait.
  if (error == 0 && kind_ == Kind::Replace && ::fsync(fd_) != 0) error = errno;
  if (error == 0 && (kind_ == Kind::NewFile || kind_ == Kind::Replace)) error = PutInPlace(overwrite, folderSync);
  if (nameTaken_) return Failed(kWriteFailedMessage, error);
  if (::close(fd_) != 0 && error == 0) error = errno;
  fd_ = -1;
  if (error != 0) {
    Discard();
    return Failed(kWriteFailedMessage, error);
  }
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);  // the copy written in place
  temporary_.clear();
  placeholderMade_ = false;
  Discard();
  return {};
}

int AtomicFile::LinkUnder(const std::string& name) {
  if (::linkat(AT_FDCWD, ProcPath(fd_).c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
  const int error = errno;
  // Without /proc the descriptor itself is linked, where the user may.
  if (error == ENOENT && ::linkat(fd_, "", folder_, name.c_str(), AT_EMPTY_PATH) == 0) return 0;
  return error;
}

int AtomicFile::PutInPlace(Overwrite overwrite, FolderSync folderSync) {
  // A name that was free at Create is taken only while it is still free: a
  // file made there meanwhile is someone's, and nobody was asked about it.
  const bool freeNameOnly = kind_ == Kind::NewFile && overwrite == Overwrite::KnownFile && !placeholderMade_;
  int error = 0;
  if (temporary_.empty()) {
    if (freeNameOnly) {
      error = LinkUnder(leaf_);
      nameTaken_ = error == EEXIST;
      return error;
    }
    // An unnamed file cannot replace a name: it gets one of its own first.
    for (int attempt = 0; attempt < 100 && temporary_.empty(); ++attempt) {
      const std::string name = TemporaryName(leaf_);
      error = LinkUnder(name);
      if (error == 0) temporary_ = name;
      if (error != 0 && error != EEXIST) return error;
    }
    if (temporary_.empty()) return error;
  } else if (freeNameOnly) {
    if (::renameat2(folder_, temporary_.c_str(), folder_, leaf_.c_str(), RENAME_NOREPLACE) == 0) {
      temporary_.clear();
      return 0;
    }
    error = errno;
    // A file system that cannot rename so: a new link fails all the same
    // where the name is taken.
    if (error == EINVAL) error = ::linkat(folder_, temporary_.c_str(), folder_, leaf_.c_str(), 0) == 0 ? 0 : errno;
    nameTaken_ = error == EEXIST;
    return error;
  }
  if (::renameat(folder_, temporary_.c_str(), folder_, leaf_.c_str()) != 0) return errno;
  temporary_.clear();
  // The new name reaches the disk too: after a power cut the folder holds
  // the new file or the old one, never neither.
  if (kind_ == Kind::Replace && folderSync == FolderSync::Now) ::fsync(folder_);
  return 0;
}

// A file with further hard links is overwritten through its own inode, so
// that every name keeps showing the same file. The whole new text is in the
// temporary file already; the space for it is reserved first, so that a full
// disk is found before the old text is touched.
int AtomicFile::CopyIntoTarget() {
  if (size_ > 0 && ::fallocate(target_, FALLOC_FL_KEEP_SIZE, 0, size_) != 0 && errno != EOPNOTSUPP) return errno;
  loff_t from = 0;
  loff_t to = 0;
  while (from < size_) {
    const ssize_t copied = ::copy_file_range(fd_, &from, target_, &to, static_cast<std::size_t>(size_ - from), 0);
    if (copied < 0 && errno == EINTR) continue;
    if (copied <= 0) return copied < 0 ? errno : EIO;
  }
  if (::ftruncate(target_, size_) != 0 || ::fsync(target_) != 0) return errno;
  return 0;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) ::unlinkat(folder_, temporary_.c_str(), 0);
  temporary_.clear();
  // The empty file made at a dangling link's target goes again, unless
  // something else took its place meanwhile.
  struct stat now {};
  if (placeholderMade_ && ::fstatat(folder_, leaf_.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
      SameInode(now, placeholder_) && now.st_size == 0) {
    ::unlinkat(folder_, leaf_.c_str(), 0);
  }
  placeholderMade_ = false;
  if (target_ >= 0) ::close(target_);
  target_ = -1;
  if (folder_ >= 0) ::close(folder_);
  folder_ = -1;
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

Result<void> TextOutput::Commit(AtomicFile::Overwrite overwrite, AtomicFile::FolderSync folderSync) {
  Flush();
  return file_.Commit(overwrite, folderSync);
}

bool IsStreamTarget(const std::string& path) {
  if (path == kStandardOutputPath) return true;
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode);
}

bool IsSameFile(const std::string& outputPath, const FileIdentity& input) {
  struct stat output {};
  const int found = outputPath == kStandardOutputPath ? ::fstat(STDOUT_FILENO, &output)
                                                      : ::stat(outputPath.c_str(), &output);
  return found == 0 && output.st_dev == input.device && output.st_ino == input.inode;
}

}  // namespace kestrel
