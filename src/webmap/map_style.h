#pragma once
// The style sheet of the map site: the size of the map and the look of the
// control panel. Its text is fixed.

#include <string>

namespace kestrel {

// Writes the style sheet with CR LF line ends; false, with an existing file
// of that name left as it was, when the file cannot be written.
bool WriteMapStyle(const std::string& stylePath);

}  // namespace kestrel
