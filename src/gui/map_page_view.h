#pragma once
// The view of the map page (tab " GoogleMaps "): every control at its place,
// the preview of the line and the key-state label, all drawn from the model.

#include <QWidget>

#include "app/main_window.h"
#include "gui/control_binder.h"
#include "gui/dialog_units.h"
#include "platform/shell.h"

namespace kestrel::gui {

class MapPageView : public QWidget {
  Q_OBJECT

 public:
  MapPageView(MainWindow& window, Shell& shell, Dialogs& dialogs, ControlBinder& binder, QWidget* parent);

  // Where the preview line runs, in this page's pixels.
  QPoint PreviewStart() const;
  QPoint PreviewEnd() const;

 private:
  DialogUnits units_;
};

}  // namespace kestrel::gui
