#include "nmea/sentence.h"

#include <cstring>
#include <iterator>
#include <limits>

#include "platform/buffered_reader.h"

namespace kestrel {
namespace {

// Progress is reported about every 4 MB of file.
constexpr std::int64_t kProgressStep = std::int64_t{4} << 20;

// Three bytes packed into one value, so that a tag text is told by one switch.
constexpr std::uint32_t TagKey(char a, char b, char c) {
  return std::uint32_t{static_cast<unsigned char>(a)} << 16 |
         std::uint32_t{static_cast<unsigned char>(b)} << 8 | std::uint32_t{static_cast<unsigned char>(c)};
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

NmeaLogCheck CheckNmeaLog(const std::string& path, const Progress& progress) {
  NmeaLogCheck check;
  BufferedReader file;
  if (!file.Open(path)) return check;

  // The counted types, in the order of their counters.
  constexpr NmeaTag kCounted[] = {kTagGga, kTagGll, kTagRmc, kTagZda};
  std::int64_t counts[std::size(kCounted)] = {};
  std::int64_t nextReport = kProgressStep;
  std::string_view line;
  // One pass: for a file that does not change while it is read, counting its
  // lines first and then reading that many would see the same lines.
  while (file.ReadLine(line)) {
    if (!line.empty() && line.front() == '@') continue;
    switch (ClassifySentence(line)) {
      case kTagGga: ++counts[0]; break;
      case kTagGll: ++counts[1]; break;
      case kTagRmc: ++counts[2]; break;
      case kTagZda: ++counts[3]; break;
      default: break;
    }
    if (progress && file.Position() >= nextReport) {
      progress(file.Position(), file.Size());
      nextReport = file.Position() + kProgressStep;
    }
  }
  file.Close();

  std::int64_t largest = 0;
  RequiredTags tags = 0;
  for (std::size_t i = 0; i < std::size(kCounted); ++i) {
    if (counts[i] == 0) continue;
    if (largest != 0 && counts[i] != largest) {
      check.result = NmeaLogCheck::Result::CountsDisagree;
      return check;
    }
    largest = counts[i];
    tags = static_cast<RequiredTags>(tags | kCounted[i]);
  }
  // A record count beyond 32 bits cannot be allocated or loaded (such a log
  // holds more than 8 GB of sentences); it is refused like counts that disagree.
  if (largest > std::numeric_limits<std::int32_t>::max()) {
    check.result = NmeaLogCheck::Result::CountsDisagree;
    return check;
  }
  check.result = NmeaLogCheck::Result::Ok;
  check.recordCount = static_cast<std::int32_t>(largest);
  check.tags = tags;
  return check;
}

}  // namespace kestrel
