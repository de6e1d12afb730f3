#pragma once
// A small track with the cases the writers must get right, and the bytes a
// writer puts into a file.

#include <string>
#include <vector>

#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel::test {

using TrackWriter = Result<void> (*)(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                                     const Progress& progress);

// Seven points: the example point of the formats, a position below 10
// degrees, a time of 0 and one before 1970, UTC midnight, Tokyo midnight and
// a summer time in New York; altitudes 45.3, 45.9, -0.5 and the missing -9999.
TrackData SampleTrack();

// A walk in three recording segments of 3, 1 and 2 points, every point with
// its UTC date and time, one without altitude, south and west of zero, and
// two way points with texts that the markup formats must escape; named
// "朝 & <walk>".
TrackData SegmentedTrack();

// A track of the given points.
TrackData TrackOf(const std::vector<TrackPoint>& points);

// The bytes the writer puts into a file.
std::string WrittenText(TrackWriter writer, const TrackData& track, const TrackWriterOptions& options);

// The lines of a text whose lines all end in CR LF; a failure when a line
// feed comes without its carriage return or the text does not end in one.
std::vector<std::string> CrLfLines(const std::string& text);

}  // namespace kestrel::test
