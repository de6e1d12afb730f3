#include "track/grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace kestrel {
namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// origin + i/360 rounded to the given decimal places, by another route than
// the generator's: the decimal text is built from integers, then read.
double RoundedDegrees(int origin, int i, int places) {
  long long scale = 1;
  for (int p = 0; p < places; ++p) scale *= 10;
  const long long units = (2LL * i * scale + 360) / 720;  // nearest unit of the last place
  std::string fraction = std::to_string(units % scale);
  fraction.insert(0, static_cast<std::size_t>(places) - fraction.size(), '0');
  const std::string text = std::to_string(origin + units / scale) + "." + fraction;
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

// The grid formulas evaluated in extended precision.
std::int32_t ExpectedLonGrid(double degrees) {
  return static_cast<std::int32_t>(std::llround(6356752.12483L * degrees * kPi / 180));
}

std::int32_t ExpectedLatGrid(double degrees) {
  const long double phi = degrees * kPi / 180;
  return static_cast<std::int32_t>(std::llround(6356752.09L * std::log(std::tan(kPi / 4 + phi / 2))));
}

TEST(GridTables, EveryRowFollowsTheFormulas) {
  const GridTables& t = Grid();
  for (int i = 0; i < kGridTableSize; ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    ASSERT_EQ(t.lonDegrees[i], RoundedDegrees(130, i, 7));
    ASSERT_EQ(t.latDegrees[i], RoundedDegrees(30, i, 8));
    ASSERT_EQ(t.lonGrid[i], ExpectedLonGrid(t.lonDegrees[i]));
    ASSERT_EQ(t.latGrid[i], ExpectedLatGrid(t.latDegrees[i]));
  }
}

TEST(GridTables, KnownRows) {
  struct Row {
    int i;
    std::int32_t lonGrid, latGrid;
    double lonDegrees, latDegrees;
  };
  const Row rows[] = {
      {0, 14423013, 3491803, 130.0, 30.0},
      {1, 14423321, 3492159, 130.0027778, 30.00277778},
      {2, 14423629, 3492515, 130.0055556, 30.00555556},
      {3, 14423938, 3492871, 130.0083333, 30.00833333},
      {2880, 15310583, 4564072, 138.0, 38.0},
      {5757, 16197229, 5759638, 145.9916667, 45.99166667},
      {5758, 16197537, 5760081, 145.9944444, 45.99444444},
      {5759, 16197845, 5760525, 145.9972222, 45.99722222},
  };
  const GridTables& t = Grid();
  for (const Row& row : rows) {
    SCOPED_TRACE("row " + std::to_string(row.i));
    EXPECT_EQ(t.lonGrid[row.i], row.lonGrid);
    EXPECT_EQ(t.latGrid[row.i], row.latGrid);
    EXPECT_EQ(t.lonDegrees[row.i], row.lonDegrees);
    EXPECT_EQ(t.latDegrees[row.i], row.latDegrees);
  }
}

TEST(GridTables, GridStepsIncreaseWithinTheirRange) {
  const GridTables& t = Grid();
  std::int32_t lonMin = std::numeric_limits<std::int32_t>::max(), lonMax = 0;
  std::int32_t latMin = lonMin, latMax = 0;
  for (int i = 1; i < kGridTableSize; ++i) {
    const std::int32_t lonStep = t.lonGrid[i] - t.lonGrid[i - 1];
    const std::int32_t latStep = t.latGrid[i] - t.latGrid[i - 1];
    lonMin = std::min(lonMin, lonStep);
    lonMax = std::max(lonMax, lonStep);
    latMin = std::min(latMin, latStep);
    latMax = std::max(latMax, latStep);
  }
  EXPECT_EQ(lonMin, 308);
  EXPECT_EQ(lonMax, 309);
  EXPECT_EQ(latMin, 355);
  EXPECT_EQ(latMax, 444);
}

TEST(GridToDegrees, RangeBounds) {
  constexpr double kUntouched = -123.5;
  struct Case {
    std::int32_t gridLatitude, gridLongitude;
    bool inRange;
    double latitude, longitude;
  };
  const Case cases[] = {
      {3491803, 14423013, true, 30.0, 130.0},
      {5760525, 16197845, true, 45.99722222, 145.9972222},
      {3491803, 16197845, true, 30.0, 145.9972222},
      {3491802, 14423013, false, kUntouched, kUntouched},
      {5760526, 14423013, false, kUntouched, kUntouched},
      {3491803, 14423012, false, kUntouched, kUntouched},
      {3491803, 16197846, false, kUntouched, kUntouched},
      {-1, -1, false, kUntouched, kUntouched},  // what a file that ends early gives
      {-1, 14423013, false, kUntouched, kUntouched},
      {3491803, -1, false, kUntouched, kUntouched},
      {14423013, 3491803, false, kUntouched, kUntouched},  // axes swapped
      {std::numeric_limits<std::int32_t>::max(), 14423013, false, kUntouched, kUntouched},
      {3491803, std::numeric_limits<std::int32_t>::min(), false, kUntouched, kUntouched},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.gridLatitude) + ", " + std::to_string(c.gridLongitude));
    double latitude = kUntouched, longitude = kUntouched;
    EXPECT_EQ(GridToDegrees(c.gridLatitude, c.gridLongitude, latitude, longitude), c.inRange);
    EXPECT_EQ(latitude, c.latitude);
    EXPECT_EQ(longitude, c.longitude);
  }
}

