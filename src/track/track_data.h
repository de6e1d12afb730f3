#pragma once
// The in-memory track: the loaded fixes, and in its summary the directory of
// the last .usr file read and the statistics and names the information box
// and the map site show.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "geo/track_point.h"
#include "platform/byte_source.h"
#include "track/track_file_kind.h"

namespace kestrel {

// How the point records of a .usr trail are laid out: as the first release
// read version 2 (blocks of 200 records, the continuity byte not read); in
// sections by their counts (versions 2 and 3 as devices and other programs
// write them); or as version 4 and later store them.
enum class UsrLayout : std::uint8_t { FirstRelease, Sections, Version4 };

// One trail of a .usr file directory, or one track or route of a GPX file.
struct TrailEntry {
  // .usr: the file position of the trail's first point record; GPX: the
  // track's place among the file's tracks and routes, from 0.
  std::int64_t dataOffset = 0;
  std::int32_t pointCount = 0;  // as the file claims it
  std::string name;             // UTF-8
  UsrLayout layout = UsrLayout::FirstRelease;
  TrackFileKind file = TrackFileKind::Usr;  // Usr or Gpx
  // GPX: the points of the track, and the way points of the file, left out
  // for an unusable value.
  std::int64_t skippedPoints = 0;
};

struct TrackSummary {
  std::int32_t endTime = 0;
  std::int32_t startTime = 0;
  std::int32_t usrVersion = 0;
  std::int32_t trailCount = 0;
  std::vector<TrailEntry> trails;  // the directory of the last .usr or GPX file read
  std::int32_t wayPointCount = 0;
  double minLongitude = 0.0, maxLongitude = 0.0, meanLongitude = 0.0;
  double minLatitude = 0.0, maxLatitude = 0.0, meanLatitude = 0.0;
  double maxAltitude = 0.0, minAltitude = 0.0, meanAltitude = 0.0;
  double distance = 0.0;  // metres
  std::int32_t pointCount = 0;
  std::string trailName = "-";  // UTF-8
  std::string fileName = "-";   // UTF-8, without directory
  // What the points' times tell (that of the first point; None without points).
  TimeKind timeKind = TimeKind::None;
  // The load read part of the file only: lines of a log skipped as damaged,
  // points of a GPX file left out, or a trail cut short by a record that is
  // no position.
  std::int64_t skippedLines = 0;
  std::int64_t skippedPoints = 0;
  bool cutShort = false;

  void SetFileName(std::string name) { fileName = std::move(name); }
  void SetTrailName(std::string name) { trailName = std::move(name); }
  void SetUsrInfo(std::int32_t version, std::int32_t wayPoints, std::int32_t trailTotal,
                  std::vector<TrailEntry> directory);
};

class TrackData {
 public:
  std::vector<TrackPoint> points;
  std::int32_t pointCount = -1;  // -1 while no points are held
  TrackSummary summary;
  // The way points of the file read last (UTF-8 names); they go with the
  // track into the output formats that hold way points.
  std::vector<WayPoint> wayPoints;
  // The track's name in UTF-8: the loaded trail's, or the base name of the
  // log; the output formats that name a track write it.
  std::string name;
  // The file the points were read from (nothing for a track made in
  // memory): no output may be that file, whatever name reaches it now.
  std::optional<FileIdentity> loadedFrom;

  // A fresh array of n initial points (n = 0 gives an empty array, which
  // counts as success); false, with no points held, when the memory cannot
  // be had (kNoMemoryMessage).
  [[nodiscard]] bool AllocatePoints(std::int32_t n);
  void ReleasePoints();
  // The points a load has read replace those held.
  void SetPoints(std::vector<TrackPoint> loaded);
  // The last step of every load: statistics and times over all pointCount points.
  void ComputeStatistics();
};

// Statistics over the first n points; their results for missing data are the
// values -1 and -9999 that the summary shows as numbers. The maxima of
// latitude and longitude are signed like the points (south and west
// negative); that of the altitude is -9999 unless it is above 0.
double MinLatitude(std::int32_t n, const TrackPoint* points);
double MaxLatitude(std::int32_t n, const TrackPoint* points);
double MeanLatitude(std::int32_t n, const TrackPoint* points);
double MinLongitude(std::int32_t n, const TrackPoint* points);
double MaxLongitude(std::int32_t n, const TrackPoint* points);
double MeanLongitude(std::int32_t n, const TrackPoint* points);
double MinAltitude(std::int32_t n, const TrackPoint* points);
double MaxAltitude(std::int32_t n, const TrackPoint* points);
double MeanAltitude(std::int32_t n, const TrackPoint* points);
double TrackDistance(std::int32_t n, const TrackPoint* points);
// Flat-earth length of one segment in metres.
double SegmentLength(const TrackPoint& a, const TrackPoint& b);

// The message when the memory for the points, or for a working copy of
// them, cannot be had.
inline constexpr const char* kNoMemoryMessage = "Error:ﾒﾓﾘが確保出来ませんでした\n";

}  // namespace kestrel
