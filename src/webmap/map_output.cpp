#include "webmap/map_output.h"

#include <optional>

#include "platform/output_path.h"
#include "platform/paths.h"
#include "webmap/map_page.h"
#include "webmap/map_script.h"
#include "webmap/map_style.h"
#include "webmap/tile_map.h"

namespace kestrel {

std::optional<std::string> RunMapOutput(const MapRequest& request, const TrackData& track, const std::string& trackFilePath, Shell& shell) {
  if (const std::optional<std::string> problem = ThinningProblem(track, request.thinning)) {
    shell.ShowMessage({*problem});
    return std::nullopt;
  }
  const std::optional<std::string> pagePath =
      NameOutputFile(shell, request.settings.sameName, trackFilePath, ".html", kMapPageDialog);
  if (!pagePath) return std::nullopt;

  // The script and the style sheet go beside the page, with its base name;
  // an existing one is replaced without a question. The base name is the
  // one of the file as this system names it ("\" is part of it), so the
  // files linked are the files written.
  const SplitPath page = SplitSystemPathOf(*pagePath);
  const std::string stem = page.directory + page.baseName;
  // A site on map tiles also holds Leaflet and the tile map script, written
  // last: the three files of every site come first, in their own order.
  const TileMap* tiles = TileMapOf(request.settings.service);
  const bool written = WriteMapPage(*pagePath, page.baseName, request.settings) &&
                       WriteMapScript(stem + ".js", request.settings, request.thinning, track) &&
                       WriteMapStyle(stem + ".css") && (tiles == nullptr || WriteTileMapFiles(stem, *tiles));
  if (!written) {
    shell.ShowMessage({kMapWriteFailedMessage});
    return std::nullopt;
  }
  shell.ShowMessage({kMapDoneMessage, MessageIcon::Information});
  return pagePath;
}

}  // namespace kestrel
