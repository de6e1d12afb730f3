#include "platform/text_encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace kestrel {
namespace {

// An iconv conversion descriptor, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of [in, in + inLeft) as it can, appending to out.
  // Returns the errno of the stop (0 when everything was converted).
  int Convert(const char*& in, std::size_t& inLeft, std::string& out) {
    char buffer[4096];
    while (inLeft > 0) {
      char* dst = buffer;
      std::size_t dstLeft = sizeof buffer;
      char* src = const_cast<char*>(in);
      std::size_t rc = iconv(handle_, &src, &inLeft, &dst, &dstLeft);
      int error = rc == static_cast<std::size_t>(-1) ? errno : 0;
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      in = src;
      if (error == E2BIG) continue;
      if (error != 0) return error;
    }
    return 0;
  }

 private:
  iconv_t handle_;
};

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Converts between two encodings; each input sequence the source cannot
// decode or the target cannot hold is replaced and the conversion goes on.
std::string ConvertReplacing(const char* to, const char* from, std::string_view text,
                             std::string_view replacement, bool skipWholeUtf8Character) {
  Converter converter(to, from);
  std::string out;
  if (!converter.valid()) return std::string(text);
  out.reserve(text.size() * 3 / 2);
  const char* in = text.data();
  std::size_t inLeft = text.size();
  while (inLeft > 0) {
    if (converter.Convert(in, inLeft, out) == 0) break;
    out.append(replacement);
    std::size_t skip = 1;
    if (skipWholeUtf8Character) {
      // A valid UTF-8 character the target cannot hold is one "?", not several.
      auto lead = static_cast<unsigned char>(*in);
      std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      skip = std::min(length, inLeft);
      for (std::size_t i = 1; i < skip; ++i) {
        if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80) {
          skip = i;
          break;
        }
      }
    }
    in += skip;
    inLeft -= skip;
  }
  return out;
}

}  // namespace

bool ConvertToUtf8(std::string& text) {
  if (text.empty()) return false;
  if (IsAscii(text)) return true;  // code page 932 and UTF-8 agree on ASCII
  text = ConvertReplacing("UTF-8", "CP932", text, "\xEF\xBF\xBD", false);
  return true;
}

std::string Utf16LeToUtf8(std::string_view bytes) {
  constexpr char32_t kReplacement = 0xFFFD;
  std::string out;
  out.reserve(bytes.size());
  const auto unit = [&bytes](std::size_t i) {
    return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t c = kReplacement;
    if (i + 1 < bytes.size()) {
      c = unit(i);
      if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
        i += 2;
      } else if (c >= 0xD800 && c <= 0xDFFF) {
        c = kReplacement;
      }
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | c >> 6));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | c >> 12));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | c >> 18));
      out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::string ValidUtf8(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return ConvertReplacing("UTF-8", "UTF-8", text, "\xEF\xBF\xBD", false);
}

std::string Utf8ToCp932(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  return ConvertReplacing("CP932", "UTF-8", text, "?", true);
}

}  // namespace kestrel
