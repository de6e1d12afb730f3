#pragma once
// The view of the conversion page (tab " フォーマット変換 "): the format
// choice, the thinning frame shared with the map page, the UTC and naming
// switches and the commands, all drawn from the model.

#include <QWidget>

#include "app/main_window.h"
#include "gui/control_binder.h"
#include "platform/shell.h"

namespace kestrel::gui {

class ConvertPageView : public QWidget {
  Q_OBJECT

 public:
  ConvertPageView(MainWindow& window, Shell& shell, ControlBinder& binder, QWidget* parent);
};

}  // namespace kestrel::gui
