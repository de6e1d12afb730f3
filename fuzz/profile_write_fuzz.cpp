// The input as a profile file that a page saves into: two values written
// into one section must read back as written, every other setting must
// read as before, and writing the same values again must change nothing.
//
// Layout: byte 0 picks the section and the two keys; byte 1 is the length n
// of the first value; the next n bytes are the first value, the second is
// "ON"; the rest is the profile's text (up to its first zero byte: a
// profile holding one is never written).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/byte_source.h"
#include "platform/profile.h"

namespace {

using namespace kestrel;

constexpr const char* kSections[] = {"GMap_Section", "gmap_section", "DConv_Section", "", "S"};
constexpr const char* kKeys[] = {"gmaptitle", "GMAPTITLE", "k", "dconvuseutc", "recentfile1", "K", "a", "gmaplinewidth"};

Profile ProfileOf(std::string_view text) {
  MemorySource bytes(text, "fuzz.INI");
  return Profile("", bytes);
}

// What a value reads as once written into a profile of its own.
std::string AsRead(const std::string& value) {
  return ProfileOf(ProfileTextWith("", "S", {{"k", value}})).ReadString("S", "k", "missing");
}

std::string Lower(std::string name) {
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t pick = data[0];
  const std::size_t length = std::min<std::size_t>(data[1], size - 2);
  const std::string value(reinterpret_cast<const char*>(data + 2), length);
  std::string_view text(reinterpret_cast<const char*>(data + 2 + length), size - 2 - length);
  text = text.substr(0, text.find('\0'));

  const std::string section = kSections[pick % 5];
  const std::string first = kKeys[pick / 5 % 8];
  const std::string second = kKeys[(pick / 40 + 3) % 8];
  const Profile::Values values = {{first, value}, {second, "ON"}};
  const std::string written = ProfileTextWith(text, section, values);

  const Profile before = ProfileOf(text);
  const Profile after = ProfileOf(written);
  if (after.ReadString(section, second, "missing") != "ON") std::abort();
  if (Lower(first) != Lower(second) && after.ReadString(section, first, "missing") != AsRead(value)) std::abort();
  for (const char* otherSection : kSections) {
    for (const char* key : kKeys) {
      const bool written = Lower(otherSection) == Lower(section) && (Lower(key) == Lower(first) || Lower(key) == Lower(second));
      if (!written && before.ReadString(otherSection, key, "missing") != after.ReadString(otherSection, key, "missing")) {
        std::abort();
      }
    }
  }
  if (ProfileTextWith(written, section, values) != written) std::abort();
  return 0;
}
