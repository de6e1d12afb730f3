#include "platform/profile.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <filesystem>
#include <new>

#include "platform/atomic_file.h"
#include "platform/text_encoding.h"

namespace kestrel {
namespace {

// How the profile's text is read, as the desktop's profile store reads it:
// a zero byte ends the text; a UTF-8 byte order mark at the start is no part
// of it. Between settings, blanks and line breaks (CR, LF or CR LF) are
// skipped. A line whose first character is ";" or "#" is a comment. "[" starts
// a section header: blanks and line breaks after it are skipped, the name runs
// to "]" (trailing blanks cut) and the rest of the line is ignored; a header
// without "]" before the line's end is damaged, and the settings after it
// belong to no section until the next header. Any other line is "key=value":
// the key runs to the first "=" with trailing blanks cut, the value to the
// end of the line with leading and trailing blanks cut. A line without "="
// or without a key is ignored. Settings before the first header are in the
// section "".
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

struct Item {
  enum class Kind { Header, DamagedHeader, Setting } kind;
  std::string_view name;  // the section's name, or the setting's key
  std::size_t valueBegin = 0;     // the value read: after the blanks that follow "="
  std::size_t valueEnd = 0;       // and before the blanks that end the line
  std::size_t equalsEnd = 0;      // the value written: after "="
  std::size_t lineContentEnd = 0;  // and up to the line break
  std::size_t end = 0;             // after the line break
};


std::size_t SkipLineBreak(std::string_view text, std::size_t at) {
  if (at >= text.size()) return at;
  return at + (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n' ? 2 : 1);
}

std::size_t CutTrailingBlanks(std::string_view text, std::size_t begin, std::size_t end) {
  while (end > begin && IsBlank(text[end - 1])) --end;
  return end;
}

// Hands each item of the text to visit, in order. Returns where a "[" is
// left open at the end, with nothing but blanks after it: whatever followed
// would become the name of its section.
template <typename Visit>
std::optional<std::size_t> Scan(std::string_view text, Visit&& visit) {
  std::optional<std::size_t> openHeaderAtEnd;
  text = text.substr(0, text.find('\0'));
  std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  const std::size_t size = text.size();
  const auto toLineEnd = [&] {
    while (at < size && !IsLineBreak(text[at])) ++at;
  };
  for (;;) {
    while (at < size && IsBlank(text[at])) ++at;
    if (at >= size) break;
    if (text[at] == ';' || text[at] == '#') {
      toLineEnd();
      continue;
    }
    if (text[at] == '[') {
      const std::size_t open = at++;
      while (at < size && IsBlank(text[at])) ++at;
      if (at >= size) openHeaderAtEnd = open;
      const std::size_t nameBegin = at;
      while (at < size && text[at] != ']' && !IsLineBreak(text[at])) ++at;
      if (at >= size || text[at] != ']') {
        visit(Item{Item::Kind::DamagedHeader, {}});
        continue;
      }
      const std::string_view name = text.substr(nameBegin, CutTrailingBlanks(text, nameBegin, at) - nameBegin);
      toLineEnd();
      visit(Item{Item::Kind::Header, name, 0, 0, 0, at, SkipLineBreak(text, at)});
      continue;
    }
    const std::size_t keyBegin = at;
    while (at < size && text[at] != '=' && !IsLineBreak(text[at])) ++at;
    if (at >= size || text[at] != '=') continue;
    if (at == keyBegin) {
      toLineEnd();
      continue;
    }
    const std::string_view key = text.substr(keyBegin, CutTrailingBlanks(text, keyBegin, at) - keyBegin);
    const std::size_t equalsEnd = ++at;
    while (at < size && (text[at] == ' ' || text[at] == '\t')) ++at;
    const std::size_t valueBegin = at;
    toLineEnd();
    const std::size_t valueEnd = CutTrailingBlanks(text, valueBegin, at);
    const std::size_t lineContentEnd = at;
    at = SkipLineBreak(text, at);
    visit(Item{Item::Kind::Setting, key, valueBegin, valueEnd, equalsEnd, lineContentEnd, at});
  }
  return openHeaderAtEnd;
}

// Names match without regard to the case of ASCII letters.
std::string Lower(std::string_view name) {
  std::string lower(name);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) == (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
         });
}

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

constexpr const char* kProfileRule = " (a profile is a regular file of at most 16 MiB)";
// A profile that is only read may come from a pipe or a device.
constexpr const char* kReadOnlyProfileRule = " (a profile is at most 16 MiB)";

// The bytes of a profile whole. A profile that is only read may be a stream
// (a pipe, a device): read once, as far as the bound; otherwise a stream is
// refused, for a profile that is saved is a regular file.
Result<std::string> ReadProfileBytes(ByteSource& source, const char* message, bool onlyRead) {
  const std::int64_t size = source.Size();
  const std::string rule = onlyRead ? kReadOnlyProfileRule : kProfileRule;
  if (size < 0 && !onlyRead) return Fail(message, source.Name() + ": not a regular file" + rule);
  if (size > static_cast<std::int64_t>(kMaxProfileBytes)) {
    return Fail(message, source.Name() + ": larger than 16 MiB" + rule);
  }
  try {
    std::string bytes(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)), '\0');
    std::size_t filled = 0;
    for (;;) {
      // One byte more than the size said shows a file that has grown.
      if (filled == bytes.size()) bytes.resize(std::min(bytes.size() + 4096, kMaxProfileBytes + 1));
      const ByteSource::ReadCount got = source.Read(bytes.data() + filled, bytes.size() - filled);
      if (got.error != 0) return Fail(message, SystemDetail(source.Name(), got.error));
      filled += got.bytes;
      if (got.bytes == 0) break;
      if (filled > kMaxProfileBytes) return Fail(message, source.Name() + ": larger than 16 MiB" + rule);
    }
    bytes.resize(filled);
    return bytes;
  } catch (const std::bad_alloc&) {
    return Fail(message, SystemDetail(source.Name(), ENOMEM));
  }
}

