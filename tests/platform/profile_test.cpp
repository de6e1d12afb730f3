#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "platform/byte_source.h"
#include "support/test_support.h"
#include "support/test_user.h"

namespace kestrel {
namespace {

class ProfileTest : public testing::Test {
 protected:
  Profile WithText(const std::string& text) {
    test::WriteFileBytes(dir_.Path("KRM.INI"), text);
    return Profile(dir_.Path("KRM.INI"));
  }
  test::TempDir dir_;
};

TEST_F(ProfileTest, MissingFileGivesTheDefaults) {
  const Profile profile(dir_.Path("none.INI"));
  EXPECT_EQ(profile.ReadInteger("GMap_Section", "gmaplinewidth", -1), -1);
  EXPECT_EQ(profile.ReadString("GMap_Section", "gmaptitle", "Sample GPS Data"), "Sample GPS Data");
  EXPECT_EQ(Profile("").ReadInteger("S", "k", 7), 7);
}

TEST_F(ProfileTest, NamesMatchWithoutRegardToCaseAndAreTrimmed) {
  const Profile profile = WithText("[gmap_section]\n  GMAPTITLE  =  My walk  \r\nGmapLineWidth=4\r\n");
  EXPECT_EQ(profile.ReadString("GMap_Section", "gmaptitle", ""), "My walk");
  EXPECT_EQ(profile.ReadInteger("GMAP_SECTION", "gmaplinewidth", -1), 4);
}

TEST_F(ProfileTest, CommentsDuplicatesAndQuotes) {
  const Profile profile = WithText(
      "; a comment\n[S]\n;k=commented\nk=first\nk=second\nq=\"quoted\"\nempty=\n");
  EXPECT_EQ(profile.ReadString("S", "k", ""), "first");
  EXPECT_EQ(profile.ReadString("S", "q", ""), "\"quoted\"");
  EXPECT_EQ(profile.ReadString("S", "empty", "default"), "");
}

TEST_F(ProfileTest, IntegersMustBeSignAndDigitsWithin32Bits) {
  const Profile profile = WithText(
      "[S]\na=12\nb=+7\nc=-3\nd=12abc\ne=\nf=2147483648\ng=-2147483648\nh=1.5\ni=--1\nj= 8 \n");
  const std::pair<const char*, int> cases[] = {{"a", 12}, {"b", 7}, {"c", -3}, {"d", -1}, {"e", -1},
                                               {"f", -1}, {"g", -2147483647 - 1}, {"h", -1}, {"i", -1},
                                               {"j", 8}, {"missing", -1}};
  for (const auto& [key, value] : cases) EXPECT_EQ(profile.ReadInteger("S", key, -1), value) << key;
}

TEST_F(ProfileTest, ValuesWrittenOnWindowsStillRead) {
  // "地図" in code page 932.
  const Profile profile = WithText("[S]\r\ntitle=\x92\x6E\x90\x7D\r\nutf8=地図\r\n");
  EXPECT_EQ(profile.ReadString("S", "title", ""), "地図");
  EXPECT_EQ(profile.ReadString("S", "utf8", ""), "地図");
}

TEST_F(ProfileTest, WritesGoToTheFileAtOnceAndKeepTheRest) {
  Profile profile = WithText("[DConv_Section]\ndconvuseutc=ON\n[GMap_Section]\nthis line is damaged\ngmaptitle=T\n");
  ASSERT_TRUE(profile.WriteInteger("GMap_Section", "GMAPLINEWIDTH", 2));
  ASSERT_TRUE(profile.WriteString("gmap_section", "gmaptitle", "地図"));
  const Profile reread(profile.Path());
  EXPECT_EQ(reread.ReadInteger("GMap_Section", "gmaplinewidth", -1), 2);
  EXPECT_EQ(reread.ReadString("GMap_Section", "gmaptitle", ""), "地図");
  EXPECT_EQ(reread.ReadString("DConv_Section", "dconvuseutc", ""), "ON");
  EXPECT_EQ(dir_.Names(), std::vector<std::string>{"KRM.INI"});
}

TEST_F(ProfileTest, LineBreaksInAValueCannotStartOtherSettings) {
  Profile profile(dir_.Path("KRM.INI"));
  ASSERT_TRUE(profile.WriteString("GMap_Section", "gmapapikey", "abc\n[DConv_Section]\r\ndconbfiletype=1"));
  EXPECT_EQ(profile.ReadInteger("DConv_Section", "dconbfiletype", -1), -1);
  EXPECT_EQ(profile.ReadString("GMap_Section", "gmapapikey", ""), "abc [DConv_Section]  dconbfiletype=1");
}

TEST_F(ProfileTest, FolderIsMadeWhenFirstWritten) {
  Profile profile(dir_.Path("config/kestrelmarking/kestrelmarking.INI"));
  ASSERT_TRUE(profile.WriteString("S", "k", "ON"));
  EXPECT_EQ(Profile(profile.Path()).ReadString("S", "k", ""), "ON");
}

TEST_F(ProfileTest, UnwritablePlaceFailsWithoutHarm) {
  test::WriteFileBytes(dir_.Path("file"), "x");
  Profile profile(dir_.Path("file/KRM.INI"));
  EXPECT_FALSE(profile.WriteString("S", "k", "ON"));
  EXPECT_EQ(test::ReadFileBytes(dir_.Path("file")), "x");
}


// A save changes the lines of the keys it writes, and nothing else: comments,
// unknown keys, a section given twice, damaged lines and the line ends stay.
TEST_F(ProfileTest, ASaveChangesOnlyTheLinesOfItsKeys) {
  const std::string text =
      "; written by hand\r\n[GMap_Section]\r\ngmaptitle = old title  \r\nunknown=kept\r\n; inside\r\n"
      "this line is damaged\r\n[DConv_Section]\r\ndconvuseutc=ON\r\n[GMap_Section]\r\ngmaptitle=second\r\n";
  Profile profile = WithText(text);
  ASSERT_TRUE(profile.WriteValues("GMap_Section", {{"GMAPTITLE", "new"}, {"gmaplinewidth", "4"}}));
  ASSERT_TRUE(profile.WriteValues("Window_Section", {{"dataformat", "1"}}));
  EXPECT_EQ(test::ReadFileBytes(profile.Path()),
            "; written by hand\r\n[GMap_Section]\r\ngmaptitle =new\r\nunknown=kept\r\ngmaplinewidth=4\r\n; inside\r\n"
            "this line is damaged\r\n[DConv_Section]\r\ndconvuseutc=ON\r\n[GMap_Section]\r\ngmaptitle=second\r\n"
            "\r\n[Window_Section]\r\ndataformat=1\r\n");
  EXPECT_EQ(Profile(profile.Path()).ReadString("GMap_Section", "gmaptitle", ""), "new");
  EXPECT_EQ(profile.ReadInteger("Window_Section", "dataformat", -1), 1);
}

// A profile that cannot be read whole is never rewritten: the save says
// why and leaves the file as it is.
TEST_F(ProfileTest, AFileThatCannotBeReadWholeIsNeverRewritten) {
  const std::string withZero = std::string("[S]\nk=1\n\0[GMap_Section]\ngmaptitle=T\n", 33);
  Profile zero = WithText(withZero);
  Result<void> saved = zero.WriteString("S", "k", "2");
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().message.text, kProfileWriteFailedMessage);
  EXPECT_EQ(saved.error().message.detail,
            zero.Path() + ": a zero byte at byte 8: the file cannot be read whole and is left as it is");
  EXPECT_EQ(test::ReadFileBytes(zero.Path()), withZero);

