#include "app/convert_page.h"

#include <iterator>
#include <optional>
#include <stdexcept>

#include "convert/conversion.h"
#include "select/selection.h"

namespace kestrel {
namespace {

// The entries of the format list, in list order: the usr type is not
// offered, this program writes no .usr files.
struct OfferedType {
  OutputType type;
  const char* item;
};
constexpr OfferedType kOfferedTypes[] = {
    {OutputType::Csv, "CSV（ｶﾝﾏ区切り）"}, {OutputType::Trk, "Trk"},        {OutputType::Nmea, "NMEA"},
    {OutputType::Gpx, "GPX"},               {OutputType::Kml, "KML"},        {OutputType::GeoJson, "GeoJSON"},
    {OutputType::GeoPackage, "GeoPackage"},
};

std::optional<OutputType> SelectedType(const ConvertPageControls& controls) {
  if (controls.formatIndex < 0 || controls.formatIndex >= static_cast<int>(std::size(kOfferedTypes))) {
    return std::nullopt;
  }
  return kOfferedTypes[controls.formatIndex].type;
}

int EntryOf(OutputType type) {
  for (std::size_t i = 0; i < std::size(kOfferedTypes); ++i) {
    if (kOfferedTypes[i].type == type) return static_cast<int>(i);
  }
  return -1;
}

// The key of a switch, found in the settings' table while compiling.
constexpr const char* SwitchKey(bool ConversionSettings::*value) {
  for (const SwitchSetting& setting : kConversionSwitches) {
    if (setting.value == value) return setting.key;
  }
  throw std::logic_error("not a stored switch");
}
constexpr const char* kSameNameKey = SwitchKey(&ConversionSettings::sameName);
constexpr const char* kSmoothingKey = SwitchKey(&ConversionSettings::smoothing);
constexpr const char* kUseUtcKey = SwitchKey(&ConversionSettings::useUtc);

// The type's entry selected, and the three switches.
void Apply(ConvertPage& page, const ConversionSettings& settings) {
  page.controls.formatIndex = EntryOf(settings.type);
  page.sameName = settings.sameName;
  page.thinning.smoothing = settings.smoothing;
  page.useUtc = settings.useUtc;
}

// Saving and resetting store the switches and, when one is selected, the
// type, in one write; a failure is shown.
void Store(Profile& profile, const ConvertPage& page, std::optional<OutputType> type, Shell& shell) {
  Profile::Values values{{kSameNameKey, OnOff(page.sameName)}, {kSmoothingKey, OnOff(page.thinning.smoothing)}};
  if (type) values.emplace_back(kOutputTypeKey, std::to_string(static_cast<int>(*type)));
  values.emplace_back(kUseUtcKey, OnOff(page.useUtc));
  if (Result<void> written = profile.WriteValues(kConversionSection, values); !written) {
    shell.ShowMessage(written.error().message);
  }
}

}  // namespace

ConvertPage::ConvertPage(Profile& profile) : profile_(profile) {
  for (const OfferedType& offered : kOfferedTypes) controls.formatItems.emplace_back(offered.item);
  Apply(*this, ReadConversionSettings(profile_));
  controls.showUsrInfoEnabled = false;
  Show();
}

void ConvertPage::Read() {
  sameName = controls.sameName;
  thinning.Read();
  useUtc = controls.useUtc;
}

void ConvertPage::Show() {
  controls.sameName = sameName;
  thinning.Show();
  controls.useUtc = useUtc;
}

void ConvertPage::OnRateChanged(const TrackData& track) {
  thinning.CountPoints(track);
  Show();
}

void ConvertPage::OnPointCountToggled() {
  Read();
  thinning.EnableByMode();
  Show();
}

void ConvertPage::ForgetThinning() {
  thinning.Forget();
  Show();
}

void ConvertPage::OnSaveSettings(Shell& shell) {
  Read();
  Store(profile_, *this, SelectedType(controls), shell);
}

void ConvertPage::OnResetSettings(Shell& shell) {
  if (!shell.AskYesNo(kResetSettingsQuestion)) return;
  const ConversionSettings defaults;
  Apply(*this, defaults);
  Store(profile_, *this, defaults.type, shell);
  // Not read first: the count controls return to their stored values too.
  Show();
}

void ConvertPage::OnConvert(const TrackData& track, const std::string& trackFilePath, Shell& shell) {
  // With no points loaded the command stops before it reads the controls.
  if (PointCountOrZero(track) > 0) Read();
  ConversionRequest request;
  request.type = SelectedType(controls);
  request.thinning = thinning.Choice();
  request.smoothing = thinning.smoothing;
  request.useUtc = useUtc;
  request.sameName = sameName;
  RunConversion(request, track, trackFilePath, shell);
}

}  // namespace kestrel
