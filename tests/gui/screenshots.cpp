// Writes PNG pictures of the desktop program's window and dialogs, drawn by
// the X server it runs on in the locale and scale it is given, for a person
// to look at (tools/screenshots).
//   gui_screenshots TRACK.usr TRAIL FOLDER
#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QProgressDialog>
#include <QTabBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <filesystem>

#include "app/application.h"
#include "app/main_window.h"
#include "gui/application_setup.h"
#include "gui/main_window_view.h"
#include "gui/prompt_dialogs.h"
#include "gui/qt_shell.h"
#include "app/map_page.h"
#include "platform/output_path.h"
#include "platform/profile.h"
#include "support/test_support.h"
#include "webmap/map_output.h"

namespace {

using namespace kestrel;

// Shows a window, lets it paint, and saves what the screen shows of it.
bool Save(QWidget& window, const QString& folder, const char* name) {
  window.show();
  if (!QTest::qWaitForWindowExposed(&window)) return false;
  QTest::qWait(300);
  const QString file = folder + u'/' + QString::fromUtf8(name) + QStringLiteral(".png");
  const bool saved = window.screen()->grabWindow(window.winId()).save(file, "PNG");
  std::printf("%s\n", qPrintable(file));
  window.hide();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc != 4) {
    std::fprintf(stderr, "usage: gui_screenshots TRACK.usr TRAIL FOLDER\n");
    return 2;
  }
  gui::SetUpApplication(application);
  const std::string track = argv[1];
  const QString folder = QString::fromLocal8Bit(argv[3]);

  // The window as a person sees it after opening the track and naming a trail.
  const test::TempDir scratch;
  Profile profile(scratch.Path("kestrelmarking.INI"));
  MainWindow window(profile, TheApplicationInfo());
  test::ScriptedShell scripted;
  gui::MainWindowView view(window, scripted, scripted);
  scripted.promptAnswers.push_back(argv[2]);
  view.Run([&] { window.OpenTrackFile(track, scripted); });
  view.Run([&] { window.OnChooseTrail(scripted, scripted); });

  bool ok = Save(view, folder, "main-map");
  view.show();
  QTabBar* tabs = view.findChild<QTabBar*>(QStringLiteral("tabs"));
  QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
  ok = Save(view, folder, "main-convert") && ok;

  gui::TrailDialog trail(&view);
  std::vector<ListedTrail> trails;
  for (const TrailEntry& entry : window.track.summary.trails) trails.push_back({entry.name, entry.pointCount});
  trail.SetTrails(trails);
  trail.SetText(argv[2]);
  ok = Save(trail, folder, "trail-dialog") && ok;
  gui::ApiKeyDialog apiKey(&view);
  apiKey.SetText("ABQIAAAA-sample-key");
  ok = Save(apiKey, folder, "api-key-dialog") && ok;
  const ApplicationInfo info = TheApplicationInfo();
  gui::AboutDialog about(info.VersionLine(), info.legalNotice, &view);
  ok = Save(about, folder, "about-dialog") && ok;

  // The shell's dialogs, as the commands open them.
  gui::QtShell shell(info.name);
  shell.SetWindow(&view);
  ok = Save(*shell.MakeMessageBox({"ﾄﾗｯｸﾌｧｲﾙを指定して下さい"}), folder, "message") && ok;
  ok = Save(*shell.MakeMessageBox({"Data Error!\n", MessageIcon::Error}), folder, "message-error") && ok;
  ok = Save(*shell.MakeMessageBox({"変換終了    ", MessageIcon::Information}), folder, "message-done") && ok;
  ok = Save(*shell.MakeMessageBox({kProfileWriteFailedMessage, MessageIcon::None,
                                   "/home/user/.config/kestrelmarking/kestrelmarking.INI: Permission denied"}),
            folder, "message-detail") && ok;
  ok = Save(*shell.MakeQuestionBox(kResetSettingsQuestion), folder, "question-reset") && ok;
  ok = Save(*shell.MakeQuestionBox(kOpenInBrowserQuestion), folder, "question-browser") && ok;
  const std::string existing = std::filesystem::path(track).replace_extension(".html").string();
  ok = Save(*shell.MakeQuestionBox(OverwriteQuestion(existing)), folder, "question") && ok;
  const auto open = shell.MakeFileDialog({"usr", "*.usr", "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"}, false);
  open->setDirectory(QString::fromStdString(std::filesystem::path(track).parent_path().string()));
  ok = Save(*open, folder, "open-dialog") && ok;
  FileDialogRequest proposal = kMapPageDialog;
  proposal.initialFileName = existing;
  const auto save = shell.MakeFileDialog(proposal, true);
  ok = Save(*save, folder, "save-dialog") && ok;
  QColorDialog colour(QColor(255, 0, 0), &view);
  colour.setOption(QColorDialog::DontUseNativeDialog);
  ok = Save(colour, folder, "colour-dialog") && ok;

  // The progress dialog of a long load, half way.
  QTimer::singleShot(0, [&] {
    (void)shell.ReportProgress(0, 1000);
    QThread::msleep(600);
    (void)shell.ReportProgress(500, 1000);
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress != nullptr && progress->isVisible()) {
        for (int i = 0; i < 20; ++i) (void)shell.ReportProgress(500, 1000);
        QThread::msleep(300);
        (void)shell.ReportProgress(500, 1000);
        const QString file = folder + QStringLiteral("/progress.png");
        ok = progress->screen()->grabWindow(progress->winId()).save(file, "PNG") && ok;
        std::printf("%s\n", qPrintable(file));
      }
    }
    application.quit();
  });
  application.exec();
  return ok ? 0 : 1;
}
