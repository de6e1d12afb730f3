#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/paths.h"
#include "support/failing_disk.h"
#include "support/test_support.h"
#include "support/test_user.h"

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

// The size of the file this process has open in the folder without a name
// there (an unnamed temporary file), or -1.
std::int64_t UnnamedFileSize(const std::string& folder) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(entry.path(), error).string();
    if (!error && target.starts_with(folder + "/") && target.ends_with(" (deleted)")) {
      struct stat status {};
      if (stat(entry.path().c_str(), &status) == 0) return status.st_size;
    }
  }
  return -1;
}

TEST(TextOutput, WritesLineFeedsAsCrLfAndPutsTheFileInPlace) {
  test::TempDir dir;
  TextOutput output;
  ASSERT_TRUE(output.Create(dir.Path("out.csv")));
  output.Write("a\nb");
  output.Write("\n\n");
  output.Write(std::string(3 << 20, 'x'));  // beyond one buffer
  // Before the commit the file has no name, so a killed run leaves nothing;
  // but a buffer beyond its size has gone to it already: the text is not
  // held whole.
  EXPECT_TRUE(dir.Names().empty());
  EXPECT_GE(UnnamedFileSize(dir.Path()), std::int64_t{1} << 20);
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
      {dir.Path(std::string(256, 'n')), "File name too long"},
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


std::uint64_t InodeOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
  return status.st_ino;
}

// A name that was free when the file was begun is taken only while it is
// still free; after the question, the file replaces what is there.
TEST(AtomicFile, ANewFileTakesItsNameOnlyWhileItIsFree) {
  test::TempDir dir;
  const std::string target = dir.Path(std::string(255, 'n'));  // the longest name there is
  AtomicFile file;
  ASSERT_TRUE(file.Create(target));
  file.Write("mine");
  test::WriteFileBytes(target, "made meanwhile");
  const Result<void> first = file.Commit();
  ASSERT_FALSE(first);
  EXPECT_TRUE(file.NameTaken());
  EXPECT_EQ(first.error().message.detail, target + ": File exists");
  EXPECT_EQ(test::ReadFileBytes(target), "made meanwhile");
  ASSERT_TRUE(file.Commit(AtomicFile::Overwrite::AnyFile));
  EXPECT_EQ(test::ReadFileBytes(target), "mine");
  EXPECT_EQ(dir.Names(), Names{std::string(255, 'n')});
}

