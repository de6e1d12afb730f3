// kestrelmarking: the desktop program. One window, run until "終了" or its
// close box; a track file named on the command line is opened in it.
#include <QApplication>
#include <QTimer>
#include <algorithm>

#include "app/application.h"
#include "app/main_window.h"
#include "gui/application_setup.h"
#include "gui/main_window_view.h"
#include "gui/qt_shell.h"
#include "platform/paths.h"
#include "platform/profile.h"

namespace {

// Opens a file as a person would: the data format by its extension (".usr"
// in any letter case is a .usr file, anything else an NMEA log), then "開く".
void OpenTrackFile(kestrel::MainWindow& window, kestrel::gui::MainWindowView& view, kestrel::gui::QtShell& shell,
                   const QString& path) {
  const bool usr = QString::fromStdString(kestrel::SplitPathOf(path.toStdString()).extension)
                       .compare(QStringLiteral(".usr"), Qt::CaseInsensitive) == 0;
  const std::vector<std::string>& formats = window.controls.dataFormatItems;
  const auto format = std::find(formats.begin(), formats.end(), usr ? "usr" : "NMEA");
  if (format == formats.end()) return;
  window.controls.dataFormatIndex = static_cast<int>(format - formats.begin());
  view.Run([&window] { window.OnDataFormatChanged(); });
  shell.AnswerNextOpenDialog(path.toStdString());
  view.Run([&window, &shell] { window.OnOpenTrackFile(shell); });
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  kestrel::gui::SetUpApplication(application);

  kestrel::Profile profile(kestrel::ProfilePathFor(QCoreApplication::applicationFilePath().toStdString()));
  kestrel::MainWindow window(profile, kestrel::TheApplicationInfo());
  kestrel::gui::QtShell shell(window.Info().name);
  kestrel::gui::MainWindowView view(window, shell);
  shell.SetWindow(&view);

  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) {
    QTimer::singleShot(0, &view, [&] { OpenTrackFile(window, view, shell, arguments.at(1)); });
  }
  view.exec();
  return 0;
}
