#pragma once
// The summary of a loaded track as a record of named fields, for programs
// rather than people: numbers as numbers, times in ISO 8601 UTC, nothing
// localised, null where a value does not exist. Printed as one JSON object
// a line (JSON Lines) or as a row of a CSV table.

#include <string>

#include <nlohmann/json.hpp>

#include "track/track_data.h"

namespace kestrel::cli {

using TrackRecord = nlohmann::ordered_json;

// file: the input as named; kind: how it was read ("usr", "nmea").
TrackRecord TrackRecordOf(const std::string& file, const std::string& kind, const TrackData& track);

// The record as one line of JSON, ending in LF.
std::string JsonLineOf(const TrackRecord& record);

// The header of the CSV table and a record's row in it, ending in CR LF:
// strings quoted where they need it, numbers as in JSON, null empty.
std::string CsvHeader();
std::string CsvRowOf(const TrackRecord& record);

}  // namespace kestrel::cli
