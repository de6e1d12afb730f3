#include "writers/track_writer.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "platform/time_zone.h"
#include "select/selection.h"

namespace kestrel {
namespace {

// Large enough that the output is written in few pieces, small enough to
// stay in the cache.
constexpr std::size_t kPieceSize = 64 * 1024;

}  // namespace

PieceOutput::PieceOutput(TextOutput& output, const Progress& progress, std::int64_t total)
    : output_(output), progress_(progress), total_(total) {
  text.reserve(kPieceSize + 1024);
}

bool PieceOutput::Done(std::int64_t done) {
  if (text.size() < kPieceSize) return true;
  output_.Write(text);
  text.clear();
  return !progress_ || progress_(done, total_);
}

void PieceOutput::Finish() {
  output_.Write(text);
  text.clear();
}

Result<void> WriteTrackFile(const TrackData& track, TextOutput& output, const TrackWriterOptions& options,
                            std::string_view header, AppendPointText appendPoint, const Progress& progress) {
  const Result<std::vector<TrackPoint>> copy = MakeWorkingCopy(track, options.smoothing);
  if (!copy) return copy.error();
  const auto count = static_cast<std::int32_t>(copy->size());
  PieceOutput out(output, progress, count);
  out.text.append(header);
  for (std::int32_t i = 0; i < count; ++i) {
    if (!IsPointKept(track, i, options.usageRate)) continue;
    appendPoint(out.text, (*copy)[static_cast<std::size_t>(i)], options);
    if (!out.Done(i + 1)) return Cancelled();
  }
  out.Finish();
  return {};
}

std::tm CalendarTime(std::int32_t time, bool useUtc) {
  std::tm fields{};
  if (!(useUtc ? ToUtcTime(time, fields) : ToLocalTime(time, fields))) fields = std::tm{};
  return fields;
}

void AppendHemisphere(std::string& text, double value, char positive, char negative,
                      void (*appendMagnitude)(std::string& text, double magnitude)) {
  text.push_back(value < 0 ? negative : positive);
  appendMagnitude(text, std::fabs(value));
}

void AppendInteger(std::string& text, std::int64_t value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  text.append(digits, result.ptr);
}

void AppendTwoDigits(std::string& text, int value) {
  text.push_back(static_cast<char>('0' + value / 10));
  text.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace kestrel
