// Loading through the core, as the trail and open commands do it.
//
//   load_benchmark USR_FILE NMEA_LOG [benchmark options]
//
// LoadUsrTrail: AllocatePoints and LoadPoints for the first trail of the .usr
// file. OpenNmeaLog: the whole open command on the log (check, allocate,
// load, statistics and the summary text).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <string>

#include "platform/byte_source.h"
#include "platform/shell.h"
#include "track/loader.h"
#include "track/open_commands.h"
#include "track/track_data.h"
#include "track/usr_reader.h"

namespace {

using namespace kestrel;

// Answers nothing and shows nothing, but remembers that a command wanted to
// say something: on these files every message means a failed load.
class SilentShell final : public Shell {
 public:
  void ShowMessage(const Message&) override { ++messageCount; }
  bool AskYesNo(std::string_view) override { return false; }
  std::optional<std::string> ChooseFileToSave(const FileDialogRequest&) override { return std::nullopt; }
  bool PathExists(const std::string&) override { return false; }
  bool ReportProgress(std::int64_t, std::int64_t) override { return true; }

  int messageCount = 0;
};

void LoadUsrTrail(benchmark::State& state, const std::string& path) {
  TrackData track;
  Result<FileSource> file = OpenFileSource(path);
  if (!file || !ReadUsrFile(track, *file)) {
    state.SkipWithError("the .usr file cannot be read");
    return;
  }
  if (track.summary.trails.empty() || track.summary.trails.front().pointCount == 0) {
    state.SkipWithError("the .usr file has no trail with points");
    return;
  }
  const TrailEntry& trail = track.summary.trails.front();
  const LoadRequest request{trail.pointCount, trail.dataOffset, LoadKind::UsrTrail, 0};
  for (auto _ : state) {
    if (!track.AllocatePoints(trail.pointCount)) {
      state.SkipWithError("no memory for the points");
      break;
    }
    const Result<std::optional<Message>> load = LoadPoints(track, request, *file);
    if (!load || *load) {
      state.SkipWithError("the trail did not load");
      break;
    }
    benchmark::DoNotOptimize(track.points.data());
  }
  state.SetItemsProcessed(state.iterations() * trail.pointCount);
}

void OpenLog(benchmark::State& state, const std::string& path) {
  SilentShell shell;
  TrackData track;
  for (auto _ : state) {
    const std::optional<std::string> text = OpenNmeaLog(track, path, shell);
    if (!text || shell.messageCount > 0) {
      state.SkipWithError("the log did not load");
      break;
    }
    benchmark::DoNotOptimize(text->data());
  }
  state.SetItemsProcessed(state.iterations() * track.pointCount);
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (!error) state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (argc != 3) {
    std::cerr << "usage: load_benchmark USR_FILE NMEA_LOG [benchmark options]\n";
    return 2;
  }
  const std::string usrPath = argv[1];
  const std::string logPath = argv[2];
  benchmark::RegisterBenchmark("LoadUsrTrail", LoadUsrTrail, usrPath)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("OpenNmeaLog", OpenLog, logPath)->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
