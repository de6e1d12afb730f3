// The GeoPackage writer leaves a target as it was whenever it fails: a new
// file that cannot be written whole, a file to append to that is no
// GeoPackage, and an append that is cancelled.

#include "writers/geopackage_writer.h"

#include <gtest/gtest.h>

#include "support/failing_disk.h"
#include "support/test_support.h"
#include "support/written_text.h"

namespace kestrel {
namespace {

TrackData LongTrack() {
  std::vector<TrackPoint> points(5000);
  for (std::size_t i = 0; i < points.size(); ++i) {
    points[i] = {35.0 + static_cast<double>(i) * 1e-4, 139.0, 10.0, static_cast<std::int32_t>(i), TimeKind::DateAndTime};
  }
  return test::TrackOf(points);
}

TEST(WriteGeoPackage, AFailedWriteLeavesTheTargetAsItWas) {
  const test::TempDir folder;
  const std::string target = folder.Path("walk.gpkg");
  test::WriteFileBytes(target, "the old file");
  {
    const test::ScopedFileSizeLimit limit(64 * 1024);
    ASSERT_TRUE(limit.Active());
    const Result<void> written = WriteGeoPackage(LongTrack(), target, {});
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().message.text, kWriteFailedMessage);
    EXPECT_EQ(written.error().message.detail.rfind(target + ": ", 0), 0u) << written.error().message.detail;
  }
  EXPECT_EQ(test::ReadFileBytes(target), "the old file");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"walk.gpkg"});
}

TEST(WriteGeoPackage, AppendsOnlyToAGeoPackageAndUndoesACancel) {
  const test::TempDir folder;
  const std::string text = folder.Path("notes.gpkg");
  test::WriteFileBytes(text, "not a database, but long enough to be read as one's header......");
  const Result<void> refused = WriteGeoPackage(test::SegmentedTrack(), text, {1.0, false, false, true});
  ASSERT_FALSE(refused);
  EXPECT_EQ(refused.error().message.text, kCannotOpenOutputMessage);
  EXPECT_EQ(refused.error().message.detail, text + ": file is not a database");
  EXPECT_EQ(test::ReadFileBytes(text), "not a database, but long enough to be read as one's header......");

  const std::string gpkg = folder.Path("walks.gpkg");
  ASSERT_TRUE(WriteGeoPackage(test::SegmentedTrack(), gpkg, {}));
  const std::string before = test::ReadFileBytes(gpkg);
  const Result<void> cancelled =
      WriteGeoPackage(LongTrack(), gpkg, {1.0, false, false, true}, [](std::int64_t, std::int64_t) { return false; });
  ASSERT_FALSE(cancelled);
  EXPECT_TRUE(cancelled.error().cancelled);
  EXPECT_EQ(test::ReadFileBytes(gpkg), before);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"notes.gpkg", "walks.gpkg"}));
}

}  // namespace
}  // namespace kestrel
