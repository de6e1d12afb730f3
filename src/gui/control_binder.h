#pragma once
// Keeps the widgets of a window and the control state of its model in step.
// A widget the user changes writes its value into the model's control state;
// a widget with a handler then runs that handler of the model; after every
// handler every bound widget is set again from the model. The views hold no
// logic of their own: each control is bound once, in one line.

#include <QObject>
#include <QPointer>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTabBar;
class QWidget;

namespace kestrel::gui {

// Connections end with the binder, so a view may be torn down in any order.
class ControlBinder : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void()>;

  ControlBinder() = default;
  ControlBinder(const ControlBinder&) = delete;
  ControlBinder& operator=(const ControlBinder&) = delete;

  // An edit whose text the user types.
  void Text(QLineEdit* edit, std::string& text);
  // A read-only box of several lines; its lines end in CR LF in the model.
  void Text(QPlainTextEdit* box, const std::string& text);
  // A label whose text the model sets.
  void Text(QLabel* label, const std::string& text);
  // A check box or radio button; the handler runs when the user clicks it.
  void Check(QAbstractButton* button, bool& checked, Handler onClick = {});
  // A drop-down list; the handler runs when the user picks an item. In an
  // editable list, a typed text that is no item leaves nothing selected (-1).
  void Choice(QComboBox* list, const std::vector<std::string>& items, int& index, Handler onPick = {});
  // The tabs of a tab control; the handler runs when the user picks a tab.
  void Tabs(QTabBar* bar, const std::vector<std::string>& items, int& index, Handler onPick);
  // A push button.
  void Button(QAbstractButton* button, Handler onClick);
  void Enabled(std::initializer_list<QWidget*> widgets, const bool& enabled);
  void Visible(QWidget* widget, const bool& visible);
  // Something else to bring up to date after every handler (a repaint, closing).
  void AfterRefresh(Handler update);

  // Runs a handler of the model, then refreshes every widget.
  void Run(const Handler& handler);
  // Sets every bound widget from the model, without any widget reporting it.
  void Refresh();

 private:
  void Bind(QWidget* widget, Handler refresh);

  std::vector<QPointer<QWidget>> widgets_;
  std::vector<Handler> refreshers_;
  std::vector<Handler> afterRefresh_;
};

}  // namespace kestrel::gui