// The bytes of the profile file; none for a missing file. A pipe is opened
// without waiting for a writer, and refused.
Result<std::string> ReadProfileFile(const std::string& path, const char* message) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return std::string();
    return Fail(message, SystemDetail(path, errno));
  }
  FileSource source(fd, path);
  return ReadProfileBytes(source, message, false);
}

Result<void> SaveProfile(const std::string& path, const std::string& text) {
  std::error_code folderError;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, folderError);
  if (folderError) return Fail(kProfileWriteFailedMessage, SystemDetail(folder.string(), folderError.value()));
  AtomicFile file;
  if (Result<void> created = file.Create(path); !created) return Retold(created.error(), kProfileWriteFailedMessage);
  file.Write(text);
  if (Result<void> committed = file.Commit(AtomicFile::Overwrite::AnyFile); !committed) {
    return Retold(committed.error(), kProfileWriteFailedMessage);
  }
  return {};
}

}  // namespace

Profile::Profile(std::string path) : path_(std::move(path)) {
  Result<std::string> text = ReadProfileFile(path_, kProfileReadFailedMessage);
  if (!text) {
    loaded_ = text.error();
    return;
  }
  Hold(std::move(*text));
}

Profile::Profile(std::string path, ByteSource& source) : path_(std::move(path)) {
  Result<std::string> text = ReadProfileBytes(source, kProfileReadFailedMessage, true);
  if (!text) {
    loaded_ = text.error();
    return;
  }
  Hold(std::move(*text));
}

void Profile::Hold(std::string text) {
  text_ = std::move(text);
  sections_.clear();
  std::vector<Setting>* section = &sections_[""];
  Scan(text_, [&](const Item& item) {
    if (item.kind == Item::Kind::Setting) {
      if (section != nullptr) {
        section->push_back({static_cast<std::size_t>(item.name.data() - text_.data()), item.name.size(),
                            item.valueBegin, item.valueEnd});
      }
    } else {
      section = item.kind == Item::Kind::Header ? &sections_[Lower(item.name)] : nullptr;
    }
  });
}

