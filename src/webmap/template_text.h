#pragma once
// Filling the fixed texts of the map site.

#include <initializer_list>
#include <string>
#include <string_view>

namespace kestrel {

struct TemplateValue {
  std::string_view name;   // the name between « and »
  std::string_view value;  // inserted as it is
};

// The text with every «name» replaced by its value, in one pass: an inserted
// value is never searched for names itself. A name without a value is a
// mistake in the program and throws std::logic_error.
std::string FillTemplate(std::string_view text, std::initializer_list<TemplateValue> values);

// The text without the first occurrence of the line (which ends with its
// line end); the text as it is when the line is not in it.
std::string WithoutLine(std::string_view text, std::string_view line);

// & < > and " as the entities &amp; &lt; &gt; &quot;, every other byte as it is.
std::string EscapeHtml(std::string_view text);

// A file name as a link of the page: percent-encoded as a relative address
// (every byte but letters, digits and - . _ ~ ! $ & ' ( ) * + , ; = @, so
// that no "#", "?", "%", ":" or "\" changes what the browser asks for),
// then HTML-escaped.
std::string FileLinkText(std::string_view fileName);

}  // namespace kestrel
