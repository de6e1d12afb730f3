#pragma once
// Output files. A regular file is written atomically: into an unnamed
// temporary file in the target's folder (where the file system has none, a
// hidden file with a recognisable name, which the next run at that target
// removes when its writer is gone), which takes the target's name only when
// every write succeeded. A failed or killed run never leaves a half-written
// file in place of a good one, and an existing target stays as it was.
//
// What the target's name holds decides how it is written:
// - nothing: a new file, put in place only while the name is still free;
// - a regular file: replaced, keeping its mode and, where the user may set
//   them, its owner and group; its new data and the folder reach the disk
//   before the call returns. A file with further hard links is overwritten
//   in place instead, so that the links keep sharing it;
// - a device, a pipe, a socket or a terminal: written directly, as a stream;
// - a symbolic link: followed as the kernel follows it when the file is
//   opened, never where it could have been planted by another user (a link
//   in a sticky world-writable folder, owned neither by the folder's owner
//   nor by the user); a dangling link gets its target created.
// The name "-" is the standard output, written as a stream.

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/byte_source.h"
#include "platform/result.h"

namespace kestrel {

class AtomicFile {
 public:
  // What may hold the target's name when the file is put in place.
  enum class Overwrite {
    KnownFile,  // only the file that held it at Create (the one the user agreed to replace)
    AnyFile,    // whatever holds it then
  };

  // When the folder of a replaced file reaches the disk: at once, or with the
  // folder sync of a later file put in place in the same folder (several
  // files replaced together wait for one sync, not one each).
  enum class FolderSync { Now, WithALaterFile };

  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Opens the target for writing as above. Fails with
  // kCannotOpenOutputMessage and the system's reason when it cannot be
  // written: a missing folder, no permission, a folder of that name, a
  // read-only file (for every user, root included), a link that must not be
  // followed.
  Result<void> Create(const std::string& target);
  // Appends bytes; a failure is remembered and reported by Commit.
  void Write(std::string_view bytes);
  // Puts the file in place. Fails with kWriteFailedMessage and the reason of
  // the first step that failed, the temporary file removed; but when a name
  // that was free at Create has been taken since (Overwrite::KnownFile), the
  // file is kept and NameTaken() is true, so that the caller may ask and
  // commit again with Overwrite::AnyFile.
  Result<void> Commit(Overwrite overwrite = Overwrite::KnownFile, FolderSync folderSync = FolderSync::Now);
  bool NameTaken() const { return nameTaken_; }
  // An existing file is replaced: its folder is to reach the disk after the rename.
  bool Replaces() const { return kind_ == Kind::Replace; }

 private:
  enum class Kind { Stream, NewFile, Replace, InPlace };

  Result<void> CreateRegular(const std::string& path, const struct stat& status, bool followed);
  Result<void> CreateStream(const std::string& path);
  Result<void> OpenFolder(const std::string& folder);
  Result<void> OpenTemporary(const struct stat* replaced);
  int PutInPlace(Overwrite overwrite, FolderSync folderSync);
  int LinkUnder(const std::string& name);
  int CopyIntoTarget();
  void Discard();
  Failure Failed(const char* message, int error) const;

  std::string name_;  // the target as given, for messages
  Kind kind_ = Kind::Stream;
  int fd_ = -1;        // where the bytes go: the temporary file or the stream
  int folder_ = -1;    // the folder of the file the target names
  std::string leaf_;   // its name in that folder
  std::string temporary_;  // the temporary file's name in the folder, while it has one
  int target_ = -1;        // the target itself, for writing in place
  struct stat placeholder_ {};  // the empty file made at a dangling link's target
  bool placeholderMade_ = false;
  std::int64_t size_ = 0;
  int error_ = 0;  // errno of the first write that failed
  bool nameTaken_ = false;
};

// A text file written atomically through one buffer: every line feed is
// stored as CR LF, all other bytes as given.
class TextOutput {
 public:
  TextOutput() = default;
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  Result<void> Create(const std::string& target) { return file_.Create(target); }
  void Write(std::string_view text);
  // Writes what is buffered and puts the file in place.
  Result<void> Commit(AtomicFile::Overwrite overwrite = AtomicFile::Overwrite::KnownFile,
                      AtomicFile::FolderSync folderSync = AtomicFile::FolderSync::Now);
  bool NameTaken() const { return file_.NameTaken(); }
  bool Replaces() const { return file_.Replaces(); }

 private:
  void Flush();

  AtomicFile file_;
  std::string buffer_;
};

// Whether writing to the path writes a stream rather than a file that takes
// the path's name: the standard output, or an existing device, pipe, socket
// or terminal. Nothing is replaced there, so there is nothing to ask.
bool IsStreamTarget(const std::string& path);

// Whether the output path (links followed; "-": the standard output) names
// the file an input was read from: writing it would destroy the input.
bool IsSameFile(const std::string& outputPath, const FileIdentity& input);

inline constexpr const char* kStandardOutputPath = "-";
inline constexpr const char* kCannotOpenOutputMessage = "ERROR:出力ﾌｧｲﾙが開けません\n";
inline constexpr const char* kWriteFailedMessage = "ERROR:出力ﾌｧｲﾙへの書き込みに失敗しました\n";
// An output that would overwrite the track file it is made from.
inline constexpr const char* kOutputIsInputMessage = "ERROR:出力ﾌｧｲﾙがﾄﾗｯｸﾌｧｲﾙと同じです\n";

}  // namespace kestrel
