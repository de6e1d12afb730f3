#include "webmap/map_page.h"

#include "webmap/site_templates.h"
#include "webmap/template_text.h"
#include "webmap/tile_map.h"

namespace kestrel {

std::string MapPageHead(const std::string& baseName, const MapSettings& settings) {
  if (TileMapOf(settings.service) != nullptr) return TileMapPageHead(baseName, settings);
  const std::string apiKey = settings.apiKey.empty() ? std::string(kApiKeyPlaceholder) : EscapeHtml(settings.apiKey);
  return FillTemplate(kPageHead, {{"XHTML 1.0 Strict system identifier", kXhtmlStrictSystemId},
                                  {"XHTML namespace name", kXhtmlNamespace},
                                  {"base name", FileLinkText(baseName)},
                                  {"title", EscapeHtml(settings.title)},
                                  {"map service", kMapService},
                                  {"API key", apiKey}});
}

std::string MapPageBody(const MapSettings& settings) {
  std::string body;
  if (!settings.routeReplay) {
    body = kPageBodyWithoutReplay;
  } else {
    body = WithoutLine(kPageBodyWithReplay, settings.keepTrail ? kTailReplayButton : kDrawReplayButton);
  }
  return FillTemplate(body, {{"home page address", kHomePageAddress}});
}

std::string MapPageText(const std::string& baseName, const MapSettings& settings) {
  return MapPageHead(baseName, settings) + "\n\n" + MapPageBody(settings);
}

void WriteMapPage(TextOutput& output, const std::string& baseName, const MapSettings& settings) {
  output.Write(MapPageText(baseName, settings));
}

}  // namespace kestrel
