#include "app/application.h"

#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

namespace kestrel {
namespace {

constexpr const char* kProfileExtension = ".INI";
constexpr const char* kProfileFolderName = "kestrelmarking";

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not an absolute path.
std::string ConfigHome() {
  if (const char* config = getenv("XDG_CONFIG_HOME"); config != nullptr && config[0] == '/') return config;
  const char* home = getenv("HOME");
  if (home == nullptr || home[0] == '\0') {
    const passwd* user = getpwuid(getuid());
    home = user != nullptr ? user->pw_dir : "";
  }
  return std::string(home) + "/.config";
}

}  // namespace

ApplicationInfo TheApplicationInfo() {
  ApplicationInfo info;
  info.version = KRM_VERSION;
  info.legalNotice = "Copyright (C) 2026 Kestrelmarking developers";
  return info;
}

std::string ProfilePathFor(const std::string& executablePath) {
  const std::filesystem::path executable(executablePath);
  const std::string name = executable.filename().string() + kProfileExtension;
  const std::filesystem::path folder = executable.parent_path();
  // A portable copy of the program keeps its settings in a file beside
  // itself, once one is there; every other copy keeps them per user, even
  // where its folder could be written (~/.local/bin).
  const std::filesystem::path beside = folder / name;
  std::error_code ignored;
  if (std::filesystem::is_regular_file(beside, ignored)) return beside.string();
  return ConfigHome() + "/" + kProfileFolderName + "/" + name;
}

}  // namespace kestrel
