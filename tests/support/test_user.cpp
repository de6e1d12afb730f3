#include "support/test_user.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>

namespace kestrel::test {

std::optional<TestUser> TestUserToBecome(std::string& why) {
  if (::geteuid() != 0) {
    why = "the cases of another user need root";
    return std::nullopt;
  }
  const passwd* user = ::getpwnam(kTestUserName);
  if (user == nullptr) {
    why = std::string("no user ") + kTestUserName + ": tools/setup --test makes it";
    return std::nullopt;
  }
  return TestUser{user->pw_uid, user->pw_gid};
}

std::string RunInChild(const std::function<std::string()>& work) {
  int ends[2];
  if (::pipe2(ends, O_CLOEXEC) != 0) return "no pipe to the child process";
  const pid_t child = ::fork();
  if (child < 0) return "no child process";
  if (child == 0) {
    ::close(ends[0]);
    const std::string result = work();
    for (std::size_t sent = 0; sent < result.size();) {
      const ssize_t n = ::write(ends[1], result.data() + sent, result.size() - sent);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    ::_exit(0);
  }
  ::close(ends[1]);
  std::string result;
  char buffer[4096];
  for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) result.append(buffer, static_cast<std::size_t>(n));
  ::close(ends[0]);
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status)) return "the child process ended by signal " + std::to_string(WTERMSIG(status)) + "; " + result;
  return result;
}

std::string RunAsUser(const TestUser& user, const std::function<std::string()>& work) {
  return RunInChild([&] {
    if (::setgroups(0, nullptr) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0) {
      return std::string("cannot become ") + kTestUserName;
    }
    return work();
  });
}

bool ForbidUnnamedFiles() {
  // openat's flags are its third argument (their low 32 bits, on a
  // little-endian machine); O_TMPFILE is a bit of its own with O_DIRECTORY.
  constexpr unsigned kTmpfileBit = O_TMPFILE & ~O_DIRECTORY;
  sock_filter filter[] = {
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
      BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3),
      BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, args[2])),
      BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, kTmpfileBit, 0, 1),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP),
      BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
  };
  const sock_fprog program{static_cast<unsigned short>(sizeof filter / sizeof filter[0]), filter};
  return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

}  // namespace kestrel::test
