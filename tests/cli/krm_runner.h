#pragma once
// Runs the krm program as a user does and captures what it prints.

#include <string>
#include <vector>

namespace kestrel::test {

struct KrmRun {
  int status = -1;
  std::string out;
  std::string err;
  long maxResidentKiB = 0;  // the peak memory of the run
};

// Where krm's standard output goes: captured into KrmRun::out, a full disk,
// or nowhere (closed).
enum class StandardOutput { Captured, Full, Closed };

// Runs krm with the arguments in the given time zone (TZ), in the folder cwd.
KrmRun RunKrm(const std::vector<std::string>& args, const std::string& timeZone = "Asia/Tokyo",
              const std::string& cwd = "", StandardOutput output = StandardOutput::Captured);

// Runs a bash command line, as a user types it, in which $KRM is krm.
KrmRun RunShell(const std::string& commandLine, const std::string& timeZone = "Asia/Tokyo",
                const std::string& cwd = "");

}  // namespace kestrel::test
