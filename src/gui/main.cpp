// kestrelmarking: the desktop program. One window, run until "終了" or its
// close box; a track file named on the command line is opened in it.
#include <QApplication>
#include <QTimer>

#include "app/application.h"
#include "app/main_window.h"
#include "gui/application_setup.h"
#include "gui/main_window_view.h"
#include "gui/qt_shell.h"
#include "platform/profile.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  kestrel::gui::SetUpApplication(application);

  kestrel::Profile profile(kestrel::ProfilePathFor(QCoreApplication::applicationFilePath().toStdString()));
  kestrel::MainWindow window(profile, kestrel::TheApplicationInfo());
  kestrel::gui::QtShell shell(window.Info().name);
  kestrel::gui::MainWindowView view(window, shell, shell);
  shell.SetWindow(&view);

  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 1) {
    const std::string path = arguments.at(1).toStdString();
    QTimer::singleShot(0, &view, [&view, &window, &shell, path] { view.Run([&] { window.OpenTrackFile(path, shell); }); });
  }
  view.exec();
  return 0;
}
