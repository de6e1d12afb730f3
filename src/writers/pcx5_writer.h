#pragma once
// The PCX5 track text file (.trk): a fixed header block, then one T line per
// output point with latitude, longitude, date, time and altitude.

#include "platform/atomic_file.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

Result<void> WritePcx5Track(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                            const Progress& progress = {});

}  // namespace kestrel
