#pragma once
// The .usr track file, versions 2 to 4 (5 and 6 where their layout is
// known): a header, way points, routes, event-marker icons and named trails
// with their point records. All decoding of the format is in the reader:
// the directory when a file is opened, the point records when a trail is
// loaded. usr_layout.h holds the layouts.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

// The unsigned little-endian value of n bytes (byte 0 lowest); 0 when n > 4.
std::uint32_t LittleEndianValue(const unsigned char* bytes, std::size_t n);

// Reads the file's directory into the track (published in the summary) and
// its way points; the points are neither read nor changed. Versions 2 and 3
// are read in the layout devices and other programs write; a file in the
// layout the first release read (its way points followed by 28 bytes) that
// this does not read to its end is read as the first release read it. A
// failure leaves the previous directory and way points in place; its detail
// says where the file is damaged, or gives the system's reason of a failed
// read.
Result<void> ReadUsrFile(TrackData& track, ByteSource& source);

// Appends the points of a trail as the directory lists it. A record that is
// no position, or that the end of the file cuts, stops the reading with
// "Data Error!", which the result holds with the record's number; the points
// before it are kept. A failed read or a cancel of the progress fails.
Result<std::optional<Message>> ReadUsrTrailPoints(ByteSource& source, const TrailEntry& trail,
                                                  std::vector<TrackPoint>& points, const Progress& progress = {});

// The message of a version that is not read, naming it and the versions read.
std::string UsrVersionMessage(std::uint32_t version);

inline constexpr const char* kUsrCannotOpen = "Usrﾌｧｲﾙが開けません\n";
inline constexpr const char* kUsrNoTrailData = "ﾄﾚｲﾙﾃﾞｰﾀが存在しません\n";
inline constexpr const char* kDataErrorMessage = "Data Error!";

}  // namespace kestrel
