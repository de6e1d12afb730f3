#pragma once
// Grid coordinates of .usr files: metres along a Mercator projection, turned
// into degrees by table search and linear interpolation. The tables cover
// 30 to 45.99722222 degrees north and 130 to 145.9972222 degrees east in
// steps of 10 arc seconds.

#include <array>
#include <cstdint>

namespace kestrel {

inline constexpr int kGridTableSize = 5760;

struct GridTables {
  std::array<std::int32_t, kGridTableSize> lonGrid;
  std::array<std::int32_t, kGridTableSize> latGrid;
  std::array<double, kGridTableSize> lonDegrees;
  std::array<double, kGridTableSize> latDegrees;
};

// The tables, compiled into the program.
const GridTables& Grid();

// Degrees of a grid position; false, with the outputs untouched, when either
// value lies outside its table.
bool GridToDegrees(std::int32_t gridLatitude, std::int32_t gridLongitude, double& latitude,
                   double& longitude);

}  // namespace kestrel
