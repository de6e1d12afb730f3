#pragma once
// Where the readers' bytes come from: a file descriptor that is already open
// (a file, or a pipe whose size is not known before its end), or a block of
// memory. A source is read once from its start, and may be read again from
// the start where it can move back (a file; memory).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace kestrel {

// Which file the system reads: its device and inode numbers.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
};

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // What the source is called in the detail of a message: the path as given.
  const std::string& Name() const { return name_; }
  // The size in bytes, or -1 when it is not known before the end (a pipe).
  virtual std::int64_t Size() const = 0;
  // The file read, where it is one that an output could overwrite (a
  // regular file or a block device; nothing for a stream or memory).
  virtual std::optional<FileIdentity> Identity() const { return std::nullopt; }

  // Reads up to n bytes at the current position into out and moves on by the
  // number read: 0 at the end. error is the errno of a failed read, else 0.
  struct ReadCount {
    std::size_t bytes = 0;
    int error = 0;
  };
  virtual ReadCount Read(char* out, std::size_t n) = 0;
  // Moves to a position; a position beyond the end reads as the end. Returns
  // 0, or the errno of a move the source cannot make (back on a pipe).
  virtual int Seek(std::int64_t position) = 0;

  // Bytes [begin, end) as a source of their own that reads without moving
  // this one, so that several parts are read at once, each on a thread of
  // its own; nothing where the source cannot be read at several places (a
  // stream, a copied pipe). A part that ends at the size reads on beyond it,
  // so that a file that grows while it is read is noticed as in one pass.
  virtual std::unique_ptr<ByteSource> Part(std::int64_t /*begin*/, std::int64_t /*end*/) const { return nullptr; }

 protected:
  explicit ByteSource(std::string name) : name_(std::move(name)) {}
  ByteSource(ByteSource&&) = default;
  ByteSource& operator=(ByteSource&&) = default;

 private:
  std::string name_;
};

// A file descriptor open for reading, closed with the source.
class FileSource final : public ByteSource {
 public:
  // Takes over the descriptor; name is what messages call it.
  FileSource(int fd, std::string name);
  ~FileSource() override;
  FileSource(FileSource&& other) noexcept;
  FileSource& operator=(FileSource&&) = delete;

  std::int64_t Size() const override { return size_; }
  std::optional<FileIdentity> Identity() const override { return identity_; }
  ReadCount Read(char* out, std::size_t n) override;
  int Seek(std::int64_t position) override;
  // A regular file only.
  std::unique_ptr<ByteSource> Part(std::int64_t begin, std::int64_t end) const override;
  int Descriptor() const { return fd_; }

 private:
  int fd_;
  std::int64_t size_ = -1;
  std::optional<FileIdentity> identity_;
  std::int64_t position_ = 0;
};

// Opens a file (or a named pipe) for reading; a path that cannot be opened
// fails with kNoDataMessage and the system's reason as detail.
Result<FileSource> OpenFileSource(const std::string& path);

// An input that is read as a track file: opened once, and read through that
// one descriptor however often its reader goes back to the start. A file
// (or a device) is read as it is; what cannot move back (a pipe, a named
// pipe, a terminal) is read once, in one pass, and what has been read is
// kept in an unnamed temporary file, so that memory stays small whatever
// its length. Fails as OpenFileSource does, and with the system's reason
// when no temporary file can be had.
Result<std::unique_ptr<ByteSource>> OpenInput(const std::string& path);
// The same for a descriptor already open (standard input); takes it over.
Result<std::unique_ptr<ByteSource>> InputOfDescriptor(int fd, std::string name);

// Bytes in memory, which the caller keeps while the source is read.
class MemorySource final : public ByteSource {
 public:
  MemorySource(std::string_view bytes, std::string name) : ByteSource(std::move(name)), bytes_(bytes) {}

  std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
  ReadCount Read(char* out, std::size_t n) override;
  int Seek(std::int64_t position) override;

 private:
  std::string_view bytes_;
  std::size_t position_ = 0;
};

// The message of an input that cannot be read whole.
inline constexpr const char* kNoDataMessage = "Error:ﾃﾞｰﾀが取得出来ませんでした\n";

}  // namespace kestrel
