#pragma once
// Output files are written atomically: into a temporary file in the target's
// folder, which replaces the target only when every write, the flush to disk
// and the close succeeded. A failed write never leaves a half-written file in
// place of a good one, and an existing target stays exactly as it was.

#include <string>
#include <string_view>

#include "platform/result.h"

namespace kestrel {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Makes the temporary file beside the target. Fails with
  // kCannotOpenOutputMessage and the system's reason when the target cannot
  // be written: a missing folder, no permission, a folder of that name, or a
  // read-only file (for every user, root included).
  Result<void> Create(const std::string& target);
  // Appends bytes; a failure is remembered and reported by Commit.
  void Write(std::string_view bytes);
  // Flushes, closes and renames the temporary file over the target. Fails
  // with kWriteFailedMessage and the reason of the first step that failed,
  // the temporary file removed.
  Result<void> Commit();

 private:
  void Discard();
  Failure Failed(const char* message, int error) const;

  std::string name_;    // the target as given, for messages
  std::string target_;  // the file a symbolic link points to, or the target
  std::string temporary_;
  int fd_ = -1;
  int error_ = 0;           // errno of the first write that failed
  bool replacing_ = false;  // a file of the target's name exists
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
  Result<void> Commit();

 private:
  void Flush();

  AtomicFile file_;
  std::string buffer_;
};

inline constexpr const char* kCannotOpenOutputMessage = "ERROR:出力ﾌｧｲﾙが開けません\n";
inline constexpr const char* kWriteFailedMessage = "ERROR:出力ﾌｧｲﾙへの書き込みに失敗しました\n";

}  // namespace kestrel
