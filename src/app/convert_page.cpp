#include "app/convert_page.h"

#include <optional>
#include <span>
#include <stdexcept>

#include "app/main_window.h"
#include "app/thinning_controls.h"
#include "convert/conversion.h"
#include "select/selection.h"

namespace kestrel {
namespace {

// Where more than one format button is checked (a hidden one from the
// profile and a visible one), saving and converting each take the first
// checked one in their own order.
constexpr OutputType kSavingOrder[] = {OutputType::Csv, OutputType::Nmea, OutputType::Usr, OutputType::Trk};
constexpr OutputType kConvertingOrder[] = {OutputType::Trk, OutputType::Nmea, OutputType::Usr, OutputType::Csv};

// The check box of a format button.
bool ConvertPageControls::*CheckOf(OutputType type) {
  switch (type) {
    case OutputType::Usr:
      return &ConvertPageControls::usrChecked;
    case OutputType::Nmea:
      return &ConvertPageControls::nmeaChecked;
    case OutputType::Trk:
      return &ConvertPageControls::trkChecked;
    case OutputType::Csv:
      break;
  }
  return &ConvertPageControls::csvChecked;
}

std::optional<OutputType> FirstChecked(const ConvertPageControls& controls, std::span<const OutputType> order) {
  for (const OutputType type : order) {
    if (controls.*CheckOf(type)) return type;
  }
  return std::nullopt;
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

// One format button checked, the others cleared, and the three switches.
void Apply(ConvertPage& page, const ConversionSettings& settings) {
  for (const OutputType type : kSavingOrder) page.controls.*CheckOf(type) = type == settings.type;
  page.sameName = settings.sameName;
  page.smoothing = settings.smoothing;
  page.useUtc = settings.useUtc;
}

// Saving and resetting write in this order; the type only when one is checked.
void Store(Profile& profile, const ConvertPage& page, std::optional<OutputType> type) {
  profile.WriteString(kConversionSection, kSameNameKey, OnOff(page.sameName));
  profile.WriteString(kConversionSection, kSmoothingKey, OnOff(page.smoothing));
  if (type) profile.WriteInteger(kConversionSection, kOutputTypeKey, static_cast<int>(*type));
  profile.WriteString(kConversionSection, kUseUtcKey, OnOff(page.useUtc));
}

}  // namespace

ConvertPage::ConvertPage(MainWindow& window, Profile& profile) : window_(window), profile_(profile) {
  Apply(*this, ReadConversionSettings(profile_));
  // The usr and NMEA buttons stay hidden: only a stored type checks one of them.
  controls.usrEnabled = false;
  controls.nmeaEnabled = false;
  controls.rateItems = RateListItems();
  controls.rateIndex = 0;
  controls.pointCountEnabled = false;
  controls.showUsrInfoEnabled = false;
  Show();
}

void ConvertPage::Read() {
  sameName = controls.sameName;
  pointsLabel = controls.pointsLabel;
  usePointCount = controls.usePointCount;
  pointCountText = controls.pointCountText;
  smoothing = controls.smoothing;
  useUtc = controls.useUtc;
}

void ConvertPage::Show() {
  controls.sameName = sameName;
  controls.pointsLabel = pointsLabel;
  controls.usePointCount = usePointCount;
  controls.pointCountText = pointCountText;
  controls.smoothing = smoothing;
  controls.useUtc = useUtc;
}

void ConvertPage::OnRateChanged() {
  if (const std::optional<std::string> label = PointsLabelFor(window_.track, controls.rateIndex)) pointsLabel = *label;
  Show();
}

void ConvertPage::OnPointCountToggled() {
  Read();
  controls.pointCountEnabled = usePointCount;
  controls.rateControlsEnabled = !usePointCount;
  Show();
}

void ConvertPage::OnShowUsrInfo() { window_.ShowUsrFileOverview(); }

void ConvertPage::OnSaveSettings() {
  Read();
  Store(profile_, *this, FirstChecked(controls, kSavingOrder));
}

void ConvertPage::OnResetSettings() {
  const ConversionSettings defaults;
  Apply(*this, defaults);
  Store(profile_, *this, defaults.type);
  // Not read first: the count controls return to their stored values too.
  Show();
}

void ConvertPage::OnConvert(Shell& shell) {
  // With no points loaded the command stops before it reads the controls.
  if (PointCountOrZero(window_.track) > 0) Read();
  ConversionRequest request;
  request.type = FirstChecked(controls, kConvertingOrder);
  request.thinning = {usePointCount, pointCountText, controls.rateIndex};
  request.smoothing = smoothing;
  request.useUtc = useUtc;
  request.sameName = sameName;
  RunConversion(request, window_.track, window_.trackFilePath, shell);
}

}  // namespace kestrel
