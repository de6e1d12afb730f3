#pragma once
// The map output command ("ファイル出力"): checks the thinning choice, names
// the page file, writes the page, the script and the style sheet with one
// base name in one folder (on map tiles, Leaflet's files and the tile map
// script after them), and reports the end. The map page and krm map run
// this same function, so both write the same bytes and show the same messages.

#include <optional>
#include <string>

#include "platform/shell.h"
#include "select/thinning.h"
#include "track/track_data.h"
#include "webmap/map_settings.h"

namespace kestrel {

struct MapRequest {
  MapSettings settings;  // sameName: the page takes the track file's name, else the save dialog
  ThinningChoice thinning;
};

// Runs the command on the loaded track, whose file is trackFilePath, and
// shows every message through the shell. A site file that would be the file
// the track was read from, under any name, stops the command before anything
// is written (kOutputIsInputMessage, with its path). Each file is written
// whole under a temporary name; at the end they take their names in their
// order (the page only while its name is free or after the question). A file
// that cannot be written (kMapWriteFailedMessage, with the system's reason)
// or the memory for the working copy that cannot be had (kNoMemoryMessage)
// stops the site there, and the files before it are put in place; so does a
// script with no points to list, after the page. A cancel, or memory that
// runs out while the files are written (kNoMemoryMessage), leaves no file
// behind; a cancel shows nothing. The page's path only when every file was
// written and the end was reported.
std::optional<std::string> RunMapOutput(const MapRequest& request, const TrackData& track, const std::string& trackFilePath, Shell& shell);

// The save dialog of the page file.
inline const FileDialogRequest kMapPageDialog{"html", "*.html", "htmlﾌｧｲﾙ(*.html)|*.html|全て(*.*)|*.*||"};

inline constexpr const char* kMapWriteFailedMessage = "実行エラー\n";
inline constexpr const char* kMapDoneMessage = "変換終了    ";

}  // namespace kestrel
