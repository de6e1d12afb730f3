#pragma once
// The profile: named integers and strings in named sections of an INI file,
// read and written the way the desktop's profile functions do. Section and
// key names match without regard to letter case; a missing value reads as
// the default the caller gives; every write goes to the file at once.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/result.h"

namespace kestrel {

class Profile {
 public:
  explicit Profile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }

  // The value as an integer; a value that is not entirely an optional sign
  // and decimal digits within 32 bits counts as missing.
  int ReadInteger(const std::string& section, const std::string& key, int missing) const;
  // The value as UTF-8 text (a value that is not UTF-8 is read as code page
  // 932, so that a profile written on Windows still reads).
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& missing) const;

  // Keys and their values, as texts.
  using Values = std::vector<std::pair<std::string, std::string>>;

  // Writes the values into one section with one rewrite of the file; the
  // folder is made when missing. Fails, with the system's reason as detail,
  // when the file cannot be written, and then leaves it as it was.
  Result<void> WriteValues(const std::string& section, const Values& values);
  Result<void> WriteInteger(const std::string& section, const std::string& key, int value);
  Result<void> WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  std::optional<std::string> Read(const std::string& section, const std::string& key) const;

  std::string path_;
};

// Switches are stored as the texts "ON" and "OFF"; only the exact text "ON"
// reads as on (any other text, "on" included, is off).
inline constexpr const char* kProfileWriteFailedMessage = "設定を保存出来ませんでした";
// Asked before a page's saved settings are replaced by the defaults.
inline constexpr const char* kResetSettingsQuestion = "保存されている設定を初期値に戻します\nよろしいですか?";

inline bool IsOn(const std::string& value) { return value == "ON"; }
inline const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

}  // namespace kestrel
