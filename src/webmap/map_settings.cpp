#include "webmap/map_settings.h"

#include <iterator>

namespace kestrel {
namespace {

constexpr int kMissingInteger = -1;

bool IsChannel(int value) { return value >= 0 && value <= 255; }

}  // namespace

const char* StoredNameOf(MapService service) { return kMapServiceNames[static_cast<int>(service)]; }

MapService MapServiceOfStoredName(std::string_view name) {
  for (int i = 0; i < static_cast<int>(std::size(kMapServiceNames)); ++i) {
    if (name == kMapServiceNames[i]) return static_cast<MapService>(i);
  }
  return MapSettings{}.service;
}

int LineWidthOfIndex(int widthIndex) {
  return widthIndex >= 0 && widthIndex < kWidthEntryCount ? kWidthEntryCount - widthIndex : 3;
}

int WidthIndexOfLineWidth(int pixels) { return kWidthEntryCount - pixels; }

MapSettings ReadMapSettings(const Profile& profile) {
  const MapSettings defaults;
  MapSettings settings;
  settings.apiKey = profile.ReadString(kMapSection, kApiKeyKey, "");

  const int widthIndex = profile.ReadInteger(kMapSection, kLineWidthKey, kMissingInteger);
  settings.widthIndex = widthIndex >= 0 && widthIndex < kWidthEntryCount ? widthIndex : defaults.widthIndex;

  const int red = profile.ReadInteger(kMapSection, kLineColorRedKey, kMissingInteger);
  const int green = profile.ReadInteger(kMapSection, kLineColorGreenKey, kMissingInteger);
  const int blue = profile.ReadInteger(kMapSection, kLineColorBlueKey, kMissingInteger);
  if (IsChannel(red) && IsChannel(green) && IsChannel(blue)) {
    settings.chosenColor = static_cast<PackedColor>(red | green << 8 | blue << 16);
  }

  const std::string title = profile.ReadString(kMapSection, kTitleKey, "");
  if (!title.empty()) settings.title = title;
  settings.service = MapServiceOfStoredName(profile.ReadString(kMapSection, kMapServiceKey, ""));

  for (const MapSwitch& setting : kMapSwitches) {
    const bool byDefault = defaults.*setting.value;
    settings.*setting.value =
        profile.ReadString(kMapSection, setting.key, "") == OnOff(!byDefault) ? !byDefault : byDefault;
  }
  return settings;
}

}  // namespace kestrel
