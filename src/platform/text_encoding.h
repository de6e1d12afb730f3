#pragma once
// Code page 932 (the Windows variant of Shift-JIS) and UTF-16 are used only
// where a file format demands them: names in .usr files and the PCX5 header
// line. Everything else inside the program is UTF-8.

#include <string>
#include <string_view>

namespace kestrel {

// Replaces code page 932 text by its UTF-8 form and returns true; an empty
// text is left as it is and gives false. A byte that does not start a valid
// code page 932 character becomes U+FFFD and decoding goes on with the next byte.
bool ConvertToUtf8(std::string& text);

// UTF-16LE text (the names of newer .usr files) in UTF-8; an unpaired
// surrogate, or an odd last byte, becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);

// The text as valid UTF-8: each byte that does not belong to a well-formed
// UTF-8 character (a file name in another encoding) becomes U+FFFD.
std::string ValidUtf8(std::string_view text);

// The UTF-8 text in code page 932; a character that code page 932 cannot hold
// (or a byte that is not valid UTF-8) becomes "?".
std::string Utf8ToCp932(std::string_view text);

}  // namespace kestrel
