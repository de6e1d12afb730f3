#pragma once
// The fixed texts of a map site on map tiles, written as site_templates.h
// writes its own (one source line per line of a file, "\n" for each line
// end, UTF-8, «name» where a value goes in).
//
// Such a site keeps the body, the script and the style sheet of the site on
// the map service; only its page head differs. Instead of the map service's
// script the head loads Leaflet's style sheet and script and the tile map
// script, which provides on top of Leaflet the map objects that the site's
// script uses, drawing on the tiles of the chosen map.

#include <string_view>

namespace kestrel {

// The tiles of a map that needs no key: the address of a tile, the
// attribution the map shows (linked to the provider's terms of use), and the
// largest zoom the provider draws tiles for.
struct TileMap {
  std::string_view tileAddress;
  std::string_view attribution;
  int maxZoom;
};

// The standard map of the Geospatial Information Authority of Japan.
inline constexpr TileMap kGsiTiles = {
    "https://cyberjapandata.gsi.go.jp/xyz/std/{z}/{x}/{y}.png",
    "<a href=\"https://maps.gsi.go.jp/development/ichiran.html\">国土地理院</a>", 18};
inline constexpr TileMap kOsmTiles = {
    "https://tile.openstreetmap.org/{z}/{x}/{y}.png",
    "© <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a> contributors", 19};

// One source line for each line of a file, never split.
// clang-format off

// The page head: the map service's script element gives way to Leaflet's
// style sheet (before the site's, which sizes the map), Leaflet's script and
// the tile map script, both before the site's script, whose parameter block
// already makes map objects. The viewport line lets a phone show the page
// at its own size.
inline constexpr std::string_view kTilePageHead =
    "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\" \"«XHTML 1.0 Strict system identifier»\">\n"
    "<html xmlns=\"«XHTML namespace name»\" xml:lang=\"ja\" lang=\"ja\">\n"
    "\n"
    "<head>\n"
    "\n"
    "<meta http-equiv=\"content-type\" content=\"text/html; charset=UTF-8\" />\n"
    "<meta http-equiv=\"content-script-type\" content=\"text/javascript\" />\n"
    "<meta http-equiv=\"content-style-type\" content=\"text/css\" />\n"
    "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\" />\n"
    "\n"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"«Leaflet style sheet»\" />\n"
    "<link rel=\"stylesheet\" type=\"text/css\" href=\"«base name».css\" />\n"
    "\n"
    "<title>«title»</title>\n"
    "\n"
    "<script type=\"text/javascript\" src=\"«Leaflet script»\"></script>\n"
    "<script type=\"text/javascript\" src=\"«tile map script»\"></script>\n"
    "<script type=\"text/javascript\" src=\"«base name».js\"></script>\n"
    "\n"
    "</head>\n";

// The tile map script: GMap, GLatLng, GLatLngBounds, GPolyline, the four
// controls, G_NORMAL_MAP and GUnload on Leaflet, for the tiles of one map.
// Like the map service, it refuses what is not one of its own objects with a
// TypeError: the site's script relies on that inside its try blocks (the
// first step of a replay removes a line that was never made).
inline constexpr std::string_view kTileMapScript =
    "/* -------------------------------------*/\n"
    "/* 地図タイル表示用\u3000JavaScriptファイル */\n"
    "/* -------------------------------------*/\n"
    "/* サイトのスクリプトが使う地図の部品を Leaflet で用意する */\n"
    "\n"
    "(function () {\n"
    "\t'use strict';\n"
    "\n"
    "\t/* [設定] 地図タイル */\n"
    "\tvar tiles = {\n"
    "\t\taddress: '«tile address»',\n"
    "\t\tattribution: '«attribution»',\n"
    "\t\tmaxZoom: «maximum zoom»\n"
    "\t};\n"
    "\n"
    "\t/* 概観図の大きさ(ピクセル)と、主地図からのズームの差 */\n"
    "\tvar overviewSize = 150;\n"
    "\tvar overviewZoomOut = 4;\n"
    "\n"
    "\tvar maps = [];\n"
    "\n"
    "\tfunction tileLayer(attribution) {\n"
    "\t\treturn L.tileLayer(tiles.address, { maxZoom: tiles.maxZoom, attribution: attribution });\n"
    "\t}\n"
    "\n"
    "\t/* 地図の部品でないものは受け付けない */\n"
    "\tfunction refuse(reason) {\n"
    "\t\tthrow new TypeError(reason);\n"
    "\t}\n"
    "\n"
    "\t/* [部品] 緯度・経度 */\n"
    "\tfunction GLatLng(lat, lng) {\n"
    "\t\tthis.position = L.latLng(Number(lat), Number(lng));\n"
    "\t}\n"
    "\tGLatLng.prototype.lat = function () {\n"
    "\t\treturn this.position.lat;\n"
    "\t};\n"
    "\tGLatLng.prototype.lng = function () {\n"
    "\t\treturn this.position.lng;\n"
    "\t};\n"
    "\n"
    "\tfunction positionOf(point, what) {\n"
    "\t\tif (!(point instanceof GLatLng)) refuse(what + ' is not a GLatLng');\n"
    "\t\treturn point.position;\n"
    "\t}\n"
    "\n"
    "\t/* [部品] 範囲 */\n"
    "\tfunction GLatLngBounds(southWest, northEast) {\n"
    "\t\tvar southWestCorner = positionOf(southWest, 'the south-west corner');\n"
    "\t\tvar northEastCorner = positionOf(northEast, 'the north-east corner');\n"
    "\t\tthis.bounds = L.latLngBounds(southWestCorner, northEastCorner);\n"
    "\t}\n"
    "\n"
    "\t/* [部品] 線 */\n"
    "\tfunction GPolyline(points, color, weight, opacity) {\n"
    "\t\tif (!Array.isArray(points)) refuse('the points of a polyline are not an array');\n"
    "\t\tvar positions = [];\n"
    "\t\tfor (var i = 0; i < points.length; i++) {\n"
    "\t\t\tpositions.push(positionOf(points[i], 'point ' + i + ' of a polyline'));\n"
    "\t\t}\n"
    "\t\tthis.layer = L.polyline(positions, { color: color, weight: weight, opacity: opacity, interactive: false });\n"
    "\t}\n"
    "\n"
    "\t/* [部品] 概観図: 主地図の表示範囲を枠で示し、クリックした所へ主地図を動かす */\n"
    "\tfunction addOverview(main) {\n"
    "\t\tvar frame = L.control({ position: 'bottomright' });\n"
    "\t\tframe.onAdd = function () {\n"
    "\t\t\tvar container = L.DomUtil.create('div', 'leaflet-bar');\n"
    "\t\t\tcontainer.style.width = overviewSize + 'px';\n"
    "\t\t\tcontainer.style.height = overviewSize + 'px';\n"
    "\t\t\tL.DomEvent.disableClickPropagation(container);\n"
    "\t\t\tL.DomEvent.disableScrollPropagation(container);\n"
    "\t\t\treturn container;\n"
    "\t\t};\n"
    "\t\tframe.addTo(main);\n"
    "\t\tvar overview = L.map(frame.getContainer(), {\n"
    "\t\t\tzoomControl: false,\n"
    "\t\t\tattributionControl: false,\n"
    "\t\t\tdragging: false,\n"
    "\t\t\ttouchZoom: false,\n"
    "\t\t\tscrollWheelZoom: false,\n"
    "\t\t\tdoubleClickZoom: false,\n"
    "\t\t\tboxZoom: false,\n"
    "\t\t\tkeyboard: false\n"
    "\t\t});\n"
    "\t\ttileLayer('').addTo(overview);\n"
    "\t\tmaps.push(overview);\n"
    "\t\tvar view = L.rectangle([[0, 0], [0, 0]], { weight: 1, fillOpacity: 0.1, interactive: false });\n"
    "\t\tfunction follow() {\n"
    "\t\t\tvar zoom = Math.max(main.getZoom() - overviewZoomOut, 0);\n"
    "\t\t\toverview.setView(main.getCenter(), zoom, { animate: false });\n"
    "\t\t\tview.setBounds(main.getBounds()).addTo(overview);\n"
    "\t\t}\n"
    "\t\tmain.whenReady(function () {\n"
    "\t\t\tfollow();\n"
    "\t\t\tmain.on('moveend', follow);\n"
    "\t\t});\n"
    "\t\toverview.on('click', function (e) {\n"
    "\t\t\tmain.panTo(e.latlng);\n"
    "\t\t});\n"
    "\t}\n"
    "\n"
    "\t/* [部品] 操作部品 */\n"
    "\tfunction mapControl(addTo) {\n"
    "\t\tvar Control = function () {};\n"
    "\t\tControl.prototype.addTo = addTo;\n"
    "\t\treturn Control;\n"
    "\t}\n"
    "\tvar GLargeMapControl = mapControl(function (map) {\n"
    "\t\tL.control.zoom({ zoomInTitle: '拡大', zoomOutTitle: '縮小' }).addTo(map);\n"
    "\t});\n"
    "\t/* 地図の種類は一つなので、切り替えるものはない */\n"
    "\tvar GMapTypeControl = mapControl(function () {});\n"
    "\tvar GScaleControl = mapControl(function (map) {\n"
    "\t\tL.control.scale({ imperial: false }).addTo(map);\n"
    "\t});\n"
    "\tvar GOverviewMapControl = mapControl(addOverview);\n"
    "\tvar controls = [GLargeMapControl, GMapTypeControl, GScaleControl, GOverviewMapControl];\n"
    "\n"
    "\tvar G_NORMAL_MAP = { name: 'G_NORMAL_MAP' };\n"
    "\n"
    "\t/* [部品] 地図 */\n"
    "\tfunction GMap(container) {\n"
    "\t\tif (!(container instanceof HTMLElement)) refuse('the map container is not an element');\n"
    "\t\tthis.leaflet = L.map(container, { zoomControl: false });\n"
    "\t\ttileLayer(tiles.attribution).addTo(this.leaflet);\n"
    "\t\tmaps.push(this.leaflet);\n"
    "\t}\n"
    "\n"
    "\tGMap.prototype.addControl = function (control) {\n"
    "\t\tvar known = controls.some(function (kind) {\n"
    "\t\t\treturn control instanceof kind;\n"
    "\t\t});\n"
    "\t\tif (!known) refuse('not a map control');\n"
    "\t\tcontrol.addTo(this.leaflet);\n"
    "\t};\n"
    "\n"
    "\tGMap.prototype.setMapType = function (type) {\n"
    "\t\tif (type !== G_NORMAL_MAP) refuse('not a map type');\n"
    "\t};\n"
    "\n"
    "\t/* 範囲が地図に収まる最大のズーム */\n"
    "\tGMap.prototype.getBoundsZoomLevel = function (bounds) {\n"
    "\t\tif (!(bounds instanceof GLatLngBounds)) refuse('not a GLatLngBounds');\n"
    "\t\tvar leaflet = this.leaflet;\n"
    "\t\tvar size = leaflet.getSize();\n"
    "\t\tvar zoom = leaflet.getMaxZoom();\n"
    "\t\tfor (; zoom > leaflet.getMinZoom(); zoom--) {\n"
    "\t\t\tvar northEast = leaflet.project(bounds.bounds.getNorthEast(), zoom);\n"
    "\t\t\tvar southWest = leaflet.project(bounds.bounds.getSouthWest(), zoom);\n"
    "\t\t\tif (northEast.x - southWest.x <= size.x && southWest.y - northEast.y <= size.y) break;\n"
    "\t\t}\n"
    "\t\treturn zoom;\n"
    "\t};\n"
    "\n"
    "\tGMap.prototype.setCenter = function (center, zoom) {\n"
    "\t\tthis.leaflet.setView(positionOf(center, 'the centre'), zoom, { animate: false });\n"
    "\t};\n"
    "\n"
    "\tGMap.prototype.addOverlay = function (overlay) {\n"
    "\t\tif (!(overlay instanceof GPolyline)) refuse('not an overlay');\n"
    "\t\toverlay.layer.addTo(this.leaflet);\n"
    "\t};\n"
    "\n"
    "\tGMap.prototype.removeOverlay = function (overlay) {\n"
    "\t\tif (!(overlay instanceof GPolyline)) refuse('not an overlay');\n"
    "\t\tthis.leaflet.removeLayer(overlay.layer);\n"
    "\t};\n"
    "\n"
    "\t/* ページを閉じるときに地図を片付ける */\n"
    "\tfunction GUnload() {\n"
    "\t\twhile (maps.length > 0) maps.pop().remove();\n"
    "\t}\n"
    "\n"
    "\twindow.GLatLng = GLatLng;\n"
    "\twindow.GLatLngBounds = GLatLngBounds;\n"
    "\twindow.GPolyline = GPolyline;\n"
    "\twindow.GMap = GMap;\n"
    "\twindow.GLargeMapControl = GLargeMapControl;\n"
    "\twindow.GMapTypeControl = GMapTypeControl;\n"
    "\twindow.GScaleControl = GScaleControl;\n"
    "\twindow.GOverviewMapControl = GOverviewMapControl;\n"
    "\twindow.G_NORMAL_MAP = G_NORMAL_MAP;\n"
    "\twindow.GUnload = GUnload;\n"
    "})();\n";

// clang-format on

}  // namespace kestrel