std::optional<std::string> Profile::Read(const std::string& section, const std::string& key) const {
  const auto found = sections_.find(Lower(section));
  if (found == sections_.end()) return std::nullopt;
  for (const Setting& setting : found->second) {
    if (SameName(std::string_view(text_).substr(setting.keyBegin, setting.keyLength), key)) {
      return text_.substr(setting.valueBegin, setting.valueEnd - setting.valueBegin);
    }
  }
  return std::nullopt;
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

std::string ProfileTextWith(std::string_view text, const std::string& section, const Profile::Values& values) {
  const std::string lineEnd = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
  const bool global = section.empty();  // the settings before the first header

  // The value of a key written twice is the last one.
  struct Pending {
    std::string key;
    std::string value;
  };
  std::vector<Pending> pending;
  for (const auto& given : values) {
    std::string line = given.second;
    std::replace_if(line.begin(), line.end(), [](char c) { return c == '\n' || c == '\r' || c == '\0'; }, ' ');
    const auto same = std::find_if(pending.begin(), pending.end(),
                                   [&given](const Pending& entry) { return SameName(entry.key, given.first); });
    if (same != pending.end()) {
      same->value = std::move(line);
    } else {
      pending.push_back({given.first, std::move(line)});
    }
  }

  // The changes, by their place in the text: a value replaced, or lines added.
  struct Change {
    std::size_t begin;
    std::size_t end;
    std::string text;
  };
  std::vector<Change> changes;
  std::optional<std::size_t> insertAt;  // after the last setting of the section's first header
  bool inSection = global;
  bool firstInstance = global;
  bool sectionSeen = global;
  const std::optional<std::size_t> openHeaderAtEnd = Scan(text, [&](const Item& item) {
    if (item.kind != Item::Kind::Setting) {
      inSection = item.kind == Item::Kind::Header && SameName(item.name, section);
      firstInstance = inSection && !sectionSeen;
      if (firstInstance) insertAt = item.end;
      sectionSeen = sectionSeen || inSection;
      return;
    }
    if (!inSection) return;
    if (firstInstance) insertAt = item.end;
    const auto found = std::find_if(pending.begin(), pending.end(),
                                    [&item](const Pending& entry) { return SameName(entry.key, item.name); });
    if (found == pending.end()) return;
    changes.push_back({item.equalsEnd, item.lineContentEnd, std::move(found->value)});
    pending.erase(found);
  });
  if (global && !insertAt) insertAt = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;

  std::string added;
  for (const Pending& entry : pending) added += entry.key + "=" + entry.value + lineEnd;
  if (!added.empty()) {
    std::size_t at = insertAt.value_or(text.size());
    if (!insertAt) {
      // A new section goes at the end, after a blank line; before a "[" left
      // open there, which would otherwise take the header for its name.
      added = "[" + section + "]" + lineEnd + added;
      if (openHeaderAtEnd) {
        at = *openHeaderAtEnd;
      } else if (!text.empty()) {
        added = lineEnd + added;
      }
    }
    if (at > 0 && at == text.size() && !IsLineBreak(text[at - 1])) added = lineEnd + added;
    changes.push_back({at, at, std::move(added)});
  }

  std::sort(changes.begin(), changes.end(), [](const Change& a, const Change& b) { return a.begin < b.begin; });
  std::string result;
  result.reserve(text.size() + 256);
  std::size_t copied = 0;
  for (const Change& change : changes) {
    result.append(text.substr(copied, change.begin - copied));
    result.append(change.text);
    copied = change.end;
  }
  result.append(text.substr(copied));
  return result;
}

Result<void> Profile::WriteValues(const std::string& section, const Values& values) {
  try {
    // The file as it is now: another copy of the program may have saved
    // other settings since this one read it.
    Result<std::string> current = ReadProfileFile(path_, kProfileWriteFailedMessage);
    if (!current) return current.error();
    if (const std::size_t zero = current->find('\0'); zero != std::string::npos) {
      return Fail(kProfileWriteFailedMessage, path_ + ": a zero byte at byte " + std::to_string(zero) +
                                                  ": the file cannot be read whole and is left as it is");
    }
    std::string text = ProfileTextWith(*current, section, values);
    if (Result<void> saved = SaveProfile(path_, text); !saved) return saved;
    Hold(std::move(text));
    loaded_ = {};
    return {};
  } catch (const std::bad_alloc&) {
    return Fail(kProfileWriteFailedMessage, SystemDetail(path_, ENOMEM));
  }
}

Result<void> Profile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteValues(section, {{key, std::to_string(value)}});
}

Result<void> Profile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
  return WriteValues(section, {{key, value}});
}

}  // namespace kestrel
