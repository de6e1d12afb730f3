#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/paths.h"
#include "support/failing_disk.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

using Names = std::vector<std::string>;

TEST(TextOutput, WritesLineFeedsAsCrLfAndPutsTheFileInPlace) {
  test::TempDir dir;
  TextOutput output;
  ASSERT_TRUE(output.Create(dir.Path("out.csv")));
  output.Write("a\nb");
  output.Write("\n\n");
  output.Write(std::string(3 << 20, 'x'));  // beyond one buffer
  EXPECT_FALSE(PathExists(dir.Path("out.csv")));  // not in place before the commit
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(test::ReadFileBytes(dir.Path("out.csv")), "a\r\nb\r\n\r\n" + std::string(3 << 20, 'x'));
  EXPECT_EQ(dir.Names(), Names{"out.csv"});
}

TEST(AtomicFile, TargetsThatCannotBeCreated) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.Path("folder"));
  test::WriteFileBytes(dir.Path("file"), "x");
  for (const std::string& target : {dir.Path("missing/out.csv"), dir.Path("folder"), dir.Path("file/out.csv")}) {
    AtomicFile file;
    EXPECT_FALSE(file.Create(target)) << target;
  }
  EXPECT_EQ(dir.Names(), (Names{"file", "folder"}));
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("out.log"), "the user's only copy");
  {
    const test::ScopedFileSizeLimit limit(4096);
    EXPECT_EQ(WriteTextFile(dir.Path("out.log"), std::string(100000, 'y')), WriteResult::WriteFailed);
  }
  EXPECT_EQ(test::ReadFileBytes(dir.Path("out.log")), "the user's only copy");
  EXPECT_EQ(dir.Names(), Names{"out.log"});
}

TEST(AtomicFile, UncommittedFileIsRemoved) {
  test::TempDir dir;
  {
    AtomicFile file;
    ASSERT_TRUE(file.Create(dir.Path("out.trk")));
    file.Write("half");
  }
  EXPECT_TRUE(dir.Names().empty());
}

TEST(AtomicFile, ReplacedFileKeepsItsPermissionsAndLinks) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("real.csv"), "old");
  chmod(dir.Path("real.csv").c_str(), 0640);
  std::filesystem::create_symlink(dir.Path("real.csv"), dir.Path("link.csv"));
  EXPECT_EQ(WriteTextFile(dir.Path("link.csv"), "new\n"), WriteResult::Written);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.csv")));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("real.csv")), "new\r\n");
  struct stat status {};
  ASSERT_EQ(stat(dir.Path("real.csv").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
}

}  // namespace
}  // namespace kestrel
