// krm map: the map site of a track (page, script and style sheet; on map
// tiles also Leaflet and the tile map script), with the map page's settings:
// its defaults, then the profile's, then the options; --open shows the page
// in the user's browser.

#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/output_command.h"
#include "platform/atomic_file.h"
#include "platform/output_path.h"
#include "platform/result.h"
#include "webmap/map_output.h"

extern char** environ;

namespace kestrel::cli {
namespace {

constexpr const char* kGoogleWarning =
    "google: version 2 of the Google Maps JavaScript API is no longer served, so the page will show no map; "
    "gsi and osm need no key";
constexpr const char* kOpenFailedMessage = "the site was written, but the page could not be opened in a browser";
constexpr const char* kBrowserOpener = "xdg-open";

struct MapOptions {
  std::optional<std::string> title;
  std::optional<std::string> key;
  std::optional<std::string> color;    // RRGGBB
  std::optional<int> width;            // pixels
  std::optional<std::string> service;  // a stored service name in lower case
  bool open = false;                   // show the page in the browser once written
  // Each switch is one option with two names, so that of --opaque and
  // --transparent the one given last wins.
  CLI::Option* transparency = nullptr;
  CLI::Option* routeReplay = nullptr;
  CLI::Option* keepTrail = nullptr;
  CLI::Option* overview = nullptr;
};

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

int HexValue(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

std::string ColorProblem(const std::string& text) {
  if (text.size() == 6 && std::all_of(text.begin(), text.end(), IsHexDigit)) return "";
  return "the colour must be six hexadecimal digits, red first (RRGGBB): " + text;
}

// RRGGBB as a packed colour 0x00BBGGRR.
PackedColor ColorOfText(const std::string& text) {
  const auto channel = [&text](std::size_t at) {
    return static_cast<PackedColor>(HexValue(text[at]) * 16 + HexValue(text[at + 1]));
  };
  return channel(0) | channel(2) << 8 | channel(4) << 16;
}

// The site is several files named after the page: they cannot all go to
// the standard output.
std::string SitePathProblem(const std::string& path) {
  if (path != kStandardOutputPath) return "";
  return "the map site is several files: -o names the page's file, not the standard output";
}

// --service names the map services as the profile stores them, in lower
// case: google, gsi, osm.
std::vector<std::string> ServiceOptionValues() {
  std::vector<std::string> values;
  for (const std::string_view name : kMapServiceNames) {
    std::string value(name);
    for (char& c : value) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    values.push_back(value);
  }
  return values;
}

// The service of a value that the option has accepted.
MapService ServiceOfOptionValue(const std::string& value) {
  const std::vector<std::string> values = ServiceOptionValues();
  return static_cast<MapService>(std::find(values.begin(), values.end(), value) - values.begin());
}

// The switch as the last of its two names sets it, or nothing when neither was given.
std::optional<bool> SwitchOf(const CLI::Option* option) {
  if (option->count() == 0) return std::nullopt;
  return option->as<bool>();
}

void Override(bool& setting, const CLI::Option* option) {
  if (const std::optional<bool> given = SwitchOf(option)) setting = *given;
}

MapSettings SettingsOf(MapSettings settings, const MapOptions& options, const OutputOptions& output) {
  if (options.title) settings.title = *options.title;
  if (options.key) settings.apiKey = *options.key;
  if (options.color) settings.chosenColor = ColorOfText(*options.color);
  if (options.width) settings.widthIndex = WidthIndexOfLineWidth(*options.width);
  if (options.service) settings.service = ServiceOfOptionValue(*options.service);
  Override(settings.transparency, options.transparency);
  Override(settings.routeReplay, options.routeReplay);
  Override(settings.keepTrail, options.keepTrail);
  Override(settings.overviewControl, options.overview);
  if (output.smooth) settings.smoothing = true;
  return settings;
}

// Opens the page in the user's browser with xdg-open and waits for it (a
// browser in a terminal runs until it is closed). Nothing on success; the
// message when it cannot be started or fails.
void OpenInBrowser(const std::string& pagePath, Shell& shell) {
  std::string opener = kBrowserOpener;
  std::string page = std::filesystem::absolute(pagePath).string();
  char* argv[] = {opener.data(), page.data(), nullptr};
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, kBrowserOpener, nullptr, nullptr, argv, environ);
  if (error != 0) {
    shell.ShowMessage({kOpenFailedMessage, MessageIcon::Error, SystemDetail(kBrowserOpener, error)});
    return;
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0) return;
  const std::string ending = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status)) : "stopped";
  shell.ShowMessage({kOpenFailedMessage, MessageIcon::Error, std::string(kBrowserOpener) + ": " + ending});
}

}  // namespace

