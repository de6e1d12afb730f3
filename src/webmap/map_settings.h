#pragma once
// The settings of the map page as the profile stores them, section
// GMap_Section. Each is declared once here, with its default, which is also
// what "設定リセット" writes back; the page's load, save and reset and the
// command line's --profile all go through these declarations.

#include <string>
#include <string_view>

#include "platform/profile.h"
#include "webmap/fade_color.h"

namespace kestrel {

// The map the site shows the track on: the map service of the site's script
// (the page loads its API, version 2, which its maker no longer serves), or
// the tiles of a map that needs no key, drawn by Leaflet.
enum class MapService { Google, Gsi, Osm };

struct MapSettings {
  std::string title = "Sample GPS Data";
  std::string apiKey;              // empty: not set
  PackedColor chosenColor = kRed;  // the colour chosen, never the faded one
  int widthIndex = 2;              // entry of the width list, 0 "極太" to 4 "極細"; -1 when none
  bool transparency = true;        // the line drawn semi-transparent
  bool routeReplay = true;         // replay buttons and speed list on the page
  bool keepTrail = false;          // radio 1011 "軌跡を残す" checked, else 1010 "軌跡を残さない"
  bool overviewControl = true;     // the map gets the overview map
  bool sameName = false;           // "拡張子のみ変更": name the site after the track file
  bool smoothing = false;          // smooth before thinning
  MapService service = MapService::Gsi;  // a map that shows without a key
};

inline constexpr const char* kMapSection = "GMap_Section";

// The width list, entries in this order: 極太 5, 太い 4, 標準 3, 細い 2, 極細 1
// pixels. Any other selection (none) draws 3 pixels.
inline constexpr int kWidthEntryCount = 5;
int LineWidthOfIndex(int widthIndex);
// The entry for a width of 1 to 5 pixels.
int WidthIndexOfLineWidth(int pixels);

// String: the key as given; missing reads as empty. Reset leaves it.
inline constexpr const char* kApiKeyKey = "gmapapikey";
// Integer: the width list entry; missing or outside 0..4 reads as entry 2.
inline constexpr const char* kLineWidthKey = "gmaplinewidth";
// Integers 0..255 of the chosen colour; when any of the three is missing or
// out of range the whole colour reads as red.
inline constexpr const char* kLineColorRedKey = "gmaplinecolor_r";
inline constexpr const char* kLineColorGreenKey = "gmaplinecolor_g";
inline constexpr const char* kLineColorBlueKey = "gmaplinecolor_b";
// String: missing or empty reads as the default title.
inline constexpr const char* kTitleKey = "gmaptitle";
// String: one of the stored names below, in the order of MapService; any
// other text, missing and lower case included, reads as GSI, the default.
inline constexpr const char* kMapServiceKey = "gmapservice";
inline constexpr const char* kMapServiceNames[] = {"GOOGLE", "GSI", "OSM"};
const char* StoredNameOf(MapService service);
MapService MapServiceOfStoredName(std::string_view name);

// The switches, stored as "ON" or "OFF". Only the exact text that names the
// opposite of the default changes a switch: "OFF" for a switch that defaults
// to on, "ON" for one that defaults to off; any other text, missing and "on"
// included, reads as the default. Listed in the order the page reads them.
struct MapSwitch {
  const char* key;
  bool MapSettings::*value;
};
inline constexpr MapSwitch kMapSwitches[] = {
    {"gmaplinetrans", &MapSettings::transparency}, {"gmaproute", &MapSettings::routeReplay},
    {"gmaptrack", &MapSettings::keepTrail},        {"gmapoverview", &MapSettings::overviewControl},
    {"gmapsamename", &MapSettings::sameName},      {"gmapsmoothing", &MapSettings::smoothing},
};

// The settings by the page's read rules; an empty or missing profile gives
// the defaults above.
MapSettings ReadMapSettings(const Profile& profile);

}  // namespace kestrel
