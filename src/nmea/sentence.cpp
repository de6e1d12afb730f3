#include "nmea/sentence.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace kestrel {
namespace {

// Three bytes packed into one value, so that a tag text is told by one switch.
constexpr std::uint32_t TagKey(char a, char b, char c) {
  return std::uint32_t{static_cast<unsigned char>(a)} << 16 |
         std::uint32_t{static_cast<unsigned char>(b)} << 8 | std::uint32_t{static_cast<unsigned char>(c)};
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

NmeaTag ClassifySentence(std::string_view line) {
  // The log check and the loader call this for every line of a log: find the
  // comma with memchr and compare without building a text.
  const void* comma = line.empty() ? nullptr : std::memchr(line.data(), ',', line.size());
  if (comma == nullptr) return kTagUnrecognised;
  const auto addressLength = static_cast<std::size_t>(static_cast<const char*>(comma) - line.data());
  // A shorter address field is its own tag text, and no name is that short.
  if (addressLength < 3) return kTagUnrecognised;
  const char* tag = line.data() + addressLength - 3;
  switch (TagKey(tag[0], tag[1], tag[2])) {
    case TagKey('G', 'G', 'A'): return kTagGga;
    case TagKey('G', 'L', 'L'): return kTagGll;
    case TagKey('G', 'S', 'A'): return kTagGsa;
    case TagKey('G', 'S', 'V'): return kTagGsv;
    case TagKey('R', 'M', 'C'): return kTagRmc;
    case TagKey('V', 'T', 'G'): return kTagVtg;
    case TagKey('Z', 'D', 'A'): return kTagZda;
    default: return kTagUnrecognised;
  }
}

bool HasWrongChecksum(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() < 3 || line[line.size() - 3] != '*') return false;
  const int high = HexDigitValue(line[line.size() - 2]);
  const int low = HexDigitValue(line[line.size() - 1]);
  if (high < 0 || low < 0) return false;
  const std::string_view body = line.substr(0, line.size() - 3);
  const std::size_t dollar = body.substr(0, body.find(',')).rfind('$');
  // Every line of a log is checked twice: eight bytes at a time, then the
  // eight folded into one.
  std::size_t i = dollar == std::string_view::npos ? 0 : dollar + 1;
  std::uint64_t wide = 0;
  for (; i + 8 <= body.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, body.data() + i, 8);
    wide ^= word;
  }
  for (; i < body.size(); ++i) wide ^= static_cast<unsigned char>(body[i]);
  wide ^= wide >> 32;
  wide ^= wide >> 16;
  wide ^= wide >> 8;
  return (wide & 0xFF) != static_cast<std::uint64_t>(high * 16 + low);
}

NmeaLines::NmeaLines(ByteSource& source, Progress progress) : reader_(source, std::move(progress)) {
  reader_.SkipLinesLongerThan(kLongestLine);
}

bool NmeaLines::Next(std::string_view& line, NmeaTag& tag) {
  while (reader_.ReadLine(line)) {
    if (!line.empty() && line.front() == '@') continue;
    tag = ClassifySentence(line);
    if ((tag & kPositionAndTimeTags) != 0 && HasWrongChecksum(line)) {
      ++damaged_;
      continue;
    }
    return true;
  }
  return false;
}

namespace {

// The counted types, in the order of their counters.
constexpr NmeaTag kCounted[] = {kTagGga, kTagGll, kTagRmc, kTagZda};

// What the check counts of a log, or of a part of one.
struct SentenceCounts {
  std::int64_t counts[std::size(kCounted)] = {};
  std::int64_t skippedLines = 0;
  Result<void> status;
};

SentenceCounts CountSentences(ByteSource& source, const Progress& progress) {
  SentenceCounts counted;
  NmeaLines lines(source, progress);
  std::string_view line;
  NmeaTag tag = 0;
  while (lines.Next(line, tag)) {
    switch (tag) {
      case kTagGga: ++counted.counts[0]; break;
      case kTagGll: ++counted.counts[1]; break;
      case kTagRmc: ++counted.counts[2]; break;
      case kTagZda: ++counted.counts[3]; break;
      default: break;
    }
  }
  counted.skippedLines = lines.Skipped();
  counted.status = lines.Status();
  return counted;
}

}  // namespace

Result<NmeaLogCheck> CheckNmeaLog(ByteSource& source, const Progress& progress, const ParallelReading& reading) {
  const std::vector<std::unique_ptr<ByteSource>> parts = SplitLog(source, reading);
  std::vector<SentenceCounts> counted(std::max<std::size_t>(parts.size(), 1));
  ReadParts(source, parts, progress, [&counted](std::size_t i, ByteSource& part, const Progress& partProgress) {
    counted[i] = CountSentences(part, partProgress);
  });
  SentenceCounts all;
  for (const SentenceCounts& part : counted) {
    if (!part.status) return part.status.error();
    for (std::size_t i = 0; i < std::size(kCounted); ++i) all.counts[i] += part.counts[i];
    all.skippedLines += part.skippedLines;
  }

  NmeaLogCheck check;
  check.skippedLines = all.skippedLines;
  for (std::size_t i = 0; i < std::size(kCounted); ++i) {
    const std::int64_t count = all.counts[i];
    if (count == 0) continue;
    if (check.recordCount != 0 && count != check.recordCount) check.countsAgree = false;
    check.recordCount = count;
    check.tags = static_cast<RequiredTags>(check.tags | kCounted[i]);
    check.sentenceCount += count;
  }
  return check;
}

}  // namespace kestrel
