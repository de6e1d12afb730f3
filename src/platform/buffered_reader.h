#pragma once
// Sequential reading of a file in large blocks: lines found with memchr and
// handed out as views into the block (no allocation per line), or bytes in
// the little-endian record formats. A file is never held in memory whole; the
// block grows only for a line longer than itself.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel {

class BufferedReader {
 public:
  BufferedReader() = default;
  ~BufferedReader();
  BufferedReader(const BufferedReader&) = delete;
  BufferedReader& operator=(const BufferedReader&) = delete;

  // Opens a regular file for reading; false when it cannot be opened.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  std::int64_t Size() const { return size_; }
  // File position of the next byte to be read; may lie beyond the end.
  std::int64_t Position() const { return filePosition_ - static_cast<std::int64_t>(end_ - next_); }

  // The next line: the bytes up to a line feed, which is not part of it (a
  // carriage return before it stays). A last line without a line feed is
  // still a line. false at the end of the file. The view is valid until the
  // next call.
  bool ReadLine(std::string_view& line);

  // Reads n bytes; bytes beyond the end of the file read as 0xFF.
  void Read(unsigned char* out, std::size_t n);
  // Moves on by n bytes; moving beyond the end of the file is allowed.
  void Skip(std::int64_t n);
  void Seek(std::int64_t position);

 private:
  // Reads more of the file behind the bytes not yet handed out; false at the end.
  bool Fill();

  int fd_ = -1;
  std::int64_t size_ = 0;
  std::vector<char> block_;
  std::size_t next_ = 0;  // first byte of the block not yet handed out
  std::size_t end_ = 0;   // end of the valid bytes of the block
  std::int64_t filePosition_ = 0;  // file position of block_[end_]
  bool atEnd_ = false;
};

}  // namespace kestrel
