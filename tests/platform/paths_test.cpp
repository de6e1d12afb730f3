#include "platform/paths.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace kestrel {
namespace {

TEST(SplitPathOf, SplitsDriveDirectoryBaseAndExtension) {
  struct Case {
    const char* path;
    SplitPath split;
  };
  const Case cases[] = {
      {"D:\\gps\\day1.usr", {"D:", "\\gps\\", "day1", ".usr"}},
      {"D:\\logs\\run.2009.usr", {"D:", "\\logs\\", "run.2009", ".usr"}},
      {"/home/u/tracks/walk.log", {"", "/home/u/tracks/", "walk", ".log"}},
      {"mixed/dir\\name", {"", "mixed/dir\\", "name", ""}},
      {"map.htm", {"", "", "map", ".htm"}},
      {"/dir.with.dots/noext", {"", "/dir.with.dots/", "noext", ""}},
      {"/tmp/.hidden", {"", "/tmp/", "", ".hidden"}},
      {"", {"", "", "", ""}},
  };
  for (const Case& c : cases) {
    const SplitPath split = SplitPathOf(c.path);
    EXPECT_EQ(split.drive, c.split.drive) << c.path;
    EXPECT_EQ(split.directory, c.split.directory) << c.path;
    EXPECT_EQ(split.baseName, c.split.baseName) << c.path;
    EXPECT_EQ(split.extension, c.split.extension) << c.path;
  }
}

TEST(SplitSystemPathOf, SeparatesFoldersAtSlashesOnly) {
  const SplitPath split = SplitSystemPathOf("C:out/run\\2.day\\walk.html");
  EXPECT_EQ(split.drive, "");
  EXPECT_EQ(split.directory, "C:out/");
  EXPECT_EQ(split.baseName, "run\\2.day\\walk");
  EXPECT_EQ(split.extension, ".html");
}

TEST(FileNameOf, TakesThePartAfterTheLastSeparator) {
  EXPECT_EQ(FileNameOf("/a/b/c.log"), "c.log");
  EXPECT_EQ(FileNameOf("C:\\a\\b.usr"), "b.usr");
  EXPECT_EQ(FileNameOf("a\\b/c"), "c");
  EXPECT_EQ(FileNameOf("plain"), "plain");
}

TEST(PathExists, SeesFilesAndFolders) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("f"), "x");
  EXPECT_TRUE(PathExists(dir.Path("f")));
  EXPECT_TRUE(PathExists(dir.Path()));
  EXPECT_FALSE(PathExists(dir.Path("missing")));
}

}  // namespace
}  // namespace kestrel
