#pragma once
// The view of the main window: the track file and trail controls, the
// information box, the tab control with both pages, and "終了". A dialog
// that only "終了", Ctrl+Q and the close box end; Enter and Escape do
// nothing, except that Enter in the track file box opens the path typed
// there. A file dropped on the window opens. The version item is in the
// window's context menu and on F1, since the window manager keeps the
// system menu to itself. The window can be resized: its controls keep
// their places and scroll where the screen is too small for them.

#include <QDialog>

#include "app/main_window.h"
#include "gui/control_binder.h"
#include "platform/shell.h"

class QScrollArea;

namespace kestrel::gui {

class ConvertPageView;
class MapPageView;

class MainWindowView : public QDialog {
  Q_OBJECT

 public:
  MainWindowView(MainWindow& model, Shell& shell, Dialogs& dialogs);

  // Sets every widget of the window and its pages from the models.
  void Refresh() { binder_.Refresh(); }
  // Runs a handler of a model, then refreshes every widget.
  void Run(const ControlBinder::Handler& handler) { binder_.Run(handler); }

  // The widget that holds every control at its designed place.
  QWidget* Content() const { return content_; }
  MapPageView* MapPageWidget() const { return mapPage_; }
  ConvertPageView* ConvertPageWidget() const { return convertPage_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  MainWindow& model_;
  Shell& shell_;
  ControlBinder binder_;
  QScrollArea* scroll_ = nullptr;
  QWidget* content_ = nullptr;
  MapPageView* mapPage_ = nullptr;
  ConvertPageView* convertPage_ = nullptr;
};

}  // namespace kestrel::gui
