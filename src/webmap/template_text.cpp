#include "webmap/template_text.h"

#include <stdexcept>

namespace kestrel {
namespace {

constexpr std::string_view kOpenMark = "«";
constexpr std::string_view kCloseMark = "»";

// The bytes a relative address may hold as they are.
constexpr std::string_view kAddressCharacters = "-._~!$&'()*+,;=@";

bool IsAsciiAlphanumeric(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string FillTemplate(std::string_view text, std::initializer_list<TemplateValue> values) {
  std::string filled;
  filled.reserve(text.size());
  for (;;) {
    const std::size_t open = text.find(kOpenMark);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find(kCloseMark, open);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + kOpenMark.size(), close - open - kOpenMark.size());
    const TemplateValue* found = nullptr;
    for (const TemplateValue& value : values) {
      if (value.name == name) found = &value;
    }
    if (found == nullptr) throw std::logic_error("no value for «" + std::string(name) + "»");
    filled.append(text.substr(0, open));
    filled.append(found->value);
    text.remove_prefix(close + kCloseMark.size());
  }
  filled.append(text);
  return filled;
}

std::string WithoutLine(std::string_view text, std::string_view line) {
  std::string rest(text);
  const std::size_t at = rest.find(line);
  if (at != std::string::npos) rest.erase(at, line.size());
  return rest;
}

std::string EscapeHtml(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        escaped += "&amp;";
        break;
      case '<':
        escaped += "&lt;";
        break;
      case '>':
        escaped += "&gt;";
        break;
      case '"':
        escaped += "&quot;";
        break;
      default:
        escaped += c;
    }
  }
  return escaped;
}

std::string FileLinkText(std::string_view fileName) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string address;
  address.reserve(fileName.size());
  for (const char c : fileName) {
    if (IsAsciiAlphanumeric(c) || kAddressCharacters.find(c) != std::string_view::npos) {
      address += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      address += '%';
      address += kDigits[byte >> 4];
      address += kDigits[byte & 0xF];
    }
  }
  return EscapeHtml(address);
}

}  // namespace kestrel
