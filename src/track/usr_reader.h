#pragma once
// The .usr track file, version 2: a header, way points (counted and skipped)
// and named trails, each with its 9-byte point records in blocks of 200. All
// decoding of the format is here: the directory when a file is opened, the
// point records when a trail is loaded.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "platform/byte_source.h"
#include "platform/result.h"
#include "platform/shell.h"
#include "track/track_data.h"

namespace kestrel {

// The unsigned little-endian value of n bytes (byte 0 lowest); 0 when n > 4.
std::uint32_t LittleEndianValue(const unsigned char* bytes, std::size_t n);

// Reads the file's directory into the track (and publishes it in the
// summary); the points are neither read nor changed. A failure leaves the
// previous directory in place; its detail says where the file is damaged, or
// gives the system's reason of a failed read.
Result<void> ReadUsrFile(TrackData& track, ByteSource& source);

// Reads the point records of a trail, the first at dataOffset, into the
// latitude and longitude of the points, one record per point. A record whose
// grid position lies outside the tables (also one that the end of the file
// cuts) stops the reading with "Data Error!", which the result holds with the
// record's number; the points from there on keep their values. A failed read
// or a cancel of the progress fails.
Result<std::optional<Message>> ReadUsrTrailPoints(ByteSource& source, std::int32_t dataOffset,
                                                  std::span<TrackPoint> points, const Progress& progress = {});

inline constexpr const char* kUsrCannotOpen = "Usrﾌｧｲﾙが開けません\n";
inline constexpr const char* kUsrWrongVersion =
    "usrﾌｧｲﾙのﾊﾞｰｼﾞｮﾝは2のみ対応です\nﾊﾞｰｼﾞｮﾝ2で書き出して下さい\n";
inline constexpr const char* kUsrNoTrailData = "ﾄﾚｲﾙﾃﾞｰﾀが存在しません\n";
inline constexpr const char* kDataErrorMessage = "Data Error!";

}  // namespace kestrel
