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

}  // namespace kestrel
