#include "webmap/map_output.h"

#include <deque>
#include <optional>

#include "platform/atomic_file.h"
#include "platform/output_path.h"
#include "platform/paths.h"
#include "platform/result.h"
#include "webmap/map_page.h"
#include "webmap/map_script.h"
#include "webmap/map_style.h"
#include "webmap/tile_map.h"

namespace kestrel {
namespace {

// The files of a site, each written whole under a temporary name, then put
// in place together in the order they were begun: a cancel leaves no file
// behind, and after a failure the files begun before it are put in place.
// Every failure of a file is told as "実行エラー\n", with its reason.
class SiteFiles {
 public:
  // The output of the next file.
  Result<TextOutput*> Begin(const std::string& path) {
    TextOutput& output = files_.emplace_back();
    if (Result<void> created = output.Create(path); !created) {
      files_.pop_back();
      return Retold(created.error(), kMapWriteFailedMessage);
    }
    return &output;
  }
  // The file begun last is not to be put in place.
  void DropLast() { files_.pop_back(); }

  Result<void> PutInPlace() {
    for (TextOutput& output : files_) {
      if (Result<void> committed = output.Commit(); !committed) {
        return Retold(committed.error(), kMapWriteFailedMessage);
      }
    }
    return {};
  }

 private:
  std::deque<TextOutput> files_;
};

// Writes the page, the script and the style sheet with one base name in one
// folder, and on map tiles Leaflet's files and the tile map script after
// them. Stops at the first failure, and after the page where the script has
// no points to list. The base name is the one of the file as this system
// names it ("\" is part of it), so the files linked are the files written.
Result<void> WriteSite(SiteFiles& site, const MapRequest& request, const TrackData& track,
                       const std::string& pagePath, const Progress& progress) {
  const SplitPath page = SplitSystemPathOf(pagePath);
  const std::string stem = page.directory + page.baseName;
  Result<TextOutput*> output = site.Begin(pagePath);
  if (!output) return output.error();
  WriteMapPage(**output, page.baseName, request.settings);

  output = site.Begin(stem + ".js");
  if (!output) return output.error();
  const Result<ScriptListing> script = WriteMapScript(**output, request.settings, request.thinning, track, progress);
  if (!script || *script == ScriptListing::NothingToList) {
    site.DropLast();
    return script ? Fail(kMapWriteFailedMessage) : script.error();
  }

  output = site.Begin(stem + ".css");
  if (!output) return output.error();
  WriteMapStyle(**output);

  if (const TileMap* tiles = TileMapOf(request.settings.service)) {
    for (const TileSiteFile& file : TileSiteFiles(*tiles)) {
      output = site.Begin(stem + std::string(file.suffix));
      if (!output) return output.error();
      (*output)->Write(file.text);
    }
  }
  return {};
}

}  // namespace

std::optional<std::string> RunMapOutput(const MapRequest& request, const TrackData& track, const std::string& trackFilePath, Shell& shell) {
  if (const std::optional<std::string> problem = ThinningProblem(track, request.thinning)) {
    shell.ShowMessage({*problem});
    return std::nullopt;
  }
  const std::optional<std::string> pagePath =
      NameOutputFile(shell, request.settings.sameName, trackFilePath, ".html", kMapPageDialog);
  if (!pagePath) return std::nullopt;

  // The script and the style sheet go beside the page, with its base name;
  // an existing one is replaced without a question.
  SiteFiles site;
  Result<void> written = WriteSite(site, request, track, *pagePath, ProgressTo(shell));
  if (!written && written.error().cancelled) return std::nullopt;
  // A file that cannot be put in place comes before the failure that
  // stopped the writing, which a later file met.
  if (Result<void> placed = site.PutInPlace(); !placed) written = placed;
  if (!written) {
    ShowFailure(shell, written.error());
    return std::nullopt;
  }
  shell.ShowMessage({kMapDoneMessage, MessageIcon::Information});
  return pagePath;
}

}  // namespace kestrel
