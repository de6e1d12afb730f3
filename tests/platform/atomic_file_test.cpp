#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <utility>

#include "platform/paths.h"
#include "support/failing_disk.h"
#include "support/test_support.h"

namespace kestrel {
namespace {

using Names = std::vector<std::string>;

// Writes a whole text file as the output commands do.
Result<void> WriteText(const std::string& path, std::string_view text) {
  TextOutput output;
  if (Result<void> created = output.Create(path); !created) return created;
  output.Write(text);
  return output.Commit();
}

mode_t ModeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_mode & 07777;
}

TEST(TextOutput, WritesLineFeedsAsCrLfAndPutsTheFileInPlace) {
  test::TempDir dir;
  TextOutput output;
  ASSERT_TRUE(output.Create(dir.Path("out.csv")));
  output.Write("a\nb");
  output.Write("\n\n");
  output.Write(std::string(3 << 20, 'x'));  // beyond one buffer
  // Not in place before the commit, but a buffer beyond its size has gone
  // to the temporary file already: the text is not held whole.
  const Names names = dir.Names();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(names[0].starts_with(".out.csv.")) << names[0];
  EXPECT_GE(std::filesystem::file_size(dir.Path(names[0])), std::uintmax_t{1} << 20);
  ASSERT_TRUE(output.Commit());
  EXPECT_EQ(test::ReadFileBytes(dir.Path("out.csv")), "a\r\nb\r\n\r\n" + std::string(3 << 20, 'x'));
  EXPECT_EQ(dir.Names(), Names{"out.csv"});
}

TEST(AtomicFile, TargetsThatCannotBeCreatedSayWhy) {
  test::TempDir dir;
  std::filesystem::create_directory(dir.Path("folder"));
  test::WriteFileBytes(dir.Path("file"), "x");
  test::WriteFileBytes(dir.Path("read-only"), "kept");
  chmod(dir.Path("read-only").c_str(), 0444);
  const std::pair<std::string, const char*> cases[] = {
      {dir.Path("missing/out.csv"), "No such file or directory"},
      {dir.Path("folder"), "Is a directory"},
      {dir.Path("file/out.csv"), "Not a directory"},
      // Refused by its mode, also for root, whom the system lets write it.
      {dir.Path("read-only"), "Permission denied"},
  };
  for (const auto& [target, reason] : cases) {
    AtomicFile file;
    const Result<void> created = file.Create(target);
    ASSERT_FALSE(created) << target;
    EXPECT_EQ(created.error().message.text, kCannotOpenOutputMessage);
    EXPECT_EQ(created.error().message.detail, target + ": " + reason);
  }
  EXPECT_EQ(dir.Names(), (Names{"file", "folder", "read-only"}));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("read-only")), "kept");
}

TEST(AtomicFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("out.log"), "the user's only copy");
  {
    const test::ScopedFileSizeLimit limit(4096);
    const Result<void> written = WriteText(dir.Path("out.log"), std::string(100000, 'y'));
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().message.text, kWriteFailedMessage);
    EXPECT_EQ(written.error().message.detail, dir.Path("out.log") + ": File too large");
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

TEST(AtomicFile, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode) {
  test::TempDir dir;
  for (const mode_t mask : {mode_t{022}, mode_t{077}, mode_t{002}}) {
    const mode_t previous = umask(mask);
    const std::string path = dir.Path("new-" + std::to_string(mask));
    EXPECT_TRUE(WriteText(path, "new\n"));
    umask(previous);
    EXPECT_EQ(ModeOf(path), 0666 & ~mask) << "umask " << mask;
  }
  // A replaced file keeps its mode, also written through a symbolic link.
  test::WriteFileBytes(dir.Path("real.csv"), "old");
  chmod(dir.Path("real.csv").c_str(), 0640);
  std::filesystem::create_symlink(dir.Path("real.csv"), dir.Path("link.csv"));
  EXPECT_TRUE(WriteText(dir.Path("link.csv"), "new\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("link.csv")));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("real.csv")), "new\r\n");
  EXPECT_EQ(ModeOf(dir.Path("real.csv")), 0640u);
}

}  // namespace
}  // namespace kestrel
