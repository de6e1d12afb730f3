#include "platform/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace kestrel {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Index of the first character after leading white space.
std::size_t SkipSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return i;
}

}  // namespace

double ReadDecimalNumber(std::string_view text) {
  std::size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  const std::size_t start = i;
  // Significant digits before the point, and zeros after it before the first
  // non-zero digit: the order of magnitude tells overflow from underflow.
  long integerDigits = 0;
  long fractionZeros = 0;
  std::size_t digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (integerDigits > 0 || text[i] != '0') ++integerDigits;
  }
  if (i < text.size() && text[i] == '.') {
    bool significant = integerDigits > 0;
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      if (text[i] != '0') significant = true;
      if (!significant) ++fractionZeros;
    }
  }
  if (digits == 0) return 0.0;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    bool negativeExponent = false;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
    if (j < text.size() && IsDigit(text[j])) {
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
      }
      if (negativeExponent) exponent = -exponent;
      i = j;
    }
  }
  double value = 0.0;
  auto result = std::from_chars(text.data() + start, text.data() + i, value,
                                std::chars_format::general);
  if (result.ec == std::errc::result_out_of_range) {
    long magnitude = integerDigits > 0 ? integerDigits : -fractionZeros;
    value = magnitude + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -value : value;
}

std::int32_t ReadIntegerNumber(std::string_view text) {
  std::size_t i = SkipSpace(text);
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  while (i < text.size() && IsDigit(text[i])) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;
    ++i;
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return value >= limit ? std::numeric_limits<std::int32_t>::max() : static_cast<std::int32_t>(value);
}

std::int32_t TruncateToInt32(double value) {
  // The comparison is false for not-a-number as well.
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
  return std::numeric_limits<std::int32_t>::min();
}

}  // namespace kestrel
