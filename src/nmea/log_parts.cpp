#include "nmea/log_parts.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

#include "nmea/fields.h"
#include "nmea/sentence.h"

namespace kestrel {
namespace {

// The start of the first line that begins at or after from (> 0) and
// before limit.
std::optional<std::int64_t> NextLineStart(ByteSource& source, std::int64_t from, std::int64_t limit) {
  const std::unique_ptr<ByteSource> rest = source.Part(from - 1, limit);
  if (!rest) return std::nullopt;
  char block[16384];
  for (std::int64_t at = from - 1;;) {
    const ByteSource::ReadCount got = rest->Read(block, sizeof block);
    if (got.error != 0 || got.bytes == 0) return std::nullopt;
    if (const void* found = std::memchr(block, '\n', got.bytes); found != nullptr) {
      const std::int64_t start = at + (static_cast<const char*>(found) - block) + 1;
      return start < limit ? std::optional(start) : std::nullopt;
    }
    at += static_cast<std::int64_t>(got.bytes);
  }
}

// The first line that begins a record (see SplitLog) among the lines that
// begin at or after from and before limit. Within a record every timed
// sentence has the record's time; so a sentence whose time differs from
// the timed sentence before it begins one, whatever came before.
std::optional<std::int64_t> RecordStart(ByteSource& source, std::int64_t from, std::int64_t limit) {
  const std::optional<std::int64_t> lineStart = NextLineStart(source, from, limit);
  if (!lineStart) return std::nullopt;
  const std::unique_ptr<ByteSource> rest = source.Part(*lineStart, source.Size());
  NmeaLines lines(*rest);
  std::string_view line;
  NmeaTag tag = 0;
  std::optional<double> lastTime;
  while (lines.Next(line, tag)) {
    const std::int64_t start = *lineStart + lines.LineStart();
    if (start >= limit) break;
    if ((tag & kPositionAndTimeTags) == 0) continue;
    const std::optional<double> time = SentenceTime(line, tag);
    if (!time) continue;
    if (lastTime && *time != *lastTime) return start;
    lastTime = time;
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::unique_ptr<ByteSource>> SplitLog(ByteSource& source, const ParallelReading& reading) {
  const std::int64_t size = source.Size();
  const std::int64_t wanted =
      reading.parts > 0 ? reading.parts : std::max<std::int64_t>(1, std::thread::hardware_concurrency());
  std::vector<std::unique_ptr<ByteSource>> parts;
  if (wanted < 2 || size <= 0 || size < reading.leastSize || !source.Part(0, size)) return parts;
  // A part is looked for near each of the places that share the log
  // evenly; where none begins before the next such place, the part before
  // goes on to the next.
  std::vector<std::int64_t> starts = {0};
  for (std::int64_t i = 1; i < wanted; ++i) {
    const std::int64_t from = std::max(size * i / wanted, starts.back() + 1);
    const std::int64_t limit = std::max(size * (i + 1) / wanted, from);
    if (const std::optional<std::int64_t> start = RecordStart(source, from, limit)) starts.push_back(*start);
  }
  if (starts.size() < 2) return parts;
  starts.push_back(size);
  for (std::size_t i = 0; i + 1 < starts.size(); ++i) parts.push_back(source.Part(starts[i], starts[i + 1]));
  return parts;
}

void ReadParts(ByteSource& source, const std::vector<std::unique_ptr<ByteSource>>& parts, const Progress& progress,
               const ReadPart& read) {
  if (parts.empty()) {
    read(0, source, progress);
    return;
  }
  std::int64_t total = 0;
  for (const std::unique_ptr<ByteSource>& part : parts) total += part->Size();
  std::atomic<std::int64_t> done = 0;
  std::atomic<bool> cancelled = false;
  // Each part's reader tells what it has read of its part; the sum of them
  // goes to the caller's progress from this thread only.
  const auto partProgress = [&](bool reports) {
    return Progress([&, reports, heard = std::int64_t{0}](std::int64_t partDone, std::int64_t) mutable {
      const std::int64_t all = done += partDone - heard;
      heard = partDone;
      if (reports && progress && !progress(all, total)) cancelled = true;
      return !cancelled;
    });
  };
  std::vector<std::exception_ptr> failures(parts.size());
  const auto readPart = [&](std::size_t i) {
    try {
      read(i, *parts[i], partProgress(i == 0));
    } catch (...) {
      failures[i] = std::current_exception();
      cancelled = true;
    }
  };
  std::vector<std::size_t> here = {0};
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 1; i < parts.size(); ++i) {
      try {
        threads.emplace_back(readPart, i);
      } catch (const std::system_error&) {
        here.push_back(i);  // no thread to be had: read on this one
      }
    }
    for (const std::size_t i : here) readPart(i);
  }
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
}

}  // namespace kestrel
