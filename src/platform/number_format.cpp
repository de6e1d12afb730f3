#include "platform/number_format.h"

#include <charconv>

namespace kestrel {

void AppendFixed(std::string& out, double value, int decimals) {
  // The longest fixed text of a double: 309 integer digits, a sign, a point
  // and the decimals.
  char buffer[330 + 20];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  out.append(buffer, result.ptr);
}

std::string FixedText(double value, int decimals) {
  std::string text;
  AppendFixed(text, value, decimals);
  return text;
}

}  // namespace kestrel
