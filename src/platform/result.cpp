#include "platform/result.h"

#include <cstring>

namespace kestrel {

std::string SystemDetail(const std::string& name, int error) {
  // The GNU strerror_r: thread-safe, and it may return a static text instead of the buffer.
  char buffer[256];
  return name + ": " + ::strerror_r(error, buffer, sizeof buffer);
}

}  // namespace kestrel
