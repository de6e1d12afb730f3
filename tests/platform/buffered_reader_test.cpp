#include "platform/buffered_reader.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "support/test_support.h"

namespace kestrel {
namespace {

using Lines = std::vector<std::string>;

Lines LinesOf(ByteSource& source) {
  BufferedReader reader(source);
  Lines lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  EXPECT_TRUE(reader.Status());
  return lines;
}

Lines AllLines(const std::string& bytes) {
  MemorySource source(bytes, "memory");
  return LinesOf(source);
}

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

// Lines over a limit are passed over and counted, however long: the block
// never grows for them, and the lines around them are handed out whole.
TEST(BufferedReaderLines, SkipLinesOverTheLimit) {
  const std::string huge(9 << 20, 'x');
  const std::string bytes = "short\n" + std::string(11, 'y') + "\n" + huge + "\n0123456789\n" + huge;
  MemorySource source(bytes, "memory");
  BufferedReader reader(source);
  reader.SkipLinesLongerThan(10);
  Lines lines;
  std::string_view line;
  while (reader.ReadLine(line)) lines.emplace_back(line);
  EXPECT_TRUE(reader.Status());
  EXPECT_EQ(lines, (Lines{"short", "0123456789"}));
  EXPECT_EQ(reader.LongLinesSkipped(), 3);
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
  Result<FileSource> file = OpenFileSource(dir.Path("f"));
  ASSERT_TRUE(file);
  BufferedReader reader(*file);
  EXPECT_EQ(reader.Size(), 3);
  unsigned char bytes[5];
  EXPECT_EQ(reader.Read(bytes, 5), 3u);
  EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 5), (std::vector<unsigned char>{1, 2, 3, 0xFF, 0xFF}));
  reader.Seek(1);
  reader.Read(bytes, 1);
  EXPECT_EQ(bytes[0], 2);
  reader.Skip(100);
  EXPECT_EQ(reader.Position(), 102);
  EXPECT_EQ(reader.Read(bytes, 2), 0u);
  EXPECT_EQ(bytes[0], 0xFF);
  reader.Seek(0);
  reader.Skip(2);
  reader.Read(bytes, 1);
  EXPECT_EQ(bytes[0], 3);
  EXPECT_TRUE(reader.Status());
}

