// Loading through the core, as the trail and open commands do it.
//
//   load_benchmark USR_FILE USR4_FILE NMEA_LOG [benchmark options]
//
// LoadUsrTrail, LoadUsr4Trail: LoadPoints for the first trail of the .usr
// file of version 2 and of version 4. OpenNmeaLog: the whole open command on
// the log (check, load, statistics and the summary text).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <iostream>
#include <memory>
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
  LoadRequest request;
  request.recordCount = trail.pointCount;
  request.dataOffset = trail.dataOffset;
  request.layout = trail.layout;
  for (auto _ : state) {
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
    const std::unique_ptr<ByteSource> file = OpenTrackInput(path, TrackFileKind::NmeaLog, shell);
    const std::optional<std::string> text = file ? OpenNmeaLog(track, *file, shell) : std::nullopt;
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
  if (argc != 4) {
    std::cerr << "usage: load_benchmark USR_FILE USR4_FILE NMEA_LOG [benchmark options]\n";
    return 2;
  }
  const std::string usrPath = argv[1];
  const std::string usr4Path = argv[2];
  const std::string logPath = argv[3];
  benchmark::RegisterBenchmark("LoadUsrTrail", LoadUsrTrail, usrPath)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("LoadUsr4Trail", LoadUsrTrail, usr4Path)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("OpenNmeaLog", OpenLog, logPath)->Unit(benchmark::kMillisecond);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
