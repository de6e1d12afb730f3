#include "app/map_page.h"

#include <iterator>
#include <optional>
#include <stdexcept>

#include "app/main_window.h"
#include "app/thinning_controls.h"
#include "select/selection.h"
#include "webmap/map_output.h"
#include "webmap/map_settings.h"

namespace kestrel {
namespace {

constexpr const char* kWidthItems[kWidthEntryCount] = {"極太", "太い", "標準", "細い", "極細"};
constexpr const char* kServiceItems[] = {"Google Maps (API v2)", "地理院地図", "OpenStreetMap"};
static_assert(std::size(kServiceItems) == std::size(kMapServiceNames), "one item for each map service");

constexpr const char* kKeyNotSet = "未設定";
constexpr const char* kKeySet = "設定済み";
constexpr PackedColor kKeyNotSetBackground = kRed;
constexpr PackedColor kKeySetBackground = 0xFF8080;  // R 128, G 128, B 255

// The map of an entry of the list. A list of fixed entries always has one
// selected; none would read as the first.
MapService ServiceOfIndex(int index) {
  return index >= 0 && index < static_cast<int>(std::size(kServiceItems)) ? static_cast<MapService>(index)
                                                                          : MapService::Google;
}

// A switch of the settings' table, found while compiling.
constexpr MapSwitch SwitchOf(bool MapSettings::*value) {
  for (const MapSwitch& setting : kMapSwitches) {
    if (setting.value == value) return setting;
  }
  throw std::logic_error("not a stored switch");
}

constexpr MapSwitch kTransparencySwitch = SwitchOf(&MapSettings::transparency);
// The switches that saving and resetting both write last, in this order.
constexpr MapSwitch kTrailingSwitches[] = {SwitchOf(&MapSettings::routeReplay), SwitchOf(&MapSettings::keepTrail),
                                           SwitchOf(&MapSettings::overviewControl), SwitchOf(&MapSettings::sameName),
                                           SwitchOf(&MapSettings::smoothing)};

void WriteSwitch(Profile& profile, const MapSettings& settings, const MapSwitch& setting) {
  profile.WriteString(kMapSection, setting.key, OnOff(settings.*setting.value));
}

void WriteTitle(Profile& profile, const MapSettings& settings) {
  profile.WriteString(kMapSection, kTitleKey, settings.title);
}

void WriteService(Profile& profile, const MapSettings& settings) {
  profile.WriteString(kMapSection, kMapServiceKey, StoredNameOf(settings.service));
}

void WriteColor(Profile& profile, const MapSettings& settings) {
  profile.WriteInteger(kMapSection, kLineColorRedKey, static_cast<int>(settings.chosenColor & 0xFF));
  profile.WriteInteger(kMapSection, kLineColorGreenKey, static_cast<int>(settings.chosenColor >> 8 & 0xFF));
  profile.WriteInteger(kMapSection, kLineColorBlueKey, static_cast<int>(settings.chosenColor >> 16 & 0xFF));
}

void WriteWidth(Profile& profile, const MapSettings& settings) {
  profile.WriteInteger(kMapSection, kLineWidthKey, settings.widthIndex);
}

void WriteTrailingSwitches(Profile& profile, const MapSettings& settings) {
  for (const MapSwitch& setting : kTrailingSwitches) WriteSwitch(profile, settings, setting);
}

// The settings as the page holds them: what saving stores and what the
// output command writes. The chosen colour, never the faded one.
MapSettings SettingsOf(const MapPage& page) {
  MapSettings settings;
  settings.title = page.title;
  settings.service = page.mapService;
  settings.apiKey = page.apiKey;
  settings.chosenColor = page.ChosenColor();
  settings.widthIndex = page.controls.widthIndex;
  settings.transparency = page.transparency;
  settings.routeReplay = page.routeReplay;
  settings.keepTrail = !page.controls.dropTrailChecked;
  settings.overviewControl = page.overviewControl;
  settings.sameName = page.sameName;
  settings.smoothing = page.smoothing;
  return settings;
}

// Every setting but the API key, which only its own dialog changes.
void Apply(MapPage& page, const MapSettings& settings) {
  page.controls.widthIndex = settings.widthIndex;
  page.trackWidth = LineWidthOfIndex(settings.widthIndex);
  page.transparency = settings.transparency;
  page.trackColor = LineColorFor(settings.chosenColor, settings.transparency);
  page.previewColor = page.trackColor.Pack();
  page.title = settings.title;
  page.mapService = settings.service;
  page.routeReplay = settings.routeReplay;
  page.controls.trailRadiosEnabled = settings.routeReplay;
  page.controls.keepTrailChecked = settings.keepTrail;
  page.controls.dropTrailChecked = !settings.keepTrail;
  page.overviewControl = settings.overviewControl;
  page.sameName = settings.sameName;
  page.smoothing = settings.smoothing;
}

}  // namespace

MapPage::MapPage(MainWindow& window, Profile& profile) : window_(window), profile_(profile) {
  const MapSettings settings = ReadMapSettings(profile_);
  apiKey = settings.apiKey;
  controls.widthItems.assign(std::begin(kWidthItems), std::end(kWidthItems));
  controls.serviceItems.assign(std::begin(kServiceItems), std::end(kServiceItems));
  Apply(*this, settings);
  controls.rateItems = RateListItems();
  controls.rateIndex = 0;
  controls.pointCountEnabled = false;
  controls.showUsrInfoEnabled = false;
  Show();
}

void MapPage::Read() {
  trackWidth = LineWidthOfIndex(controls.widthIndex);
  transparency = controls.transparency;
  title = controls.title;
  mapService = ServiceOfIndex(controls.serviceIndex);
  routeReplay = controls.routeReplay;
  overviewControl = controls.overviewControl;
  pointsLabel = controls.pointsLabel;
  usePointCount = controls.usePointCount;
  smoothing = controls.smoothing;
  pointCountText = controls.pointCountText;
  sameName = controls.sameName;
}

void MapPage::Show() {
  controls.widthIndex = WidthIndexOfLineWidth(trackWidth);
  controls.transparency = transparency;
  controls.title = title;
  controls.serviceIndex = static_cast<int>(mapService);
  controls.routeReplay = routeReplay;
  controls.overviewControl = overviewControl;
  controls.pointsLabel = pointsLabel;
  controls.usePointCount = usePointCount;
  controls.smoothing = smoothing;
  controls.pointCountText = pointCountText;
  controls.sameName = sameName;
}

PackedColor MapPage::ChosenColor() const { return ChosenColorOf(trackColor, transparency); }

void MapPage::OnChooseColor(Shell& shell) {
  Read();
  const std::optional<PackedColor> picked = shell.ChooseColor(ChosenColor());
  if (!picked) return;
  trackColor = LineColorFor(*picked, transparency);
  previewColor = trackColor.Pack();
}

void MapPage::OnApiKey(Shell& shell) {
  const std::optional<std::string> typed = shell.PromptApiKey(apiKey);
  if (!typed) return;
  apiKey = *typed;
  profile_.WriteString(kMapSection, kApiKeyKey, apiKey);
}

void MapPage::OnTransparencyToggled() {
  Read();
  // In place, so that any number of toggles gives back the chosen colour.
  if (transparency) {
    trackColor.Fade();
  } else {
    trackColor.Unfade();
  }
  previewColor = trackColor.Pack();
}

void MapPage::OnRouteReplayToggled() {
  Read();
  // The trail option keeps its check while it does not apply.
  controls.trailRadiosEnabled = routeReplay;
}

void MapPage::OnWidthChanged() { trackWidth = LineWidthOfIndex(controls.widthIndex); }

void MapPage::OnRateChanged() {
  if (const std::optional<std::string> label = PointsLabelFor(window_.track, controls.rateIndex)) pointsLabel = *label;
  Show();
}

void MapPage::OnPointCountToggled() {
  Read();
  controls.pointCountEnabled = usePointCount;
  controls.rateControlsEnabled = !usePointCount;
  Show();
}

void MapPage::OnShowUsrInfo() { window_.ShowUsrFileOverview(); }

void MapPage::OnSaveSettings() {
  Read();
  const MapSettings settings = SettingsOf(*this);
  WriteTitle(profile_, settings);
  WriteService(profile_, settings);
  WriteColor(profile_, settings);
  WriteSwitch(profile_, settings, kTransparencySwitch);
  WriteWidth(profile_, settings);
  WriteTrailingSwitches(profile_, settings);
}

void MapPage::OnResetSettings() {
  const MapSettings defaults;
  Apply(*this, defaults);
  WriteWidth(profile_, defaults);
  WriteSwitch(profile_, defaults, kTransparencySwitch);
  WriteColor(profile_, defaults);
  WriteTitle(profile_, defaults);
  WriteService(profile_, defaults);
  WriteTrailingSwitches(profile_, defaults);
  Show();
}

void MapPage::OnOutput(Shell& shell) {
  // With no points loaded the command stops before it reads the controls.
  if (PointCountOrZero(window_.track) > 0) {
    Read();
    window_.Read();
  }
  const MapRequest request{SettingsOf(*this), {usePointCount, pointCountText, controls.rateIndex}};
  RunMapOutput(request, window_.track, window_.trackFilePath, shell);
}

PreviewLine MapPage::OnPaintPreview() {
  Read();
  return {previewColor, trackWidth};
}

KeyState MapPage::OnDrawKeyState() const {
  return apiKey.empty() ? KeyState{kKeyNotSet, kKeyNotSetBackground} : KeyState{kKeySet, kKeySetBackground};
}

}  // namespace kestrel