TEST(GridToDegrees, TableEntriesGiveTheirDegreesExactly) {
  const GridTables& t = Grid();
  for (int i = 0; i < kGridTableSize; ++i) {
    const int j = kGridTableSize - 1 - i;  // a different row per axis, so swapped axes show
    double latitude = 0, longitude = 0;
    ASSERT_TRUE(GridToDegrees(t.latGrid[i], t.lonGrid[j], latitude, longitude));
    ASSERT_EQ(latitude, t.latDegrees[i]) << "row " << i;
    ASSERT_EQ(longitude, t.lonDegrees[j]) << "row " << j;
  }
}

TEST(GridToDegrees, HalfwayGivesTheMean) {
  // 3492159 - 3491803 = 356 and 14423321 - 14423013 = 308 are even.
  double latitude = 0, longitude = 0;
  ASSERT_TRUE(GridToDegrees(3491803 + 178, 14423013 + 154, latitude, longitude));
  EXPECT_DOUBLE_EQ(latitude, (30.0 + 30.00277778) / 2);
  EXPECT_DOUBLE_EQ(longitude, (130.0 + 130.0027778) / 2);
}

TEST(GridToDegrees, DividesBeforeMultiplying) {
  // Values where multiplying first would change the last bit.
  struct Case {
    std::int32_t gridLatitude;
    double latitude;
  };
  const Case cases[] = {
      {3616365, 0x1.ef7af17675951p+4},
      {3627872, 0x1.f0e708382e06bp+4},
      {3634469, 0x1.f1b79feba1ca5p+4},
  };
  for (const Case& c : cases) {
    double latitude = 0, longitude = 0;
    ASSERT_TRUE(GridToDegrees(c.gridLatitude, 14423013, latitude, longitude));
    EXPECT_EQ(latitude, c.latitude) << c.gridLatitude;
  }
}

// Values at and around every table entry, where a search that picks the
// wrong entry would show, against the interpolation between entries i and i+1.
template <typename Convert>
void ExpectInterpolatedAroundEveryEntry(const std::array<std::int32_t, kGridTableSize>& grid,
                                        const std::array<double, kGridTableSize>& degrees, Convert convert) {
  for (int i = 0; i + 1 < kGridTableSize; ++i) {
    for (const std::int32_t v : {grid[i], grid[i] + 1, (grid[i] + grid[i + 1]) / 2, grid[i + 1] - 1}) {
      const double expected = degrees[i] + static_cast<double>(v - grid[i]) /
                                               static_cast<double>(grid[i + 1] - grid[i]) *
                                               (degrees[i + 1] - degrees[i]);
      double result = 0;
      if (!convert(v, result) || result != expected) {
        ADD_FAILURE() << "grid value " << v << " gives " << result << ", not " << expected;
        return;
      }
    }
  }
}

TEST(GridToDegrees, InterpolatesBetweenTheEntriesAroundTheValue) {
  const GridTables& t = Grid();
  double other = 0;
  ExpectInterpolatedAroundEveryEntry(t.latGrid, t.latDegrees, [&](std::int32_t v, double& latitude) {
    return GridToDegrees(v, t.lonGrid[0], latitude, other);
  });
  ExpectInterpolatedAroundEveryEntry(t.lonGrid, t.lonDegrees, [&](std::int32_t v, double& longitude) {
    return GridToDegrees(t.latGrid[0], v, other, longitude);
  });
}

}  // namespace
}  // namespace kestrel
