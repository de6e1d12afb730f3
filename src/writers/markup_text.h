#pragma once
// Names and descriptions in the XML and JSON formats. The texts are UTF-8;
// whatever cannot stand in the file as it is gets written so that every
// reader reads the text back: escaped, or, where neither format can hold it
// (a byte that is not UTF-8, a control character that XML 1.0 forbids),
// replaced by U+FFFD.

#include <string>
#include <string_view>

namespace kestrel {

// The text as XML character data or an attribute value: & < > " escaped.
void AppendXmlText(std::string& out, std::string_view text);

// <tag>text</tag>, the text as XML character data.
void AppendXmlElement(std::string& out, std::string_view tag, std::string_view text);

// The text as a JSON string, in its quotes: " and \ escaped, every control
// character as \n, \t, \r or \u00XX.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace kestrel
