#include "platform/paths.h"

#include <sys/stat.h>

namespace kestrel {
namespace {

std::size_t AfterLastSeparator(std::string_view path) {
  std::size_t last = path.find_last_of("/\\");
  return last == std::string_view::npos ? 0 : last + 1;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

SplitPath SplitPathOf(std::string_view path) {
  SplitPath split;
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    split.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  std::size_t nameStart = AfterLastSeparator(path);
  split.directory = std::string(path.substr(0, nameStart));
  std::string_view name = path.substr(nameStart);
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) {
    split.baseName = std::string(name);
  } else {
    split.baseName = std::string(name.substr(0, dot));
    split.extension = std::string(name.substr(dot));
  }
  return split;
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(AfterLastSeparator(path)));
}

bool PathExists(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

}  // namespace kestrel
