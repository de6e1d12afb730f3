#include "track/track_file_kind.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/paths.h"

namespace kestrel {

TrackFileKind TrackFileKindOf(std::string_view path) {
  std::string extension = SplitPathOf(path).extension;
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".usr") return TrackFileKind::Usr;
  if (extension == ".gpx") return TrackFileKind::Gpx;
  return TrackFileKind::NmeaLog;
}

bool IsTrackFileName(std::string_view path) {
  const std::string extension = SplitPathOf(path).extension;
  const auto sameIgnoringCase = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  for (const std::string_view known : {".usr", ".gpx", ".log", ".nmea", ".txt"}) {
    if (std::equal(extension.begin(), extension.end(), known.begin(), known.end(), sameIgnoringCase)) return true;
  }
  return false;
}

}  // namespace kestrel
