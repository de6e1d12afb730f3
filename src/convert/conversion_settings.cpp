#include "convert/conversion_settings.h"

namespace kestrel {

OutputType OutputTypeOfCode(int code) {
  switch (code) {
    case 0:
      return OutputType::Usr;
    case 1:
      return OutputType::Nmea;
    case 2:
      return OutputType::Trk;
    default:
      return OutputType::Csv;
  }
}

ConversionSettings ReadConversionSettings(const Profile& profile) {
  ConversionSettings settings;
  settings.type = OutputTypeOfCode(profile.ReadInteger(kConversionSection, kOutputTypeKey, kOutputTypeMissing));
  for (const SwitchSetting& setting : kConversionSwitches) {
    settings.*setting.value = IsOn(profile.ReadString(kConversionSection, setting.key, ""));
  }
  return settings;
}

}  // namespace kestrel
