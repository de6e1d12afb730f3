#include "app/convert_page.h"

#include <optional>
#include <span>
#include <stdexcept>

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
  page.thinning.smoothing = settings.smoothing;
  page.useUtc = settings.useUtc;
}

// Saving and resetting store the switches and, when one is checked, the
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
  Apply(*this, ReadConversionSettings(profile_));
  // The usr and NMEA buttons stay hidden: only a stored type checks one of them.
  controls.usrEnabled = false;
  controls.nmeaEnabled = false;
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
  Store(profile_, *this, FirstChecked(controls, kSavingOrder), shell);
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
  request.type = FirstChecked(controls, kConvertingOrder);
  request.thinning = thinning.Choice();
  request.smoothing = thinning.smoothing;
  request.useUtc = useUtc;
  request.sameName = sameName;
  RunConversion(request, track, trackFilePath, shell);
}

}  // namespace kestrel
