#pragma once
// The desktop program in a test: a profile in a fresh folder, the main
// window's model and its real view on the offscreen platform, and a scripted
// shell that answers the dialogs. Tests drive the widgets as a person does.

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <memory>
#include <string>

#include "app/application.h"
#include "app/main_window.h"
#include "gui/main_window_view.h"
#include "support/test_support.h"

namespace kestrel::test {

class GuiSession {
 public:
  explicit GuiSession(const std::string& profileText = "") : profile(folder.Path("kestrelmarking.INI")) {
    if (!profileText.empty()) WriteFileBytes(profile.Path(), profileText);
    Restart();
  }

  // Closes the window and starts the program again on the same profile.
  void Restart() {
    view.reset();
    window.reset();
    profile = Profile(profile.Path());  // read once, as the program does when it starts
    window = std::make_unique<MainWindow>(profile, TheApplicationInfo());
    view = std::make_unique<gui::MainWindowView>(*window, shell, shell);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get())) qFatal("the main window did not appear");
  }

  // The pages, whose controls have the same names where they are alike.
  QWidget* MapPage() const { return Find<QWidget>("mapPage"); }
  QWidget* ConvertPage() const { return Find<QWidget>("convertPage"); }

  // A widget by its name, in the window or in one page; a missing one ends
  // the test run.
  template <typename Widget>
  Widget* Find(const char* name, const QWidget* within = nullptr) const {
    const QWidget* root = within != nullptr ? within : view.get();
    auto* widget = root->findChild<Widget*>(QString::fromUtf8(name));
    if (widget == nullptr) qFatal("no widget named %s", name);
    return widget;
  }

  void Click(const char* name, const QWidget* within = nullptr) const {
    QTest::mouseClick(Find<QAbstractButton>(name, within), Qt::LeftButton);
  }

  // Picks an item of a drop-down list: opens the list, points at the item
  // with the mouse and takes it.
  void Pick(const char* listName, const QString& item, const QWidget* within = nullptr) const {
    QComboBox* list = Find<QComboBox>(listName, within);
    const int row = list->findText(item);
    if (row < 0) qFatal("no item %s in %s", qPrintable(item), listName);
    list->showPopup();
    QAbstractItemView* items = list->view();
    const QModelIndex index = items->model()->index(row, 0);
    items->scrollTo(index, QAbstractItemView::PositionAtCenter);
    const QPoint at = items->visualRect(index).center();
    QMouseEvent move(QEvent::MouseMove, at, items->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(items->viewport(), &move);
    // The opened list ignores a click that comes quicker than a double click
    // after it opened, as a person's never does; Enter takes the item pointed at.
    QTest::keyClick(items, Qt::Key_Return);
    if (list->currentIndex() != row) qFatal("%s was not picked in %s", qPrintable(item), listName);
  }

  void SelectTab(Tab tab) const {
    QTabBar* tabs = Find<QTabBar>("tabs");
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(static_cast<int>(tab)).center());
  }

  // Types into a widget: Latin letters key by key, Japanese text as an
  // input method commits it.
  static void TypeText(QWidget* widget, const QString& text) {
    bool latin = true;
    for (const QChar c : text) latin = latin && c.unicode() < 0x80;
    if (latin) {
      QTest::keyClicks(widget, text);
    } else {
      QInputMethodEvent input;
      input.setCommitString(text);
      QCoreApplication::sendEvent(widget, &input);
    }
  }

  // Replaces the text of an edit by typing.
  void Type(const char* editName, const QString& text, const QWidget* within = nullptr) const {
    QWidget* edit = Find<QWidget>(editName, within);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    TypeText(edit, text);
  }

  // "開く" with the file chosen in the dialog, and "Trail指定" with a name typed.
  void OpenTrackFile(const std::string& path) {
    shell.fileAnswers.push_back(path);
    Click("open");
  }
  void ChooseTrail(const std::string& name) {
    shell.promptAnswers.push_back(name);
    Click("chooseTrail");
  }

  TempDir folder;
  Profile profile;
  ScriptedShell shell;
  std::unique_ptr<MainWindow> window;
  std::unique_ptr<gui::MainWindowView> view;
};

}  // namespace kestrel::test
