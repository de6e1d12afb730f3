#include "nmea/sentence.h"

#include <cstring>
#include <iterator>
#include <limits>
#include <string>

#include "platform/buffered_reader.h"

namespace kestrel {
namespace {

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

Result<NmeaLogCheck> CheckNmeaLog(ByteSource& source, const Progress& progress) {
  // The counted types, in the order of their counters.
  constexpr NmeaTag kCounted[] = {kTagGga, kTagGll, kTagRmc, kTagZda};
  constexpr const char* kCountedNames[] = {"GGA", "GLL", "RMC", "ZDA"};
  std::int64_t counts[std::size(kCounted)] = {};
  BufferedReader file(source, progress);
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
  }
  if (Result<void> status = file.Status(); !status) return status.error();

  NmeaLogCheck check;
  std::int64_t largest = 0;
  bool agree = true;
  std::string countsText;
  for (std::size_t i = 0; i < std::size(kCounted); ++i) {
    if (counts[i] == 0) continue;
    if (largest != 0 && counts[i] != largest) agree = false;
    largest = counts[i];
    check.tags = static_cast<RequiredTags>(check.tags | kCounted[i]);
    countsText += (countsText.empty() ? "" : ", ") + std::string(kCountedNames[i]) + " " + std::to_string(counts[i]);
  }
  // A record count beyond 32 bits cannot be allocated or loaded (such a log
  // holds more than 8 GB of sentences); it is refused like counts that disagree.
  if (!agree || largest > std::numeric_limits<std::int32_t>::max()) {
    return Fail(kTagCountMismatchMessage, source.Name() + ": " + countsText);
  }
  check.recordCount = static_cast<std::int32_t>(largest);
  return check;
}

}  // namespace kestrel
