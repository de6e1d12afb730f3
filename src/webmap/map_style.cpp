#include "webmap/map_style.h"

#include "webmap/site_templates.h"

namespace kestrel {

void WriteMapStyle(TextOutput& output) { output.Write(kStyleSheet); }

}  // namespace kestrel
