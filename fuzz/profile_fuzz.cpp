// The input as a profile file: every setting of both pages, read by the
// pages' rules, then raw reads of names and numbers the pages never ask for.

#include <cstddef>
#include <cstdint>

#include "convert/conversion_settings.h"
#include "input_file.h"
#include "platform/profile.h"
#include "webmap/map_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrel;
  static fuzz::InputFile input;
  const Profile profile(input.Hold(data, size));

  ReadMapSettings(profile);
  ReadConversionSettings(profile);
  // Every read parses the file again, so a few names keep the runs fast.
  for (const char* section : {kMapSection, "", "gmap_section]"}) {
    for (const char* key : {"", "=", "GMAPLINECOLOR_R", "key with blanks"}) {
      profile.ReadInteger(section, key, -1);
      profile.ReadString(section, key, "missing");
    }
  }
  return 0;
}
