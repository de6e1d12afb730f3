#pragma once
// A large log read on every core: split into parts at record boundaries,
// each part read by a reader of its own on a thread of its own, and the
// results joined in the order of the parts, as one pass would have made
// them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/byte_source.h"
#include "platform/shell.h"

namespace kestrel {

// How a large log is read at once on several threads.
struct ParallelReading {
  int parts = 0;  // the most parts a log is split into; 0: one a core
  // A smaller log is read in one pass, where threads would cost more than
  // they save.
  std::int64_t leastSize = std::int64_t{4} << 20;
};

// The parts of a log, in order, or none where it is read in one pass: a
// source that cannot be read at several places at once (a stream), a log
// smaller than reading.leastSize, or one that has no place to split. Every
// part but the first begins with a line that begins a record however the
// log is read: a GGA, GLL, RMC or ZDA sentence whose time differs from that
// of the last such sentence before it, so that the record before it ends
// with the part before.
std::vector<std::unique_ptr<ByteSource>> SplitLog(ByteSource& source, const ParallelReading& reading);

// Reads the parts at once, read(index, part, progress) each on a thread of
// its own, or the whole source on this thread where there are none. Only
// this thread's progress reports to the caller's progress, with the bytes
// read of all the parts; its cancel stops them all. An exception of a read
// (no memory) is thrown again here once all have ended.
using ReadPart = std::function<void(std::size_t index, ByteSource& part, const Progress& progress)>;
void ReadParts(ByteSource& source, const std::vector<std::unique_ptr<ByteSource>>& parts, const Progress& progress,
               const ReadPart& read);

}  // namespace kestrel
