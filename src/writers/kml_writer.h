#pragma once
// KML 2.2 (.kml): a Document with a Placemark per way point and one for the
// track: a gx:Track of times and positions when every kept point has its
// date and time, a LineString otherwise; several recording segments make a
// gx:MultiTrack or a MultiGeometry of them.

#include "platform/atomic_file.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

// The UTC flag of the options is ignored: KML times are UTC.
Result<void> WriteKmlTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                           const Progress& progress = {});

}  // namespace kestrel