// A pipe, a socket, a device and the standard output are written as
// streams, where they are, and stay what they are.
TEST(AtomicFile, StreamsAreWrittenWhereTheyAre) {
  test::TempDir dir;
  ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
  std::string piped;
  std::thread pipeReader([&] { piped = test::ReadFileBytes(dir.Path("pipe")); });
  EXPECT_TRUE(WriteText(dir.Path("pipe"), "piped\n"));
  pipeReader.join();
  EXPECT_EQ(piped, "piped\r\n");

  const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  dir.Path("socket").copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  std::string received;
  std::thread socketReader([&] {
    const int connection = accept(listener, nullptr, nullptr);
    char buffer[256];
    for (ssize_t n; (n = read(connection, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
    close(connection);
  });
  EXPECT_TRUE(WriteText(dir.Path("socket"), "sent\n"));
  socketReader.join();
  close(listener);
  EXPECT_EQ(received, "sent\r\n");

  EXPECT_TRUE(WriteText("/dev/null", "nothing\n"));
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));

  std::fflush(stdout);
  const int savedOutput = dup(STDOUT_FILENO);
  const int captured = open(dir.Path("captured").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  dup2(captured, STDOUT_FILENO);
  const Result<void> printed = WriteText(kStandardOutputPath, "printed\n");
  dup2(savedOutput, STDOUT_FILENO);
  close(savedOutput);
  close(captured);
  EXPECT_TRUE(printed);
  EXPECT_EQ(test::ReadFileBytes(dir.Path("captured")), "printed\r\n");

  EXPECT_TRUE(std::filesystem::is_fifo(dir.Path("pipe")));
  EXPECT_TRUE(std::filesystem::is_socket(dir.Path("socket")));
  EXPECT_EQ(dir.Names(), (Names{"captured", "pipe", "socket"}));
}

// Links are followed where the kernel follows them for an open; a dangling
// one gets its target made. In a sticky folder that everyone may write, a
// link that belongs to neither the user nor the folder's owner was planted
// there by someone else, and is not followed, not even by root.
TEST(AtomicFile, LinksAreFollowedButNeverWherePlanted) {
  test::TempDir dir;
  ASSERT_EQ(chmod(dir.Path().c_str(), 0711), 0);
  std::filesystem::create_symlink("made.csv", dir.Path("dangling.csv"));
  EXPECT_TRUE(WriteText(dir.Path("dangling.csv"), "made\n"));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("dangling.csv")));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("made.csv")), "made\r\n");

  const std::string shared = dir.Path("shared");
  std::filesystem::create_directory(shared);
  ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
  test::WriteFileBytes(dir.Path("precious.txt"), "the victim's");
  ASSERT_EQ(chmod(dir.Path("precious.txt").c_str(), 0666), 0);
  const std::string planted = shared + "/out.csv";
  std::filesystem::create_symlink(dir.Path("precious.txt"), planted);
  const auto refused = [&planted]() -> std::string {
    AtomicFile file;
    const Result<void> created = file.Create(planted);
    if (created) return "a planted link was followed";
    if (created.error().message.detail != planted + ": Permission denied") return created.error().message.detail;
    return "";
  };
  if (geteuid() == 0) {
    ASSERT_EQ(chown(shared.c_str(), 4343, 4343), 0);
    ASSERT_EQ(lchown(planted.c_str(), 4242, 4242), 0);
    EXPECT_EQ(refused(), "");
    EXPECT_EQ(test::ReadFileBytes(dir.Path("precious.txt")), "the victim's");
    // The folder's owner's own link is followed.
    ASSERT_EQ(lchown(planted.c_str(), 4343, 4343), 0);
    EXPECT_TRUE(WriteText(planted, "through the owner's link\n"));
    EXPECT_EQ(test::ReadFileBytes(dir.Path("precious.txt")), "through the owner's link\r\n");
    ASSERT_EQ(lchown(planted.c_str(), 4242, 4242), 0);
  }
  std::string why;
  const std::optional<test::TestUser> user = test::TestUserToBecome(why);
  if (!user) GTEST_SKIP() << "the unprivileged user's cases: " << why;
  // The user's own link is followed, another user's is not.
  std::filesystem::create_directory(dir.Path("user"));
  ASSERT_EQ(chown(dir.Path("user").c_str(), user->uid, user->gid), 0);
  const std::string own = shared + "/own.csv";
  EXPECT_EQ(test::RunAsUser(*user,
                            [&]() -> std::string {
                              if (symlink(dir.Path("user/mine.txt").c_str(), own.c_str()) != 0) return "no link";
                              const Result<void> written = WriteText(own, "through my link\n");
                              return written ? refused() : written.error().message.detail;
                            }),
            "");
  EXPECT_EQ(test::ReadFileBytes(dir.Path("user/mine.txt")), "through my link\r\n");
}

// A file with further hard links is overwritten in place, so that all its
// names keep showing one file; a text that cannot have the space leaves the
// old one as it was, and says why.
TEST(AtomicFile, AHardLinkedFileIsOverwrittenInPlace) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("a.csv"), "the old text, longer than the new one");
  ASSERT_EQ(chmod(dir.Path("a.csv").c_str(), 0640), 0);
  std::filesystem::create_hard_link(dir.Path("a.csv"), dir.Path("b.csv"));
  const std::uint64_t inode = InodeOf(dir.Path("a.csv"));
  ASSERT_TRUE(WriteText(dir.Path("a.csv"), "new\n"));
  EXPECT_EQ(test::ReadFileBytes(dir.Path("b.csv")), "new\r\n");
  EXPECT_EQ(InodeOf(dir.Path("a.csv")), inode);
  EXPECT_EQ(InodeOf(dir.Path("b.csv")), inode);
  EXPECT_EQ(ModeOf(dir.Path("a.csv")), 0640u);
  EXPECT_EQ(dir.Names(), (Names{"a.csv", "b.csv"}));

  // 64 KiB: room for the old text and the new one beside it, not for both
  // and the new one in place.
  const test::SmallFileSystem disk(dir.Path("disk"), "64k");
  if (!disk.Mounted()) GTEST_SKIP() << "mounting a file system is not permitted here";
  const std::string old(8192, 'o');
  test::WriteFileBytes(dir.Path("disk/a.csv"), old);
  std::filesystem::create_hard_link(dir.Path("disk/a.csv"), dir.Path("disk/b.csv"));
  const Result<void> written = WriteText(dir.Path("disk/a.csv"), std::string(40000, 'n'));
  ASSERT_FALSE(written);
  EXPECT_EQ(written.error().message.detail, dir.Path("disk/a.csv") + ": No space left on device");
  EXPECT_EQ(test::ReadFileBytes(dir.Path("disk/b.csv")), old);
}

