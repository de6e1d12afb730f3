#include "webmap/map_output.h"

#include <algorithm>
#include <deque>
#include <new>
#include <optional>
#include <vector>

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
    File& file = files_.emplace_back();
    file.path = path;
    if (Result<void> created = file.output.Create(path); !created) {
      files_.pop_back();
      return Retold(created.error(), kMapWriteFailedMessage);
    }
    return &file.output;
  }
  // The file begun last is not to be put in place.
  void DropLast() { files_.pop_back(); }

  // The page takes its name only while it is free, or after the question;
  // the files beside it replace theirs without one. The folder reaches the
  // disk once, with the last file that replaces one.
  Result<void> PutInPlace(Shell& shell) {
    const auto lastReplacing = std::find_if(files_.rbegin(), files_.rend(),
                                            [](const File& file) { return file.output.Replaces(); });
    for (File& file : files_) {
      const AtomicFile::FolderSync sync = lastReplacing != files_.rend() && &file == &*lastReplacing
                                              ? AtomicFile::FolderSync::Now
                                              : AtomicFile::FolderSync::WithALaterFile;
      const Result<void> committed = &file == &files_.front()
                                         ? CommitOutput(file.output, file.path, shell, sync)
                                         : file.output.Commit(AtomicFile::Overwrite::AnyFile, sync);
      if (!committed) return Retold(committed.error(), kMapWriteFailedMessage);
    }
    return {};
  }

 private:
  struct File {
    std::string path;
    TextOutput output;
  };
  std::deque<File> files_;
};

// The paths of the site's files: the page, then its script and style sheet
// with the page's base name in its folder, and on map tiles Leaflet's files
// and the tile map script. The base name is the one of the file as this
// system names it ("\" is part of it), so the files linked are the files
// written.
std::vector<std::string> SitePaths(const MapSettings& settings, const std::string& pagePath) {
  const SplitPath page = SplitSystemPathOf(pagePath);
  const std::string stem = page.directory + page.baseName;
  std::vector<std::string> paths = {pagePath, stem + ".js", stem + ".css"};
  if (const TileMap* tiles = TileMapOf(settings.service)) {
    for (const TileSiteFile& file : TileSiteFiles(*tiles)) paths.push_back(stem + std::string(file.suffix));
  }
  return paths;
}

// Writes the files of the site in the order of SitePaths. Stops at the first
// failure, and after the page where the script has no points to list.
Result<void> WriteSite(SiteFiles& site, const MapRequest& request, const TrackData& track,
                       const std::vector<std::string>& paths, const Progress& progress) {
  Result<TextOutput*> output = site.Begin(paths[0]);
  if (!output) return output.error();
  WriteMapPage(**output, SplitSystemPathOf(paths[0]).baseName, request.settings);

  output = site.Begin(paths[1]);
  if (!output) return output.error();
  const Result<ScriptListing> script = WriteMapScript(**output, request.settings, request.thinning, track, progress);
  if (!script || *script == ScriptListing::NothingToList) {
    site.DropLast();
    return script ? Fail(kMapWriteFailedMessage) : script.error();
  }

  output = site.Begin(paths[2]);
  if (!output) return output.error();
  WriteMapStyle(**output);

  if (const TileMap* tiles = TileMapOf(request.settings.service)) {
    std::size_t next = 3;
    for (const TileSiteFile& file : TileSiteFiles(*tiles)) {
      output = site.Begin(paths[next++]);
      if (!output) return output.error();
      (*output)->Write(file.text);
    }
  }
  return {};
}

// Writes the site and puts its files in place. A file that cannot be put in
// place comes before the failure that stopped the writing, which a later
// file met. Memory that runs out stops the site with no file written.
Result<void> WriteAndPlaceSite(const MapRequest& request, const TrackData& track,
                               const std::vector<std::string>& paths, Shell& shell) {
  try {
    SiteFiles site;
    const Result<void> written = WriteSite(site, request, track, paths, ProgressTo(shell));
    if (!written && written.error().cancelled) return written;
    if (Result<void> placed = site.PutInPlace(shell); !placed) return placed;
    return written;
  } catch (const std::bad_alloc&) {
    return Fail(kNoMemoryMessage);
  }
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
  // an existing one is replaced without a question, but none of them may be
  // the track file.
  const std::vector<std::string> paths = SitePaths(request.settings, *pagePath);
  for (const std::string& path : paths) {
    if (track.loadedFrom && IsSameFile(path, *track.loadedFrom)) {
      ShowFailure(shell, Fail(kOutputIsInputMessage, path));
      return std::nullopt;
    }
  }
  if (Result<void> written = WriteAndPlaceSite(request, track, paths, shell); !written) {
    ShowFailure(shell, written.error());
    return std::nullopt;
  }
  shell.ShowMessage({kMapDoneMessage, MessageIcon::Information});
  return pagePath;
}

}  // namespace kestrel
