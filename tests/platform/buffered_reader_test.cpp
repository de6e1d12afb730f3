#include "platform/buffered_reader.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace kestrel {
namespace {

std::vector<std::string> AllLines(const std::string& bytes) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("f"), bytes);
  BufferedReader reader;
  EXPECT_TRUE(reader.Open(dir.Path("f")));
  std::vector<std::string> lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  return lines;
}

using Lines = std::vector<std::string>;

TEST(BufferedReaderLines, SplitAtLineFeedsOnly) {
  EXPECT_EQ(AllLines(""), Lines{});
  EXPECT_EQ(AllLines("a\nb\n"), (Lines{"a", "b"}));
  EXPECT_EQ(AllLines("a\r\nb"), (Lines{"a\r", "b"}));
  EXPECT_EQ(AllLines("\n\n"), (Lines{"", ""}));
  EXPECT_EQ(AllLines("a\rb\rc"), (Lines{"a\rb\rc"}));
  EXPECT_EQ(AllLines(std::string("a\0b\nc", 5)), (Lines{std::string("a\0b", 3), "c"}));
}

TEST(BufferedReaderLines, HandLinesLongerThanTheBlockOverWhole) {
  const std::string longLine(9 << 20, 'x');  // over twice the first block
  const Lines lines = AllLines("first\n" + longLine + "\nlast");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "first");
  EXPECT_EQ(lines[1], longLine);
  EXPECT_EQ(lines[2], "last");
}

TEST(BufferedReaderLines, CrossBlockBoundaries) {
  // Lines of varying length so that line ends land on every block offset.
  std::string bytes;
  Lines expected;
  for (int i = 0; bytes.size() < (9u << 20); ++i) {
    expected.push_back(std::string(static_cast<std::size_t>(i % 97), static_cast<char>('a' + i % 26)));
    bytes += expected.back() + "\n";
  }
  EXPECT_EQ(AllLines(bytes), expected);
}

TEST(BufferedReaderBytes, ReadPastTheEndAsFF) {
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("f"), "\x01\x02\x03");
  BufferedReader reader;
  ASSERT_TRUE(reader.Open(dir.Path("f")));
  EXPECT_EQ(reader.Size(), 3);
  unsigned char bytes[5];
  reader.Read(bytes, 5);
  EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 5),
            (std::vector<unsigned char>{1, 2, 3, 0xFF, 0xFF}));
  reader.Seek(1);
  reader.Read(bytes, 1);
  EXPECT_EQ(bytes[0], 2);
  reader.Skip(100);
  EXPECT_EQ(reader.Position(), 102);
  reader.Read(bytes, 2);
  EXPECT_EQ(bytes[0], 0xFF);
  reader.Seek(0);
  reader.Skip(2);
  reader.Read(bytes, 1);
  EXPECT_EQ(bytes[0], 3);
}

TEST(BufferedReaderOpen, RefusesMissingFilesAndFolders) {
  test::TempDir dir;
  BufferedReader reader;
  EXPECT_FALSE(reader.Open(dir.Path("missing")));
  EXPECT_FALSE(reader.Open(dir.Path()));
}

}  // namespace
}  // namespace kestrel
