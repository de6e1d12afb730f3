#pragma once
// GeoPackage 1.3 (.gpkg): an SQLite database with the track in two feature
// tables in WGS 84 (EPSG:4326): tracks (one row per track: name, a
// MultiLineString of its recording segments, start and end time, point count
// and length) and track_points (one row per kept point: the point, its track,
// segment number, altitude and time). This is the one file of the program
// that uses SQLite.
//
// A new file is built beside the target and takes its place only when it is
// complete, as every output does. With the append option an existing
// GeoPackage gets the track in one transaction, which SQLite's journal undoes
// on any failure, so the file stays as it was.

#include <string>

#include "track/track_data.h"
#include "writers/track_writer.h"

namespace kestrel {

// Fails with kCannotOpenOutputMessage when the target cannot be written (or,
// to append to, is no GeoPackage), kWriteFailedMessage when writing fails,
// each with the reason as detail.
Result<void> WriteGeoPackage(const TrackData& track, const std::string& path, const TrackWriterOptions& options,
                             const Progress& progress = {});

}  // namespace kestrel
