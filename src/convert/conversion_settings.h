#pragma once
// The settings of the conversion page as the profile stores them, section
// DConv_Section. Each is declared once here; the page's load, save and reset
// and the command line's --profile all go through these declarations.

#include "platform/profile.h"

namespace kestrel {

// The output type codes, as stored in the profile.
enum class OutputType : int { Usr = 0, Nmea = 1, Trk = 2, Csv = 3, Gpx = 4, Kml = 5, GeoJson = 6, GeoPackage = 7 };

// The type a stored code selects: 0 to 7 their own, anything else CSV.
OutputType OutputTypeOfCode(int code);

struct ConversionSettings {
  OutputType type = OutputType::Csv;
  bool sameName = false;   // the output takes the track file's name with the type's extension
  bool smoothing = false;  // smooth before thinning
  bool useUtc = false;     // times in UTC instead of local time
};

inline constexpr const char* kConversionSection = "DConv_Section";

// The output type: an integer; missing or unusable reads as -1, which selects CSV.
// (The first release knew the codes 0 to 3 and reads the others as CSV.)
inline constexpr const char* kOutputTypeKey = "dconbfiletype";
inline constexpr int kOutputTypeMissing = -1;

// The switches: "ON" or "OFF" texts; missing reads as empty, which is off.
// Listed in the order the page reads them.
struct SwitchSetting {
  const char* key;
  bool ConversionSettings::*value;
};
inline constexpr SwitchSetting kConversionSwitches[] = {
    {"dconvsamename", &ConversionSettings::sameName},
    {"dconbsmoothing", &ConversionSettings::smoothing},
    {"dconvuseutc", &ConversionSettings::useUtc},
};

// The settings by the page's read rules; an empty or missing profile gives
// the defaults above.
ConversionSettings ReadConversionSettings(const Profile& profile);

}  // namespace kestrel
