#include "platform/text_encoding.h"

#include <gtest/gtest.h>

namespace kestrel {
namespace {

struct Conversion {
  std::string cp932;
  std::string utf8;
};

TEST(ConvertToUtf8, ConvertsCodePage932Characters) {
  const Conversion cases[] = {
      {"\x92\x6E\x90\x7D", "\xE5\x9C\xB0\xE5\x9B\xB3"},                      // 地図
      {"\xCC\xA7\xB2\xD9", "\uFF8C\uFF67\uFF72\uFF99"},                        // ﾌｧｲﾙ, half-width
      {"\x81\x40", "\xE3\x80\x80"},                                            // ideographic space
      {"\x81\x60", "\uFF5E"},                                                  // the range tilde
      {"Sample GPS Data \\ ~", "Sample GPS Data \\ ~"},                        // ASCII unchanged
      {"a\x80" "b", "a\uFFFD" "b"},                                            // not a character
      {"\x81", "\uFFFD"},                                                      // cut-off pair
      {"\x81\x7F\x92\x6E", "\uFFFD\x7F\xE5\x9C\xB0"},                          // bad pair, then on
  };
  for (const Conversion& c : cases) {
    std::string text = c.cp932;
    EXPECT_TRUE(ConvertToUtf8(text)) << c.cp932;
    EXPECT_EQ(text, c.utf8) << c.cp932;
  }
}

TEST(Utf16LeToUtf8, DecodesSurrogatePairsAndReplacesWhatIsNoCharacter) {
  EXPECT_EQ(Utf16LeToUtf8(std::string("T\0\xFC\0\x69\x6B", 6)), "T\u00FC\u6B69");
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8\x00\xDE", 4)), "\U0001F600");
  // An unpaired surrogate, a low surrogate alone, an odd last byte.
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x3D\xD8" "a\0", 4)), "\uFFFD" "a");
  EXPECT_EQ(Utf16LeToUtf8(std::string("\x00\xDE", 2)), "\uFFFD");
  EXPECT_EQ(Utf16LeToUtf8(std::string("a\0b", 3)), "a\uFFFD");
  EXPECT_EQ(Utf16LeToUtf8(""), "");
}

TEST(ConvertToUtf8, LeavesEmptyTextAlone) {
  std::string text;
  EXPECT_FALSE(ConvertToUtf8(text));
  EXPECT_EQ(text, "");
}

TEST(Utf8ToCp932, ConvertsTypedNamesAndMarksWhatCannotBeHeld) {
  EXPECT_EQ(Utf8ToCp932("東京散歩"), "\x93\x8C\x8B\x9E\x8E\x55\x95\xE0");
  EXPECT_EQ(Utf8ToCp932("ＲＵＮ"), "\x82\x71\x82\x74\x82\x6D");
  EXPECT_EQ(Utf8ToCp932("Run"), "Run");
  // One "?" per character that code page 932 lacks, including four-byte ones.
  EXPECT_EQ(Utf8ToCp932("a\u00E9b\U0001F600c"), "a?b?c");
  // Bytes that are not UTF-8 match nothing by accident either.
  EXPECT_EQ(Utf8ToCp932("a\xFF" "b"), "a?b");
}

}  // namespace
}  // namespace kestrel
