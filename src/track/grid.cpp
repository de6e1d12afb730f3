#include "track/grid.h"

#include <algorithm>
#include <cstddef>

namespace kestrel {
namespace {

#include "grid_tables.inc"

// Degrees of grid value v by linear interpolation between the two entries
// around it; v lies within the table. The arithmetic runs in this order —
// division, multiplication, addition — because the written coordinates
// depend on every last bit.
double Interpolate(std::int32_t v, const std::array<std::int32_t, kGridTableSize>& grid,
                   const std::array<double, kGridTableSize>& degrees) {
  if (v == grid.back()) return degrees.back();
  // The entry i with grid[i] <= v < grid[i + 1]: just before the first entry above v.
  const auto above = std::upper_bound(grid.begin(), grid.end(), v);
  const std::size_t i = static_cast<std::size_t>(above - grid.begin()) - 1;
  const double fraction = static_cast<double>(v - grid[i]) / static_cast<double>(grid[i + 1] - grid[i]);
  return degrees[i] + fraction * (degrees[i + 1] - degrees[i]);
}

}  // namespace

const GridTables& Grid() { return kGridTables; }

bool GridToDegrees(std::int32_t gridLatitude, std::int32_t gridLongitude, double& latitude,
                   double& longitude) {
  const GridTables& t = kGridTables;
  if (gridLatitude < t.latGrid.front() || gridLatitude > t.latGrid.back() ||
      gridLongitude < t.lonGrid.front() || gridLongitude > t.lonGrid.back()) {
    return false;
  }
  latitude = Interpolate(gridLatitude, t.latGrid, t.latDegrees);
  longitude = Interpolate(gridLongitude, t.lonGrid, t.lonDegrees);
  return true;
}

}  // namespace kestrel
