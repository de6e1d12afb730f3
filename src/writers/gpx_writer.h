#pragma once
// GPX 1.1 (.gpx): the way points, then the track with one trkseg per
// recording segment; altitudes and UTC times where known.

#include "platform/atomic_file.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

// The UTC flag of the options is ignored: GPX times are UTC.
Result<void> WriteGpxTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                           const Progress& progress = {});

}  // namespace kestrel
