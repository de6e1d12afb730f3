#pragma once
// Sequential reading of a byte source in large blocks: lines found with memchr
// and handed out as views into the block (no allocation per line), or bytes
// in the little-endian record formats. The input is never held in memory
// whole; the block grows only for a line longer than itself.
//
// A read that fails, a file that changes size while it is read and a cancel
// of the progress all end the reading as the end of the input would; Status
// tells them apart, so that a reader never takes a failed read for the end
// of a file.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"

namespace kestrel {

class BufferedReader {
 public:
  // Reads the source from its start. The progress, when given, hears of every
  // block read from the source (bytes read of the source's size), about every
  // 1 MB of a large file; its false stops the reading.
  explicit BufferedReader(ByteSource& source, Progress progress = {});
  BufferedReader(const BufferedReader&) = delete;
  BufferedReader& operator=(const BufferedReader&) = delete;

  // The source's size, -1 when it is not known (a pipe).
  std::int64_t Size() const { return source_.Size(); }
  // Position of the next byte to be read; may lie beyond the end.
  std::int64_t Position() const { return sourcePosition_ - static_cast<std::int64_t>(end_ - next_); }

  // The next line: the bytes up to a line feed, which is not part of it (a
  // carriage return before it stays). A last line without a line feed is
  // still a line. false at the end of the input. The view is valid until the
  // next call.
  bool ReadLine(std::string_view& line);
  // Position of the first byte of the last line ReadLine handed out.
  std::int64_t LineStart() const { return lineStart_; }
  // From now on ReadLine passes over every line longer than limit bytes
  // without holding it (the block never grows for one), and counts it.
  void SkipLinesLongerThan(std::size_t limit) { lineLimit_ = limit; }
  std::int64_t LongLinesSkipped() const { return longLinesSkipped_; }

  // Reads n bytes and returns how many of them the input held; the others
  // (beyond the end of the input) read as 0xFF. Reading beyond the end does
  // not move the position.
  std::size_t Read(unsigned char* out, std::size_t n);
  // Moves on by n bytes; moving beyond the end of the input is allowed.
  void Skip(std::int64_t n);
  void Seek(std::int64_t position);

  // How the reading has gone so far: without failure, or a read that failed
  // (kNoDataMessage with the system's reason), a source that ended before
  // its size or went on beyond it (kNoDataMessage: the file changed while it
  // was read), or the cancel of the progress.
  Result<void> Status() const;

 private:
  // Reads more of the source behind the bytes not yet handed out; false at
  // the end, after a failure and after a cancel.
  bool Fill();
  // Ends the reading after a failure or a cancel: nothing more is handed out.
  void Stop();
  // Passes over the rest of a line that has grown beyond the limit: true
  // when its line feed was found, false at the end of the input.
  bool DropLongLine();

  ByteSource& source_;
  Progress progress_;
  std::vector<char> block_;
  std::size_t next_ = 0;             // first byte of the block not yet handed out
  std::size_t end_ = 0;              // end of the valid bytes of the block
  std::int64_t sourcePosition_ = 0;  // source position of block_[end_]
  bool atEnd_ = false;
  int error_ = 0;  // errno of the read that failed
  bool changed_ = false;  // the source's size was not what it said
  bool cancelled_ = false;
  std::size_t lineLimit_ = static_cast<std::size_t>(-1);
  std::int64_t longLinesSkipped_ = 0;
  std::int64_t lineStart_ = 0;
};

}  // namespace kestrel
