#include "platform/buffered_reader.h"

#include <algorithm>
#include <cstring>

namespace kestrel {
namespace {
constexpr std::size_t kBlockSize = std::size_t{1} << 20;
}

BufferedReader::BufferedReader(ByteSource& source, Progress progress)
    : source_(source), progress_(std::move(progress)) {
  // A small input needs no large block; the block grows for a long line.
  const std::int64_t size = source_.Size();
  block_.resize(size < 0 ? kBlockSize : std::clamp<std::size_t>(static_cast<std::size_t>(size) + 1, 4096, kBlockSize));
  if (const int error = source_.Seek(0); error != 0) {
    error_ = error;
    Stop();
  }
}

void BufferedReader::Stop() {
  atEnd_ = true;
  next_ = end_;
}

bool BufferedReader::Fill() {
  if (atEnd_) return false;
  if (next_ > 0) {
    std::memmove(block_.data(), block_.data() + next_, end_ - next_);
    end_ -= next_;
    next_ = 0;
  }
  if (end_ == block_.size()) block_.resize(block_.size() * 2);
  const ByteSource::ReadCount got = source_.Read(block_.data() + end_, block_.size() - end_);
  if (got.error != 0) {
    error_ = got.error;
    Stop();
    return false;
  }
  // A file read to its end must end at its size: a file cut or grown while
  // it is read (a logger still writing, another program replacing it) would
  // otherwise give part of one version and part of another. A position
  // beyond the size is that of a skip past the end, which reads nothing.
  const std::int64_t size = source_.Size();
  const std::int64_t reached = sourcePosition_ + static_cast<std::int64_t>(got.bytes);
  if (size >= 0 && (got.bytes == 0 ? sourcePosition_ < size : reached > size)) {
    changed_ = true;
    Stop();
    return false;
  }
  if (got.bytes == 0) {
    atEnd_ = true;
    return false;
  }
  end_ += got.bytes;
  sourcePosition_ = reached;
  if (progress_ && !progress_(sourcePosition_, size)) {
    cancelled_ = true;
    Stop();
    return false;
  }
  return true;
}

bool BufferedReader::ReadLine(std::string_view& line) {
  for (;;) {
    std::size_t searchFrom = next_;
    const void* found = nullptr;
    for (;;) {
      found = std::memchr(block_.data() + searchFrom, '\n', end_ - searchFrom);
      if (found != nullptr) break;
      const std::size_t searched = end_ - next_;
      if (searched > lineLimit_) break;
      if (!Fill()) break;
      searchFrom = next_ + searched;
    }
    const std::size_t lineEnd =
        found != nullptr ? static_cast<std::size_t>(static_cast<const char*>(found) - block_.data()) : end_;
    if (lineEnd - next_ > lineLimit_) {
      ++longLinesSkipped_;
      if (found != nullptr) {
        next_ = lineEnd + 1;
      } else if (!DropLongLine()) {
        return false;
      }
      continue;
    }
    if (found == nullptr && next_ == end_) return false;
    line = std::string_view(block_.data() + next_, lineEnd - next_);
    lineStart_ = Position();
    next_ = found != nullptr ? lineEnd + 1 : end_;
    return true;
  }
}

bool BufferedReader::DropLongLine() {
  for (;;) {
    next_ = end_;
    if (!Fill()) return false;
    if (const void* found = std::memchr(block_.data() + next_, '\n', end_ - next_); found != nullptr) {
      next_ = static_cast<std::size_t>(static_cast<const char*>(found) - block_.data()) + 1;
      return true;
    }
  }
}

std::size_t BufferedReader::Read(unsigned char* out, std::size_t n) {
  std::size_t done = 0;
  while (done < n) {
    if (next_ == end_ && !Fill()) {
      std::memset(out + done, 0xFF, n - done);
      break;
    }
    const std::size_t take = std::min(n - done, end_ - next_);
    std::memcpy(out + done, block_.data() + next_, take);
    next_ += take;
    done += take;
  }
  return done;
}

void BufferedReader::Skip(std::int64_t n) { Seek(Position() + n); }

void BufferedReader::Seek(std::int64_t position) {
  if (error_ != 0 || changed_ || cancelled_) return;
  const std::int64_t blockStart = sourcePosition_ - static_cast<std::int64_t>(end_);
  if (position >= blockStart && position <= sourcePosition_) {
    next_ = static_cast<std::size_t>(position - blockStart);
    return;
  }
  next_ = end_ = 0;
  sourcePosition_ = std::max<std::int64_t>(position, 0);
  atEnd_ = false;
  if (const int error = source_.Seek(sourcePosition_); error != 0) {
    error_ = error;
    Stop();
  }
}

Result<void> BufferedReader::Status() const {
  if (cancelled_) return Cancelled();
  if (error_ != 0) return Fail(kNoDataMessage, SystemDetail(source_.Name(), error_));
  if (changed_) return Fail(kNoDataMessage, source_.Name() + ": the file changed while it was read");
  return {};
}

}  // namespace kestrel
