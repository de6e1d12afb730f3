#include "webmap/tile_map.h"

#include "webmap/leaflet_dist.h"
#include "webmap/site_templates.h"
#include "webmap/template_text.h"

namespace kestrel {
namespace {

constexpr std::string_view kCommentStart = "/*";
constexpr std::string_view kCommentEnd = "*/\n";
constexpr std::string_view kSourceMapPointer = "//# sourceMappingURL=";

// The text with LF line ends: the output makes every LF a CR LF, and a CR
// before it would be doubled.
std::string WithLineFeeds(std::string_view text) {
  std::string lines;
  lines.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    lines += text[i];
  }
  return lines;
}

// The comment that opens the text, with its line end; empty when the text
// does not open with a comment.
std::string_view OpeningComment(std::string_view text) {
  if (!text.starts_with(kCommentStart)) return {};
  const std::size_t end = text.find(kCommentEnd);
  return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + kCommentEnd.size());
}

}  // namespace

const TileMap* TileMapOf(MapService service) {
  switch (service) {
    case MapService::Gsi:
      return &kGsiTiles;
    case MapService::Osm:
      return &kOsmTiles;
    case MapService::Google:
      break;
  }
  return nullptr;
}

std::string TileMapPageHead(const std::string& baseName, const MapSettings& settings) {
  const std::string base = FileLinkText(baseName);
  return FillTemplate(kTilePageHead, {{"XHTML 1.0 Strict system identifier", kXhtmlStrictSystemId},
                                      {"XHTML namespace name", kXhtmlNamespace},
                                      {"Leaflet style sheet", base + std::string(kLeafletStyleSuffix)},
                                      {"base name", base},
                                      {"title", EscapeHtml(settings.title)},
                                      {"Leaflet script", base + std::string(kLeafletScriptSuffix)},
                                      {"tile map script", base + std::string(kTileMapScriptSuffix)}});
}

std::string TileMapScript(const TileMap& tiles) {
  return FillTemplate(kTileMapScript, {{"tile address", tiles.tileAddress},
                                       {"attribution", tiles.attribution},
                                       {"maximum zoom", std::to_string(tiles.maxZoom)}});
}

std::string LeafletScriptText() {
  std::string script = WithLineFeeds(LeafletDistScript());
  // The pointer is the last line; the browser would look for the map beside
  // the page when its developer tools are open.
  const std::size_t pointer = script.rfind(kSourceMapPointer);
  if (pointer != std::string::npos && (pointer == 0 || script[pointer - 1] == '\n') &&
      script.find('\n', pointer) >= script.size() - 1) {
    script.erase(pointer);
  }
  return script;
}

std::string LeafletStyleText() {
  // The published style sheet has no notice of its own; the site's copy
  // carries Leaflet's, as its script does.
  return std::string(OpeningComment(LeafletDistScript())) + WithLineFeeds(LeafletDistStyle());
}

std::vector<TileSiteFile> TileSiteFiles(const TileMap& tiles) {
  return {{kLeafletScriptSuffix, LeafletScriptText()},
          {kLeafletStyleSuffix, LeafletStyleText()},
          {kTileMapScriptSuffix, TileMapScript(tiles)}};
}

}  // namespace kestrel