// A replaced file keeps its owner and group where the user may set them
// (root); another user's file becomes the user's, as any file the user makes.
TEST(AtomicFile, AReplacedFileKeepsItsOwnerWhereTheUserMaySetIt) {
  test::TempDir dir;
  ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
  test::WriteFileBytes(dir.Path("theirs.csv"), "old");
  ASSERT_EQ(chmod(dir.Path("theirs.csv").c_str(), 0666), 0);
  struct stat status {};
  if (geteuid() == 0) {
    ASSERT_EQ(chown(dir.Path("theirs.csv").c_str(), 4242, 4343), 0);
    ASSERT_TRUE(WriteText(dir.Path("theirs.csv"), "new\n"));
    ASSERT_EQ(stat(dir.Path("theirs.csv").c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 4242u);
    EXPECT_EQ(status.st_gid, 4343u);
    EXPECT_EQ(status.st_mode & 07777, 0666u);
  }
  std::string why;
  const std::optional<test::TestUser> user = test::TestUserToBecome(why);
  if (!user) GTEST_SKIP() << "the unprivileged user's cases: " << why;
  EXPECT_EQ(test::RunAsUser(*user,
                            [&]() -> std::string {
                              const Result<void> written = WriteText(dir.Path("theirs.csv"), "mine\n");
                              return written ? "" : written.error().message.detail;
                            }),
            "");
  ASSERT_EQ(stat(dir.Path("theirs.csv").c_str(), &status), 0);
  EXPECT_EQ(status.st_uid, user->uid);
  EXPECT_EQ(status.st_mode & 07777, 0666u);
  EXPECT_EQ(test::ReadFileBytes(dir.Path("theirs.csv")), "mine\r\n");
}

// Where the file system has no unnamed files, the temporary file has a
// hidden name of at most 255 bytes; a killed run's is removed by the next
// run at that target, a running one's is not.
TEST(AtomicFile, WithoutUnnamedFilesAKilledRunsFileIsRemovedByTheNext) {
  test::TempDir dir;
  const std::string leaf = std::string(250, 'w') + ".csv";
  const std::string target = dir.Path(leaf);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t writer = fork();
  if (writer == 0) {
    if (!test::ForbidUnnamedFiles()) _exit(2);
    AtomicFile file;
    if (!file.Create(target)) _exit(3);
    file.Write("half");
    if (write(ready[1], "r", 1) != 1) _exit(4);
    pause();
    _exit(0);
  }
  close(ready[1]);
  char byte = 0;
  ASSERT_EQ(read(ready[0], &byte, 1), 1) << "the writer did not start";
  close(ready[0]);
  const Names names = dir.Names();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(names[0].starts_with(".www") && names[0].find(".krm-") != std::string::npos) << names[0];
  EXPECT_LE(names[0].size(), 255u);
  {
    AtomicFile other;
    ASSERT_TRUE(other.Create(target));
    EXPECT_EQ(dir.Names(), names);
  }
  kill(writer, SIGKILL);
  waitpid(writer, nullptr, 0);
  EXPECT_EQ(dir.Names(), names);
  ASSERT_TRUE(WriteText(target, "whole\n"));
  EXPECT_EQ(dir.Names(), Names{leaf});

  // The same file system: a new name is taken only while it is free, and a
  // file is replaced.
  EXPECT_EQ(test::RunInChild([&]() -> std::string {
              if (!test::ForbidUnnamedFiles()) return "no filter";
              AtomicFile file;
              if (!file.Create(dir.Path("new.csv"))) return "not created";
              file.Write("new");
              test::WriteFileBytes(dir.Path("new.csv"), "made meanwhile");
              if (file.Commit() || !file.NameTaken()) return "a name taken meanwhile was replaced";
              if (!file.Commit(AtomicFile::Overwrite::AnyFile)) return "not replaced after the question";
              const Result<void> replaced = WriteText(target, "replaced\n");
              return replaced ? "" : replaced.error().message.detail;
            }),
            "");
  EXPECT_EQ(test::ReadFileBytes(dir.Path("new.csv")), "new");
  EXPECT_EQ(test::ReadFileBytes(target), "replaced\r\n");
  EXPECT_EQ(dir.Names(), (Names{"new.csv", leaf}));
}

}  // namespace
}  // namespace kestrel
