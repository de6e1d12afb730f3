#include "cli/track_input.h"

#include <unistd.h>

#include <cctype>

#include "track/open_commands.h"
#include "track/summary.h"
#include "track/track_file_kind.h"

namespace kestrel::cli {
namespace {

bool IsLeapYear(std::int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

std::int32_t DaysInMonth(std::int32_t year, std::int32_t month) {
  constexpr std::int32_t kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The file read as its kind; a .usr or GPX file's trail or track named, or
// with eachTrail every track it holds.
std::optional<std::string> LoadFile(const InputOptions& options, TrackFileKind kind, ByteSource& file,
                                    TrackData& track, Shell& shell, const EachTrail& eachTrail) {
  if (kind == TrackFileKind::NmeaLog) return OpenNmeaLog(track, file, shell, options.date);
  std::optional<std::string> overview =
      kind == TrackFileKind::Usr ? OpenUsrFile(track, file, shell) : OpenGpxFile(track, file, shell);
  if (!overview) return overview;
  if (NamesATrail(options)) {
    const Result<TrailEntry> trail = options.trailPlace
                                         ? FindTrailAt(track.summary, *options.trailPlace, options.file)
                                         : FindTrail(track.summary, *options.trail, options.file);
    if (!trail) {
      ShowFailure(shell, trail.error());
      return std::nullopt;
    }
    return LoadTrail(track, file, *trail, shell);
  }
  if (!eachTrail) return overview;
  // A GPX file of one track has it loaded already.
  if (track.pointCount >= 0) {
    eachTrail(track, 0, overview);
    return overview;
  }
  const std::vector<TrailEntry> trails = track.summary.trails;
  for (std::size_t place = 1; place <= trails.size(); ++place) {
    const TrailEntry& trail = trails[place - 1];
    if (trail.pointCount > 0) {
      eachTrail(track, static_cast<std::int64_t>(place), LoadTrail(track, file, trail, shell));
    }
  }
  return overview;
}

}  // namespace

TrackFileKind InputKind(const InputOptions& options) {
  switch (options.format) {
    case InputFormat::Usr:
      return TrackFileKind::Usr;
    case InputFormat::Nmea:
      return TrackFileKind::NmeaLog;
    case InputFormat::Gpx:
      return TrackFileKind::Gpx;
    case InputFormat::ByExtension:
      break;
  }
  return TrackFileKindOf(options.file);
}

bool NamesATrail(const InputOptions& options) { return options.trail || options.trailPlace; }

std::optional<std::string> LoadInput(const InputOptions& options, TrackData& track, Shell& shell,
                                     const EachTrail& eachTrail) {
  const TrackFileKind kind = InputKind(options);
  const std::unique_ptr<ByteSource> file =
      options.file == kStandardInput ? TrackInputOf(InputOfDescriptor(::dup(STDIN_FILENO), "-"), kind, shell)
                                     : OpenTrackInput(options.file, kind, shell);
  if (!file) return std::nullopt;
  std::optional<std::string> text = LoadFile(options, kind, *file, track, shell, eachTrail);
  if (const std::string skipped = SkippedText(track.summary); text && !skipped.empty()) {
    shell.ShowMessage({skipped});
  }
  return text;
}

std::optional<CalendarDate> DateOfText(const std::string& text) {
  // YYYY-MM-DD
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  std::int32_t parts[3] = {0, 0, 0};
  std::size_t part = 0;
  for (const char c : text) {
    if (c == '-') {
      ++part;
    } else if (std::isdigit(static_cast<unsigned char>(c)) != 0) {
      parts[part] = parts[part] * 10 + (c - '0');
    } else {
      return std::nullopt;
    }
  }
  const CalendarDate date{parts[0], parts[1], parts[2]};
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInMonth(date.year, date.month)) {
    return std::nullopt;
  }
  return date;
}

}  // namespace kestrel::cli
