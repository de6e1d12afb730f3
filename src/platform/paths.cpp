#include "platform/paths.h"

#include <sys/stat.h>

namespace kestrel {
namespace {

// The separators of a path typed in either form.
constexpr std::string_view kEitherSeparator = "/\\";

std::size_t AfterLastSeparator(std::string_view path, std::string_view separators) {
  std::size_t last = path.find_last_of(separators);
  return last == std::string_view::npos ? 0 : last + 1;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Directory, base name and extension of a path without its drive.
void SplitFolderAndName(std::string_view path, std::string_view separators, SplitPath& split) {
  std::size_t nameStart = AfterLastSeparator(path, separators);
  split.directory = std::string(path.substr(0, nameStart));
  std::string_view name = path.substr(nameStart);
  std::size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) {
    split.baseName = std::string(name);
  } else {
    split.baseName = std::string(name.substr(0, dot));
    split.extension = std::string(name.substr(dot));
  }
}

}  // namespace

SplitPath SplitPathOf(std::string_view path) {
  SplitPath split;
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    split.drive = std::string(path.substr(0, 2));
    path.remove_prefix(2);
  }
  SplitFolderAndName(path, kEitherSeparator, split);
  return split;
}

SplitPath SplitSystemPathOf(std::string_view path) {
  SplitPath split;
  SplitFolderAndName(path, "/", split);
  return split;
}

std::string FileNameOf(std::string_view path) {
  return std::string(path.substr(AfterLastSeparator(path, kEitherSeparator)));
}

bool PathExists(const std::string& path) {
  struct stat status {};
  return ::stat(path.c_str(), &status) == 0;
}

}  // namespace kestrel
