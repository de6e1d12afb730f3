#pragma once
// A folder in memory (or the temporary folder) for the files a fuzz target
// writes through the program's output files, removed at the end. Each
// parallel fuzzing job has its own.

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrel::fuzz {

class OutputFolder {
 public:
  OutputFolder() {
    std::string pattern = (std::filesystem::exists("/dev/shm") ? std::string("/dev/shm")
                                                               : std::filesystem::temp_directory_path().string()) +
                          "/krm-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    folder_ = pattern;
  }
  ~OutputFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  OutputFolder(const OutputFolder&) = delete;
  OutputFolder& operator=(const OutputFolder&) = delete;

  // The one file written there.
  std::string Path() const { return folder_ + "/out"; }
  std::string Read() const {
    std::ifstream in(Path(), std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

 private:
  std::string folder_;
};

}  // namespace kestrel::fuzz
