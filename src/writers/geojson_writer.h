#pragma once
// GeoJSON (RFC 7946, .geojson): a FeatureCollection of the track, a Feature
// with a LineString (a MultiLineString of its recording segments when there
// are several) and its times in properties.coordTimes, then a Point Feature
// per way point. Positions are longitude, latitude and, where known, altitude.

#include "platform/atomic_file.h"
#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

// The UTC flag of the options is ignored: the times are UTC.
Result<void> WriteGeoJsonTrack(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                               const Progress& progress = {});

}  // namespace kestrel
