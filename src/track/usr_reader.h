#pragma once
// The .usr track file, version 2: a header, way points (counted and skipped)
// and named trails, each with its 9-byte point records in blocks of 200.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "track/track_data.h"

namespace kestrel {

// The unsigned little-endian value of n bytes (byte 0 lowest); 0 when n > 4.
std::uint32_t LittleEndianValue(const unsigned char* bytes, std::size_t n);

// Reads the file's directory into the track (and publishes it in the
// summary); the points are neither read nor changed. On failure returns the
// message to show and leaves the previous directory in place.
std::optional<std::string> ReadUsrFile(TrackData& track, const std::string& path);

inline constexpr const char* kUsrCannotOpen = "Usrﾌｧｲﾙが開けません\n";
inline constexpr const char* kUsrWrongVersion =
    "usrﾌｧｲﾙのﾊﾞｰｼﾞｮﾝは2のみ対応です\nﾊﾞｰｼﾞｮﾝ2で書き出して下さい\n";
inline constexpr const char* kUsrNoTrailData = "ﾄﾚｲﾙﾃﾞｰﾀが存在しません\n";

}  // namespace kestrel
