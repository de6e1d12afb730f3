#pragma once
// Leaflet's script and style sheet, compiled into the program from the copy
// in third_party/leaflet (embed_files.cmake), so that a site on map tiles
// needs no other download than the tiles and the program no installed copy.

#include <string_view>

namespace kestrel {

// dist/leaflet.js and dist/leaflet.css of the npm package, byte for byte.
std::string_view LeafletDistScript();
std::string_view LeafletDistStyle();

}  // namespace kestrel
