#include "writers/markup_text.h"

#include <cstdint>

namespace kestrel {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The length of the UTF-8 character at the start of the text, or 0 when the
// bytes there are no well-formed character (RFC 3629: no overlong forms, no
// surrogates, nothing above U+10FFFF).
std::size_t CharacterLength(std::string_view text) {
  const auto byte = [&text](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
  const std::uint8_t lead = byte(0);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

// Calls put(character) for every well-formed character of the text and
// put(kReplacement) for every byte that starts none.
template <typename Put>
void ForEachCharacter(std::string_view text, Put put) {
  while (!text.empty()) {
    const std::size_t length = CharacterLength(text);
    put(length == 0 ? kReplacement : text.substr(0, length));
    text.remove_prefix(length == 0 ? 1 : length);
  }
}

}  // namespace

void AppendXmlText(std::string& out, std::string_view text) {
  ForEachCharacter(text, [&out](std::string_view c) {
    switch (c[0]) {
      case '&':
        out.append("&amp;");
        return;
      case '<':
        out.append("&lt;");
        return;
      case '>':
        out.append("&gt;");
        return;
      case '"':
        out.append("&quot;");
        return;
      case '\t':
      case '\n':
        out.append(c);
        return;
      default:
        // XML 1.0 allows no other control character and neither U+FFFE nor
        // U+FFFF, not even as a character reference; a carriage return would
        // come back as a line feed.
        const bool forbidden = (c.size() == 1 && static_cast<std::uint8_t>(c[0]) < 0x20) ||
                               c == "\xEF\xBF\xBE" || c == "\xEF\xBF\xBF";
        out.append(forbidden ? kReplacement : c);
    }
  });
}

void AppendXmlElement(std::string& out, std::string_view tag, std::string_view text) {
  out.push_back('<');
  out.append(tag);
  out.push_back('>');
  AppendXmlText(out, text);
  out.append("</");
  out.append(tag);
  out.push_back('>');
}

void AppendJsonString(std::string& out, std::string_view text) {
  constexpr char kHexDigits[] = "0123456789abcdef";
  out.push_back('"');
  ForEachCharacter(text, [&](std::string_view c) {
    switch (c[0]) {
      case '"':
        out.append("\\\"");
        return;
      case '\\':
        out.append("\\\\");
        return;
      case '\n':
        out.append("\\n");
        return;
      case '\r':
        out.append("\\r");
        return;
      case '\t':
        out.append("\\t");
        return;
      default:
        if (c.size() == 1 && static_cast<std::uint8_t>(c[0]) < 0x20) {
          out.append("\\u00");
          out.push_back(kHexDigits[c[0] >> 4]);
          out.push_back(kHexDigits[c[0] & 0x0F]);
          return;
        }
        out.append(c);
    }
  });
  out.push_back('"');
}

}  // namespace kestrel
