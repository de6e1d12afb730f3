#pragma once
// Output files are written atomically: into a temporary file in the target's
// folder, which replaces the target only when every write, the flush to disk
// and the close succeeded. A failed write never leaves a half-written file in
// place of a good one, and an existing target stays exactly as it was.

#include <string>
#include <string_view>

namespace kestrel {

class AtomicFile {
 public:
  AtomicFile() = default;
  ~AtomicFile();  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Makes the temporary file beside the target. false when the target cannot
  // be created: a missing folder, no permission, or a folder of that name.
  bool Create(const std::string& target);
  // Appends bytes; a failure is remembered and reported by Commit.
  void Write(std::string_view bytes);
  // Flushes, closes and renames the temporary file over the target; false,
  // with the temporary file removed, when anything failed.
  bool Commit();

 private:
  void Discard();

  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool failed_ = false;
  bool replacing_ = false;  // a file of the target's name exists
};

// A text file written atomically through one buffer: every line feed is
// stored as CR LF, all other bytes as given.
class TextOutput {
 public:
  TextOutput() = default;
  TextOutput(const TextOutput&) = delete;
  TextOutput& operator=(const TextOutput&) = delete;

  bool Create(const std::string& target) { return file_.Create(target); }
  void Write(std::string_view text);
  // Writes what is buffered and puts the file in place; false when any part failed.
  bool Commit();

 private:
  void Flush();

  AtomicFile file_;
  std::string buffer_;
};

enum class WriteResult { Written, CannotCreate, WriteFailed };

// Writes a whole text file atomically with CR LF line ends.
WriteResult WriteTextFile(const std::string& path, std::string_view text);

}  // namespace kestrel