  ASSERT_EQ(mkfifo(dir_.Path("pipe.INI").c_str(), 0600), 0);
  test::WriteFileBytes(dir_.Path("large.INI"), "[S]\nk=1\n");
  std::filesystem::resize_file(dir_.Path("large.INI"), kMaxProfileBytes + 1);
  const std::string rule = " (a profile is a regular file of at most 16 MiB)";
  const std::pair<std::string, std::string> cases[] = {
      {dir_.Path("pipe.INI"), ": not a regular file" + rule},
      {dir_.Path("large.INI"), ": larger than 16 MiB" + rule},
  };
  for (const auto& [path, reason] : cases) {
    Profile profile(path);
    EXPECT_EQ(profile.Loaded().error().message.text, kProfileReadFailedMessage);
    EXPECT_EQ(profile.Loaded().error().message.detail, path + reason);
    EXPECT_EQ(profile.ReadInteger("S", "k", -1), -1);
    saved = profile.WriteString("S", "k", "2");
    ASSERT_FALSE(saved) << path;
    EXPECT_EQ(saved.error().message.detail, path + reason);
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir_.Path("pipe.INI")));
  EXPECT_EQ(std::filesystem::file_size(dir_.Path("large.INI")), kMaxProfileBytes + 1);

  // A file the user may write but not read: root reads it and saves, another user may not.
  ASSERT_EQ(chmod(dir_.Path().c_str(), 0777), 0);
  Profile writeOnly = WithText("[DConv_Section]\ndconvuseutc=ON\n");
  ASSERT_EQ(chmod(writeOnly.Path().c_str(), 0666), 0);
  ASSERT_EQ(chmod(writeOnly.Path().c_str(), 0222), 0);
  std::string why;
  const std::optional<test::TestUser> user = test::TestUserToBecome(why);
  if (!user) GTEST_SKIP() << "the unprivileged user's case: " << why;
  EXPECT_EQ(test::RunAsUser(*user,
                            [&]() -> std::string {
                              Profile profile(writeOnly.Path());
                              const Result<void> written = profile.WriteString("S", "k", "2");
                              if (written) return "saved over a file it could not read";
                              return written.error().message.detail == writeOnly.Path() + ": Permission denied"
                                         ? ""
                                         : written.error().message.detail;
                            }),
            "");
  EXPECT_EQ(test::ReadFileBytes(writeOnly.Path()), "[DConv_Section]\ndconvuseutc=ON\n");
  ASSERT_TRUE(writeOnly.WriteString("S", "k", "2"));  // root
  EXPECT_EQ(test::ReadFileBytes(writeOnly.Path()), "[DConv_Section]\ndconvuseutc=ON\n\n[S]\nk=2\n");
}

// The file is read once, when the profile is made; a profile also reads
// from a source of bytes.
TEST_F(ProfileTest, IsReadOnceFromTheFileOrASource) {
  const Profile profile = WithText("[S]\nk=1\n");
  test::WriteFileBytes(profile.Path(), "[S]\nk=2\n");
  EXPECT_EQ(profile.ReadInteger("S", "k", -1), 1);
  MemorySource bytes("[S]\nk=3\n", "memory");
  EXPECT_EQ(Profile("", bytes).ReadInteger("S", "k", -1), 3);
}

}  // namespace
}  // namespace kestrel
