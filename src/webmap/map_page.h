#pragma once
// The web page of the map site: an XHTML page that loads the map service's
// script, the site's own script and style sheet (linked by the base name),
// and holds the map and a control panel.
//
// The head and the body are made apart: a page on another map service keeps
// the body and changes only the head.

#include <string>

#include "platform/atomic_file.h"
#include "webmap/map_settings.h"

namespace kestrel {

// The head, with the style sheet and script linked as baseName.css and
// baseName.js, the title, and the API key (the placeholder key when none is
// set). The title and the key are HTML-escaped, the base name
// percent-encoded and HTML-escaped (FileLinkText): a file name or a title
// must not be able to add markup or script to the page, and the page links
// the files written whatever their names. A site on map tiles has the head
// of TileMapPageHead instead.
std::string MapPageHead(const std::string& baseName, const MapSettings& settings);

// The body: with route replay the start button of the trail option (tail
// replay for 軌跡を残さない, drawing for 軌跡を残す), the stop button and the
// speed list; without it the one button "消去".
std::string MapPageBody(const MapSettings& settings);

// The page: head, two line ends, body.
std::string MapPageText(const std::string& baseName, const MapSettings& settings);

// Writes the page into the output.
void WriteMapPage(TextOutput& output, const std::string& baseName, const MapSettings& settings);

}  // namespace kestrel
