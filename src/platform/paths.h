#pragma once
// Paths as the program's commands split them. Both "/" and "\" separate
// folders, so a path typed in either form splits the same way.

#include <string>
#include <string_view>

namespace kestrel {

struct SplitPath {
  std::string drive;      // a leading letter and colon, or empty
  std::string directory;  // after the drive, up to and including the last separator
  std::string baseName;   // the final component without its extension
  std::string extension;  // from the last "." of the final component, or empty
};

SplitPath SplitPathOf(std::string_view path);

// The path as this system names files: only "/" separates folders, so "\"
// and a leading letter and colon are part of the name (the drive stays
// empty). For the names of files written beside another, which must be
// exactly the names a page links.
SplitPath SplitSystemPathOf(std::string_view path);

// The part of a path after its last "/" or "\" (the whole path without one).
std::string FileNameOf(std::string_view path);

// Whether a file or folder exists at the path.
bool PathExists(const std::string& path);

}  // namespace kestrel
