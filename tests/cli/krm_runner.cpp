#include "cli/krm_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>

#include "support/test_support.h"

extern char** environ;

namespace kestrel::test {

namespace {

// Runs the command (after env and the environment) with stdin /dev/null.
KrmRun Run(const std::vector<std::string>& program, const std::string& timeZone, const std::string& cwd,
           StandardOutput output) {
  TempDir capture;
  const std::string outPath = capture.Path("out");
  const std::string errPath = capture.Path("err");
  std::vector<std::string> command = {"env", "TZ=" + timeZone, "LC_ALL=C.UTF-8", std::string("KRM=") + KRM_PATH};
  command.insert(command.end(), program.begin(), program.end());
  std::vector<char*> argv;
  for (std::string& arg : command) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (output == StandardOutput::Full) posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
  if (output == StandardOutput::Closed) posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, "env", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) throw std::runtime_error("cannot start krm");
  int waitStatus = 0;
  rusage usage{};
  wait4(pid, &waitStatus, 0, &usage);

  KrmRun run;
  run.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
  run.out = ReadFileBytes(outPath);
  run.err = ReadFileBytes(errPath);
  run.maxResidentKiB = usage.ru_maxrss;
  return run;
}

}  // namespace

KrmRun RunKrm(const std::vector<std::string>& args, const std::string& timeZone, const std::string& cwd,
              StandardOutput output) {
  std::vector<std::string> program = {KRM_PATH};
  program.insert(program.end(), args.begin(), args.end());
  return Run(program, timeZone, cwd, output);
}

KrmRun RunShell(const std::string& commandLine, const std::string& timeZone, const std::string& cwd) {
  return Run({"bash", "-c", commandLine}, timeZone, cwd, StandardOutput::Captured);
}

}  // namespace kestrel::test
