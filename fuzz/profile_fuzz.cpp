// The input as a profile file: every setting of both pages, read by the
// pages' rules, then raw reads of names and numbers the pages never ask for.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert/conversion_settings.h"
#include "platform/byte_source.h"
#include "platform/profile.h"
#include "webmap/map_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  MemorySource bytes(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.INI");
  const Profile profile("", bytes);

  ReadMapSettings(profile);
  ReadConversionSettings(profile);
  for (const char* section : {kMapSection, "", "gmap_section]"}) {
    for (const char* key : {"", "=", "GMAPLINECOLOR_R", "key with blanks"}) {
      profile.ReadInteger(section, key, -1);
      profile.ReadString(section, key, "missing");
    }
  }
  return 0;
}
