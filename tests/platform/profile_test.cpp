#include "platform/profile.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

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

}  // namespace
}  // namespace kestrel
