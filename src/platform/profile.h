#pragma once
// The profile: named integers and strings in named sections of an INI file,
// read and written the way the desktop's profile functions do. Section and
// key names match without regard to letter case; a missing value reads as
// the default the caller gives. The file is read once, when the profile is
// made; every write goes to the file at once.
//
// A write changes the lines of the keys it writes and nothing else: comment
// lines, unknown keys and sections, sections given twice and lines that are
// no setting at all stay as they are. A profile that is saved is a regular
// file of at most kMaxProfileBytes; a file that cannot be read whole (no
// permission, a zero byte, a pipe or device, a larger file) is never
// rewritten.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/byte_source.h"
#include "platform/result.h"

namespace kestrel {

class Profile {
 public:
  // Reads the file at path. A missing file, or none (an empty path), is an
  // empty profile; a file that cannot be read is one too, and Loaded() says why.
  explicit Profile(std::string path);
  // Reads the profile of the file at path once from a source already open,
  // to be read only: a stream too (a pipe, a device), as far as
  // kMaxProfileBytes; it is never saved over a stream.
  Profile(std::string path, ByteSource& source);

  const std::string& Path() const { return path_; }
  // Fails with kProfileReadFailedMessage and the reason when the file could
  // not be read.
  const Result<void>& Loaded() const { return loaded_; }

  // The value as an integer; a value that is not entirely an optional sign
  // and decimal digits within 32 bits counts as missing.
  int ReadInteger(const std::string& section, const std::string& key, int missing) const;
  // The value as UTF-8 text (a value that is not UTF-8 is read as code page
  // 932, so that a profile written on Windows still reads).
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& missing) const;

  // Keys and their values, as texts.
  using Values = std::vector<std::pair<std::string, std::string>>;

  // Writes the values into one section with one rewrite of the file (as it
  // is on disk now); the folder is made when missing. Fails with
  // kProfileWriteFailedMessage and the reason as detail when the file cannot
  // be read whole or written, and then leaves it as it was.
  Result<void> WriteValues(const std::string& section, const Values& values);
  Result<void> WriteInteger(const std::string& section, const std::string& key, int value);
  Result<void> WriteString(const std::string& section, const std::string& key, const std::string& value);

 private:
  void Hold(std::string text);
  std::optional<std::string> Read(const std::string& section, const std::string& key) const;

  std::string path_;
  Result<void> loaded_;
  std::string text_;
  // Where the settings of each section are in the text, in their order, by
  // the section's name in lower case (a section given twice is one).
  struct Setting {
    std::size_t keyBegin;
    std::size_t keyLength;
    std::size_t valueBegin;
    std::size_t valueEnd;
  };
  std::unordered_map<std::string, std::vector<Setting>> sections_;
};

// The text of a profile with the values written into the section: the line
// of each key that is there gets the new value; the keys that are not are
// added after the section's last setting, and a section that is not there is
// added at the end. A value's line breaks and zero bytes become blanks, so
// that it stays one value.
std::string ProfileTextWith(std::string_view text, const std::string& section, const Profile::Values& values);

inline constexpr std::size_t kMaxProfileBytes = std::size_t{16} << 20;

// Switches are stored as the texts "ON" and "OFF"; only the exact text "ON"
// reads as on (any other text, "on" included, is off).
inline constexpr const char* kProfileWriteFailedMessage = "設定を保存出来ませんでした";
inline constexpr const char* kProfileReadFailedMessage = "設定を読み込めませんでした";
// Asked before a page's saved settings are replaced by the defaults.
inline constexpr const char* kResetSettingsQuestion = "保存されている設定を初期値に戻します\nよろしいですか?";

inline bool IsOn(const std::string& value) { return value == "ON"; }
inline const char* OnOff(bool on) { return on ? "ON" : "OFF"; }

}  // namespace kestrel
