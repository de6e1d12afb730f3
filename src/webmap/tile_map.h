#pragma once
// A map site on map tiles (地理院地図, OpenStreetMap): the page, the script
// and the style sheet of the site on the map service, with a page head that
// loads Leaflet and the tile map script instead of the service's script.
// Leaflet's two files and the tile map script are written beside the page.

#include <string>
#include <string_view>
#include <vector>

#include "webmap/map_settings.h"
#include "webmap/tile_templates.h"

namespace kestrel {

// The files beside the page: its folder and base name, then these.
inline constexpr std::string_view kLeafletScriptSuffix = ".leaflet.js";
inline constexpr std::string_view kLeafletStyleSuffix = ".leaflet.css";
inline constexpr std::string_view kTileMapScriptSuffix = ".map.js";

// The tiles of the service, or nullptr for the map service of the site's
// script, which draws its own map.
const TileMap* TileMapOf(MapService service);

// The page head: the style sheet, Leaflet's files and the scripts linked by
// the base name (FileLinkText), the title (HTML-escaped).
std::string TileMapPageHead(const std::string& baseName, const MapSettings& settings);

// The tile map script for the tiles of one map.
std::string TileMapScript(const TileMap& tiles);

// Leaflet's files as a site holds them: line ends as the other files of the
// site (the published style sheet ends its lines with CR LF, the script with
// LF), the style sheet headed by the copyright notice that heads the script,
// and the script without the pointer to a source map that the site does not
// hold.
std::string LeafletScriptText();
std::string LeafletStyleText();

// The files of a site on map tiles beside its page, in the order they are
// written: Leaflet's script, Leaflet's style sheet, the tile map script.
struct TileSiteFile {
  std::string_view suffix;
  std::string text;
};
std::vector<TileSiteFile> TileSiteFiles(const TileMap& tiles);

}  // namespace kestrel
