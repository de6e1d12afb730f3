#pragma once
// The application: its name and version for the version dialog, and where
// its profile lives.

#include <string>

namespace kestrel {

struct ApplicationInfo {
  std::string name = "Kestrelmarking";  // caption of every message box
  std::string description = "Kestrelmarking";
  std::string version;  // from the build, e.g. "1.00"
  std::string legalNotice;

  // The first line of the version dialog: "<description> ver <version>".
  std::string VersionLine() const { return description + " ver " + version; }
};

ApplicationInfo TheApplicationInfo();

// The profile beside the executable, named like it with ".INI", where such a
// file is already there (a portable copy); otherwise the same name under
// $XDG_CONFIG_HOME/kestrelmarking (by default ~/.config/kestrelmarking).
std::string ProfilePathFor(const std::string& executablePath);

}  // namespace kestrel
