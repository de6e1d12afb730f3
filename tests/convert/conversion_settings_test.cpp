// The conversion settings read from a profile by the page's rules.

#include "convert/conversion_settings.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace kestrel {
namespace {

TEST(ReadConversionSettings, ReadsTheStoredValuesByThePagesRules) {
  const struct {
    std::string profile;
    OutputType type;
    bool sameName, smoothing, useUtc;
  } cases[] = {
      {"", OutputType::Csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=2\n", OutputType::Trk, false, false, false},
      {"[DConv_Section]\ndconbfiletype=1\n", OutputType::Nmea, false, false, false},
      {"[DConv_Section]\ndconbfiletype=0\n", OutputType::Usr, false, false, false},
      {"[DConv_Section]\ndconbfiletype=3\n", OutputType::Csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=4\n", OutputType::Gpx, false, false, false},
      {"[DConv_Section]\ndconbfiletype=7\n", OutputType::GeoPackage, false, false, false},
      {"[DConv_Section]\ndconbfiletype=8\n", OutputType::Csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=-1\n", OutputType::Csv, false, false, false},
      // Not entirely a sign and digits: missing, which selects CSV.
      {"[DConv_Section]\ndconbfiletype=2x\n", OutputType::Csv, false, false, false},
      {"[DConv_Section]\ndconbfiletype=+2\n", OutputType::Trk, false, false, false},
      {"[DConv_Section]\ndconvsamename=ON\ndconbsmoothing=ON\ndconvuseutc=ON\n", OutputType::Csv, true, true, true},
      {"[DConv_Section]\ndconvsamename=ON\n", OutputType::Csv, true, false, false},
      {"[DConv_Section]\ndconbsmoothing=ON\n", OutputType::Csv, false, true, false},
      {"[DConv_Section]\ndconvuseutc=ON\n", OutputType::Csv, false, false, true},
      // Only the exact text "ON" is on.
      {"[DConv_Section]\ndconvsamename=on\ndconbsmoothing=1\ndconvuseutc=OFF\n", OutputType::Csv, false, false, false},
      // Another section's keys do not count.
      {"[GMap_Section]\ndconbfiletype=2\ndconvuseutc=ON\n", OutputType::Csv, false, false, false},
  };
  for (const auto& c : cases) {
    const test::TempDir folder;
    test::WriteFileBytes(folder.Path("krm.ini"), c.profile);
    const ConversionSettings settings = ReadConversionSettings(Profile(folder.Path("krm.ini")));
    EXPECT_EQ(settings.type, c.type) << c.profile;
    EXPECT_EQ(settings.sameName, c.sameName) << c.profile;
    EXPECT_EQ(settings.smoothing, c.smoothing) << c.profile;
    EXPECT_EQ(settings.useUtc, c.useUtc) << c.profile;
  }
}

}  // namespace
}  // namespace kestrel
