#include "app/map_page.h"

#include <iterator>
#include <optional>
#include <stdexcept>

#include "select/selection.h"
#include "webmap/map_output.h"
#include "webmap/map_settings.h"

namespace kestrel {
namespace {

constexpr const char* kWidthItems[kWidthEntryCount] = {"極太", "太い", "標準", "細い", "極細"};
constexpr const char* kServiceItems[] = {"Google (API v2 提供終了)", "地理院地図", "OpenStreetMap"};
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

void AddSwitch(Profile::Values& values, const MapSettings& settings, const MapSwitch& setting) {
  values.emplace_back(setting.key, OnOff(settings.*setting.value));
}

void AddTitle(Profile::Values& values, const MapSettings& settings) { values.emplace_back(kTitleKey, settings.title); }

void AddService(Profile::Values& values, const MapSettings& settings) {
  values.emplace_back(kMapServiceKey, StoredNameOf(settings.service));
}

void AddColor(Profile::Values& values, const MapSettings& settings) {
  values.emplace_back(kLineColorRedKey, std::to_string(settings.chosenColor & 0xFF));
  values.emplace_back(kLineColorGreenKey, std::to_string(settings.chosenColor >> 8 & 0xFF));
  values.emplace_back(kLineColorBlueKey, std::to_string(settings.chosenColor >> 16 & 0xFF));
}

void AddWidth(Profile::Values& values, const MapSettings& settings) {
  values.emplace_back(kLineWidthKey, std::to_string(settings.widthIndex));
}

void AddTrailingSwitches(Profile::Values& values, const MapSettings& settings) {
  for (const MapSwitch& setting : kTrailingSwitches) AddSwitch(values, settings, setting);
}

// Writes the values in one go; a failure is shown.
void Store(Profile& profile, const Profile::Values& values, Shell& shell) {
  if (Result<void> written = profile.WriteValues(kMapSection, values); !written) {
    shell.ShowMessage(written.error().message);
  }
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
  settings.smoothing = page.thinning.smoothing;
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
  page.thinning.smoothing = settings.smoothing;
}

}  // namespace

MapPage::MapPage(Profile& profile) : profile_(profile) {
  const MapSettings settings = ReadMapSettings(profile_);
  apiKey = settings.apiKey;
  controls.widthItems.assign(std::begin(kWidthItems), std::end(kWidthItems));
  controls.serviceItems.assign(std::begin(kServiceItems), std::end(kServiceItems));
  Apply(*this, settings);
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
  thinning.Read();
  sameName = controls.sameName;
}

void MapPage::Show() {
  controls.widthIndex = WidthIndexOfLineWidth(trackWidth);
  controls.transparency = transparency;
  controls.title = title;
  controls.serviceIndex = static_cast<int>(mapService);
  controls.keyStateVisible = mapService == MapService::Google;
  controls.routeReplay = routeReplay;
  controls.overviewControl = overviewControl;
  thinning.Show();
  controls.sameName = sameName;
}

PackedColor MapPage::ChosenColor() const { return ChosenColorOf(trackColor, transparency); }

void MapPage::OnChooseColor(Dialogs& dialogs) {
  Read();
  const std::optional<PackedColor> picked = dialogs.ChooseColor(ChosenColor());
  if (!picked) return;
  trackColor = LineColorFor(*picked, transparency);
  previewColor = trackColor.Pack();
}

void MapPage::OnApiKey(Dialogs& dialogs, Shell& shell) {
  const std::optional<std::string> typed = dialogs.PromptApiKey(apiKey);
  if (!typed) return;
  apiKey = *typed;
  Store(profile_, {{kApiKeyKey, apiKey}}, shell);
}

void MapPage::OnServiceChanged() {
  controls.keyStateVisible = ServiceOfIndex(controls.serviceIndex) == MapService::Google;
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

void MapPage::OnRateChanged(const TrackData& track) {
  thinning.CountPoints(track);
  Show();
}

void MapPage::OnPointCountToggled() {
  Read();
  thinning.EnableByMode();
  Show();
}

void MapPage::ForgetThinning() {
  thinning.Forget();
  Show();
}

void MapPage::OnSaveSettings(Shell& shell) {
  Read();
  const MapSettings settings = SettingsOf(*this);
  Profile::Values values;
  AddTitle(values, settings);
  AddService(values, settings);
  AddColor(values, settings);
  AddSwitch(values, settings, kTransparencySwitch);
  AddWidth(values, settings);
  AddTrailingSwitches(values, settings);
  Store(profile_, values, shell);
}

void MapPage::OnResetSettings(Shell& shell) {
  if (!shell.AskYesNo(kResetSettingsQuestion)) return;
  const MapSettings defaults;
  Apply(*this, defaults);
  Profile::Values values;
  AddWidth(values, defaults);
  AddSwitch(values, defaults, kTransparencySwitch);
  AddColor(values, defaults);
  AddTitle(values, defaults);
  AddService(values, defaults);
  AddTrailingSwitches(values, defaults);
  Store(profile_, values, shell);
  Show();
}

void MapPage::OnOutput(const TrackData& track, const std::string& trackFilePath, Shell& shell, Dialogs& dialogs) {
  // With no points loaded the command stops before it reads the controls.
  if (PointCountOrZero(track) > 0) Read();
  const MapRequest request{SettingsOf(*this), thinning.Choice()};
  const std::optional<std::string> page = RunMapOutput(request, track, trackFilePath, shell);
  if (page && shell.AskYesNo(kOpenInBrowserQuestion)) dialogs.OpenInBrowser(*page);
}

PreviewLine MapPage::OnPaintPreview() {
  Read();
  return {previewColor, trackWidth};
}

KeyState MapPage::OnDrawKeyState() const {
  return apiKey.empty() ? KeyState{kKeyNotSet, kKeyNotSetBackground} : KeyState{kKeySet, kKeySetBackground};
}

}  // namespace kestrel
