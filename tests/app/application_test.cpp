// Where the profile lives and what the version dialog says.

#include "app/application.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>

#include "support/test_support.h"

namespace kestrel {
namespace {

// Sets or clears an environment variable for the scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* current = getenv(name)) previous_ = current;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (previous_) {
      setenv(name_, previous_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> previous_;
};

TEST(ProfilePath, BesideTheExecutableOnlyWhereAProfileIsThere) {
  test::TempDir folder;
  const ScopedVariable configHome("XDG_CONFIG_HOME", "/xdg");
  // A folder that can be written is not enough (~/.local/bin).
  EXPECT_EQ(ProfilePathFor(folder.Path("kestrelmarking")), "/xdg/kestrelmarking/kestrelmarking.INI");
  test::WriteFileBytes(folder.Path("kestrelmarking.INI"), "");
  EXPECT_EQ(ProfilePathFor(folder.Path("kestrelmarking")), folder.Path("kestrelmarking.INI"));
  // Another copy of the program, with another name, has settings of its own.
  EXPECT_EQ(ProfilePathFor(folder.Path("km-copy")), "/xdg/kestrelmarking/km-copy.INI");
}

TEST(ProfilePath, PerUserOtherwise) {
  const std::string executable = "/nonexistent-krm-folder/bin/kestrelmarking";
  struct Case {
    const char* configHome;
    const char* home;
    const char* expected;
  };
  const Case cases[] = {
      {"/xdg", "/home/u", "/xdg/kestrelmarking/kestrelmarking.INI"},
      {nullptr, "/home/u", "/home/u/.config/kestrelmarking/kestrelmarking.INI"},
      // A relative $XDG_CONFIG_HOME is not to be used.
      {"relative", "/home/u", "/home/u/.config/kestrelmarking/kestrelmarking.INI"},
  };
  for (const Case& c : cases) {
    const ScopedVariable configHome("XDG_CONFIG_HOME", c.configHome);
    const ScopedVariable home("HOME", c.home);
    EXPECT_EQ(ProfilePathFor(executable), c.expected) << (c.configHome ? c.configHome : "(unset)");
  }
}

TEST(ApplicationInfo, NamesTheProgramAndItsVersion) {
  const ApplicationInfo info = TheApplicationInfo();
  EXPECT_EQ(info.name, "Kestrelmarking");
  EXPECT_EQ(info.VersionLine(), "Kestrelmarking ver 1.00");
  EXPECT_FALSE(info.legalNotice.empty());
}

}  // namespace
}  // namespace kestrel
