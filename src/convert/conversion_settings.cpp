#include "convert/conversion_settings.h"

namespace kestrel {

OutputType OutputTypeOfCode(int code) {
  const bool known = code >= static_cast<int>(OutputType::Usr) && code <= static_cast<int>(OutputType::GeoPackage);
  return known ? static_cast<OutputType>(code) : OutputType::Csv;
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
