#pragma once
// Permission cases run as root and as an unprivileged user. tools/setup
// --test makes the user; a test run by root runs the user's cases in a child
// process with the user's ids, a test run by another user is unprivileged
// already. Child processes also stand in for a file system without unnamed
// temporary files.

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

namespace kestrel::test {

inline constexpr const char* kTestUserName = "krmtest";

struct TestUser {
  uid_t uid;
  gid_t gid;
};

// The test user when this process is root and the user exists; otherwise
// nothing, and why says what is missing.
std::optional<TestUser> TestUserToBecome(std::string& why);

// Runs the work in a child process and returns what it returns: "" when all
// went well, else what went wrong.
std::string RunInChild(const std::function<std::string()>& work);
// The same as the user: its uid and gid, and no other groups.
std::string RunAsUser(const TestUser& user, const std::function<std::string()>& work);

// From now on this process sees file systems without unnamed temporary
// files: opening with O_TMPFILE fails with EOPNOTSUPP. Only for a child
// process; false where the system does not allow it.
bool ForbidUnnamedFiles();

}  // namespace kestrel::test
