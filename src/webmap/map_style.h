#pragma once
// The style sheet of the map site: the size of the map and the look of the
// control panel. Its text is fixed.

#include "platform/atomic_file.h"

namespace kestrel {

// Writes the style sheet into the output.
void WriteMapStyle(TextOutput& output);

}  // namespace kestrel
