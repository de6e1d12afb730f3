#pragma once
// The view of the main window: the track file and trail controls, the
// information box, the tab control with both pages, and "終了". A dialog
// that only "終了" and the close box end; Enter and Escape do nothing. The
// version item is in the window's context menu and on F1, since the window
// manager keeps the system menu to itself.

#include <QDialog>

#include "app/main_window.h"
#include "gui/control_binder.h"
#include "platform/shell.h"

namespace kestrel::gui {

class ConvertPageView;
class MapPageView;

class MainWindowView : public QDialog {
  Q_OBJECT

 public:
  MainWindowView(MainWindow& model, Shell& shell);

  // Sets every widget of the window and its pages from the models.
  void Refresh() { binder_.Refresh(); }
  // Runs a handler of a model, then refreshes every widget.
  void Run(const ControlBinder::Handler& handler) { binder_.Run(handler); }

  MapPageView* MapPageWidget() const { return mapPage_; }
  ConvertPageView* ConvertPageWidget() const { return convertPage_; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  MainWindow& model_;
  ControlBinder binder_;
  MapPageView* mapPage_ = nullptr;
  ConvertPageView* convertPage_ = nullptr;
};

}  // namespace kestrel::gui
