#pragma once
// The CSV track file (.csv): a header row, then one row per output point with
// latitude, longitude, altitude and the time of day.

#include "platform/atomic_file.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

Result<void> WriteCsvTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                           const Progress& progress = {});

}  // namespace kestrel
