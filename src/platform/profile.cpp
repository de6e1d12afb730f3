#include "platform/profile.h"

// Values are bytes to the library; the profile decodes them itself.
#define SI_NO_CONVERSION
// Debian splits the library into declarations and an implementation part;
// this file is the one user, so it takes the implementation in.
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace kestrel {
namespace {

// Case-insensitive names; of a key given twice, the first value counts.
class IniFile {
 public:
  explicit IniFile(const std::string& path) : ini_(false, true, false) {
    ini_.SetSpaces(false);
    std::ifstream in(path, std::ios::binary);
    if (!in) return;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    // A damaged file gives what could be read of it; never an error.
    ini_.LoadData(bytes.str());
  }

  std::optional<std::string> Get(const std::string& section, const std::string& key) const {
    const char* value = ini_.GetValue(section.c_str(), key.c_str(), nullptr);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }

  void Set(const std::string& section, const std::string& key, const std::string& value) {
    ini_.SetValue(section.c_str(), key.c_str(), value.c_str(), nullptr, true);
  }

  Result<void> Save(const std::string& path) const {
    std::string text;
    if (ini_.Save(text) < 0) return Fail(kProfileWriteFailedMessage, path);
    std::error_code folderError;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, folderError);
    if (folderError) return Fail(kProfileWriteFailedMessage, SystemDetail(folder.string(), folderError.value()));
    AtomicFile file;
    if (auto created = file.Create(path); !created) return Retold(created.error(), kProfileWriteFailedMessage);
    file.Write(text);
    if (auto committed = file.Commit(); !committed) return Retold(committed.error(), kProfileWriteFailedMessage);
    return {};
  }

 private:
  CSimpleIniA ini_;
};

bool IsUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += length;
  }
  return true;
}

}  // namespace

std::optional<std::string> Profile::Read(const std::string& section, const std::string& key) const {
  return IniFile(path_).Get(section, key);
}

int Profile::ReadInteger(const std::string& section, const std::string& key, int missing) const {
  const std::optional<std::string> value = Read(section, key);
  if (!value) return missing;
  std::string_view digits = *value;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '+' || negative)) digits.remove_prefix(1);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) return missing;
  // Parsed with its sign, so that -2147483648 is in range.
  const std::string text = negative ? "-" + std::string(digits) : std::string(digits);
  int number = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || stop != text.data() + text.size()) return missing;
  return number;
}

std::string Profile::ReadString(const std::string& section, const std::string& key,
                                const std::string& missing) const {
  std::optional<std::string> value = Read(section, key);
  if (!value) return missing;
  if (!IsUtf8(*value)) ConvertToUtf8(*value);
  return *value;
}

Result<void> Profile::WriteValues(const std::string& section, const Values& values) {
  IniFile ini(path_);
  for (const auto& [key, value] : values) {
    // A value is one line: a line break in it would start keys or sections
    // of its own when the file is read again.
    std::string line = value;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    ini.Set(section, key, line);
  }
  return ini.Save(path_);
}

Result<void> Profile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteValues(section, {{key, std::to_string(value)}});
}

Result<void> Profile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteValues(section, {{key, value}});
}

}  // namespace kestrel