// A pipe holding the bytes, its writing end closed.
FileSource PipeOf(const std::string& bytes) {
  int ends[2];
  EXPECT_EQ(pipe(ends), 0);
  EXPECT_EQ(write(ends[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(ends[1]);
  return FileSource(ends[0], "pipe");
}

// A pipe has no size and moves forward only: a skip reads over the bytes, and
// a move back is a failed read, not the end of the input.
TEST(BufferedReaderSources, ReadAPipeWhoseSizeIsUnknown) {
  const std::string bytes = "first\nsecond\nthird\n";
  FileSource whole = PipeOf(bytes);
  EXPECT_EQ(whole.Size(), -1);
  EXPECT_EQ(LinesOf(whole), (Lines{"first", "second", "third"}));

  FileSource pipe = PipeOf(bytes);
  EXPECT_EQ(pipe.Seek(6), 0);
  char rest[32];
  const ByteSource::ReadCount read = pipe.Read(rest, sizeof rest);
  EXPECT_EQ(std::string(rest, read.bytes), "second\nthird\n");
  BufferedReader again(pipe);  // from the start, which the pipe has passed
  std::string_view line;
  EXPECT_FALSE(again.ReadLine(line));
  ASSERT_FALSE(again.Status());
  EXPECT_EQ(again.Status().error().message.detail, "pipe: Illegal seek");
}

// A pipe opened as an input is read once and kept: read again from its start
// it gives the same bytes, and its size is known once it has ended.
TEST(BufferedReaderSources, AnInputThatCannotMoveBackIsReadOnce) {
  std::string bytes;
  for (int i = 0; bytes.size() < (200 << 10); ++i) bytes += "line " + std::to_string(i) + "\n";
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::thread writer([&bytes, fd = ends[1]] {
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
  });
  Result<std::unique_ptr<ByteSource>> input = InputOfDescriptor(ends[0], "pipe");
  ASSERT_TRUE(input);
  ByteSource& source = **input;
  EXPECT_EQ(source.Size(), -1);
  const Lines first = LinesOf(source);
  writer.join();
  EXPECT_EQ(source.Size(), static_cast<std::int64_t>(bytes.size()));
  EXPECT_EQ(LinesOf(source), first);
  ASSERT_GT(first.size(), 19000u);
  EXPECT_EQ(first[19000], "line 19000");
  // A file opened so is read as it is.
  test::TempDir dir;
  test::WriteFileBytes(dir.Path("f"), "a\nb");
  Result<std::unique_ptr<ByteSource>> file = OpenInput(dir.Path("f"));
  ASSERT_TRUE(file);
  EXPECT_EQ((*file)->Size(), 3);
  EXPECT_EQ(LinesOf(**file), (Lines{"a", "b"}));
}

// A source that ends before its size, or goes on beyond it, has changed
// while it was read: an error, never the end of a shorter input.
TEST(BufferedReaderSources, ASourceThatChangesSizeIsAnError) {
  class Sized final : public ByteSource {
   public:
    Sized(std::string_view bytes, std::int64_t size) : ByteSource("log"), memory_(bytes, "log"), size_(size) {}
    std::int64_t Size() const override { return size_; }
    ReadCount Read(char* out, std::size_t n) override { return memory_.Read(out, n); }
    int Seek(std::int64_t position) override { return memory_.Seek(position); }

   private:
    MemorySource memory_;
    std::int64_t size_;
  };
  for (const std::int64_t size : {5, 7}) {
    Sized source("a\nb\nc\n", size);
    BufferedReader reader(source);
    std::string_view line;
    while (reader.ReadLine(line)) {
    }
    ASSERT_FALSE(reader.Status()) << size;
    EXPECT_EQ(reader.Status().error().message.text, kNoDataMessage);
    EXPECT_EQ(reader.Status().error().message.detail, "log: the file changed while it was read");
  }
  // A skip beyond the end is no change.
  Sized exact("abc", 3);
  BufferedReader reader(exact);
  reader.Skip(10);
  unsigned char byte = 0;
  EXPECT_EQ(reader.Read(&byte, 1), 0u);
  EXPECT_TRUE(reader.Status());
}

TEST(BufferedReaderSources, FilesThatCannotBeReadSayWhy) {
  test::TempDir dir;
  const Result<FileSource> missing = OpenFileSource(dir.Path("missing.log"));
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().message.text, kNoDataMessage);
  EXPECT_EQ(missing.error().message.detail, dir.Path("missing.log") + ": No such file or directory");

  Result<FileSource> folder = OpenFileSource(dir.Path());
  ASSERT_TRUE(folder);
  BufferedReader reader(*folder);
  std::string_view line;
  EXPECT_FALSE(reader.ReadLine(line));
  ASSERT_FALSE(reader.Status());
  EXPECT_EQ(reader.Status().error().message.detail, dir.Path() + ": Is a directory");
}

// Progress hears of every block of a large input; a cancel ends the reading
// at once and tells itself apart from the end of the input.
TEST(BufferedReaderProgress, ReportsEveryBlockAndStopsOnCancel) {
  const std::string bytes(13 << 18, '\n');
  MemorySource source(bytes, "large.log");
  std::vector<std::pair<std::int64_t, std::int64_t>> reports;
  {
    BufferedReader reader(source, [&reports](std::int64_t done, std::int64_t total) {
      reports.emplace_back(done, total);
      return true;
    });
    std::string_view line;
    std::size_t lines = 0;
    while (reader.ReadLine(line)) ++lines;
    EXPECT_EQ(lines, bytes.size());
    EXPECT_TRUE(reader.Status());
  }
  const std::vector<std::pair<std::int64_t, std::int64_t>> expected = {
      {1 << 20, 13 << 18}, {2 << 20, 13 << 18}, {3 << 20, 13 << 18}, {13 << 18, 13 << 18}};
  EXPECT_EQ(reports, expected);

  std::size_t calls = 0;
  BufferedReader cancelled(source, [&calls](std::int64_t, std::int64_t) { return ++calls < 2; });
  std::string_view line;
  std::size_t lines = 0;
  while (cancelled.ReadLine(line)) ++lines;
  EXPECT_EQ(lines, std::size_t{1} << 20);  // the first block only
  ASSERT_FALSE(cancelled.Status());
  EXPECT_TRUE(cancelled.Status().error().cancelled);
}

}  // namespace
}  // namespace kestrel
