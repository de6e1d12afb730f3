#include "cli/track_input.h"

#include "platform/text_encoding.h"
#include "track/open_commands.h"
#include "track/track_file_kind.h"

namespace kestrel::cli {

bool IsUsrInput(const InputOptions& options) {
  if (options.format != InputFormat::ByExtension) return options.format == InputFormat::Usr;
  return TrackFileKindOf(options.file) == TrackFileKind::Usr;
}

std::optional<std::string> LoadInput(const InputOptions& options, TrackData& track, Shell& shell) {
  if (!IsUsrInput(options)) return OpenNmeaLog(track, options.file, shell);
  std::optional<std::string> overview = OpenUsrFile(track, options.file, shell);
  if (!overview || !options.trail) return overview;
  const std::string name = Utf8ToCp932(*options.trail);
  const Result<TrailLocation> trail = FindTrail(track.summary, name, options.file);
  if (!trail) {
    ShowFailure(shell, trail.error());
    return std::nullopt;
  }
  return LoadTrail(track, options.file, *trail, name, shell);
}

}  // namespace kestrel::cli