void AddMapCommand(CLI::App& program, int& exitStatus) {
  auto input = std::make_shared<InputOptions>();
  auto batch = std::make_shared<BatchOptions>();
  auto output = std::make_shared<OutputOptions>();
  auto map = std::make_shared<MapOptions>();
  CLI::App* command = program.add_subcommand("map", "write the map site of a track: page, script and style sheet");
  AddInputOptions(*command, *input, *batch);
  AddKeepTreeOption(*command, *batch);
  AddOutputOptions(*command, *output);
  command->get_option("-o")->description("path of the page (default: the input path with .html)")->check(
      CLI::Validator(SitePathProblem, "OUT.html"));
  command->add_option("--title", map->title, "title of the page (default: Sample GPS Data)");
  command->add_option("--key", map->key, "API key of the google map");
  command->add_option("--color", map->color, "line colour as six hexadecimal digits, red first (default: ff0000)")
      ->check(CLI::Validator(ColorProblem, "RRGGBB"));
  command->add_option("--width", map->width, "line width in pixels, 1-5 (default: 3)")->check(CLI::Range(1, 5));
  command
      ->add_option("--service", map->service,
                   "the map: the tiles of gsi (地理院地図, the default; Japan only in detail) or osm "
                   "(OpenStreetMap), or google (its API version 2, which is no longer served: no map shows)")
      ->check(CLI::IsMember(ServiceOptionValues()));
  map->transparency =
      command->add_flag("--transparent,!--opaque")->description("semi-transparent line (default) or opaque");
  map->routeReplay = command->add_flag("--replay,!--no-replay")
                         ->description("replay buttons and speed list on the page (default) or a show/hide button");
  map->keepTrail = command->add_flag("--keep-trail,!--no-trail")
                       ->description("the replay draws the line and keeps it, or shows a moving tail (default)");
  map->overview =
      command->add_flag("--overview,!--no-overview")->description("the map gets an overview map (default), or not");
  command->add_flag("--open", map->open, "open the page in the browser (xdg-open) once the site is written");
  command->callback([input, batch, output, map, &exitStatus] {
    const std::optional<Profile> profile = ProfileOf(*output);
    if (!profile) {
      exitStatus = kExitFailure;
      return;
    }
    const OutputWork work = [&](const TrackData& track, const std::string& trackFilePath, bool sameName,
                                Shell& shell) {
          MapRequest request;
          request.settings = SettingsOf(ReadMapSettings(*profile), *map, *output);
          request.settings.sameName = sameName;
          request.thinning = ThinningOf(*output);
          if (request.settings.service == MapService::Google) shell.ShowMessage({kGoogleWarning});
          const std::optional<std::string> page = RunMapOutput(request, track, trackFilePath, shell);
          if (!page) return false;
          if (map->open) OpenInBrowser(*page, shell);
          return true;
        };
    if (!IsBatch(*batch)) {
      input->file = batch->inputs.front();
      exitStatus = RunOutputCommand(*input, *output, work);
      return;
    }
    exitStatus = RunBatchOutputCommand(*batch, *input, *output, "." + kMapPageDialog.defaultExtension,
                                       SharedOutput::None, work);
  });
}

}  // namespace kestrel::cli
