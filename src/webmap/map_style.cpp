#include "webmap/map_style.h"

#include "platform/atomic_file.h"
#include "webmap/site_templates.h"

namespace kestrel {

bool WriteMapStyle(const std::string& stylePath) {
  return WriteTextFile(stylePath, kStyleSheet) == WriteResult::Written;
}

}  // namespace kestrel
