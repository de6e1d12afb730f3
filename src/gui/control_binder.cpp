#include "gui/control_binder.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QWidget>

namespace kestrel::gui {
namespace {

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

// Whether a list or a tab bar already shows these items.
template <typename Widget, typename TextOf>
bool ShowsItems(const Widget& widget, TextOf textOf, const std::vector<std::string>& items) {
  if (widget.count() != static_cast<int>(items.size())) return false;
  for (int i = 0; i < widget.count(); ++i) {
    if ((widget.*textOf)(i) != ToQString(items[static_cast<std::size_t>(i)])) return false;
  }
  return true;
}

}  // namespace

void ControlBinder::Bind(QWidget* widget, Handler refresh) {
  widgets_.emplace_back(widget);
  refreshers_.push_back(std::move(refresh));
}

void ControlBinder::Text(QLineEdit* edit, std::string& text) {
  connect(edit, &QLineEdit::textChanged, this, [&text](const QString& typed) { text = typed.toStdString(); });
  Bind(edit, [edit, &text] {
    // Setting the same text again would move the cursor to the end.
    const QString shown = ToQString(text);
    if (edit->text() != shown) edit->setText(shown);
  });
}

void ControlBinder::Text(QPlainTextEdit* box, const std::string& text) {
  Bind(box, [box, &text] {
    QString shown = ToQString(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (box->toPlainText() != shown) box->setPlainText(shown);
  });
}

void ControlBinder::Text(QLabel* label, const std::string& text) {
  Bind(label, [label, &text] { label->setText(ToQString(text)); });
}

void ControlBinder::Check(QAbstractButton* button, bool& checked, Handler onClick) {
  connect(button, &QAbstractButton::toggled, this, [&checked](bool on) { checked = on; });
  if (onClick) connect(button, &QAbstractButton::clicked, this, [this, onClick] { Run(onClick); });
  Bind(button, [button, &checked] {
    // A radio button of a group cannot be unchecked while it is the checked
    // one; the model decides which ones are, so the group is let go of.
    const bool radio = qobject_cast<QRadioButton*>(button) != nullptr;
    if (radio) button->setAutoExclusive(false);
    button->setChecked(checked);
    if (radio) button->setAutoExclusive(true);
  });
}

void ControlBinder::Choice(QComboBox* list, const std::vector<std::string>& items, int& index, Handler onPick) {
  connect(list, &QComboBox::activated, this, [this, &index, onPick](int picked) {
    index = picked;
    if (onPick) Run(onPick);
  });
  if (list->isEditable()) {
    connect(list->lineEdit(), &QLineEdit::textEdited, this,
            [list, &index](const QString& typed) { index = list->findText(typed); });
  }
  Bind(list, [list, &items, &index] {
    if (!ShowsItems(*list, &QComboBox::itemText, items)) {
      list->clear();
      for (const std::string& item : items) list->addItem(ToQString(item));
    }
    if (index >= 0 || !list->isEditable()) {
      list->setCurrentIndex(index);
    } else {
      // Nothing selected in an editable list: what was typed stays.
      const QString typed = list->currentText();
      list->setCurrentIndex(-1);
      list->setEditText(typed);
    }
  });
}

void ControlBinder::Tabs(QTabBar* bar, const std::vector<std::string>& items, int& index, Handler onPick) {
  connect(bar, &QTabBar::currentChanged, this, [this, &index, onPick = std::move(onPick)](int picked) {
    index = picked;
    Run(onPick);
  });
  Bind(bar, [bar, &items, &index] {
    if (!ShowsItems(*bar, &QTabBar::tabText, items)) {
      while (bar->count() > 0) bar->removeTab(0);
      for (const std::string& item : items) bar->addTab(ToQString(item));
    }
    bar->setCurrentIndex(index);
  });
}

void ControlBinder::Button(QAbstractButton* button, Handler onClick) {
  connect(button, &QAbstractButton::clicked, this, [this, onClick = std::move(onClick)] { Run(onClick); });
}

void ControlBinder::Enabled(std::initializer_list<QWidget*> widgets, const bool& enabled) {
  for (QWidget* widget : widgets) Bind(widget, [widget, &enabled] { widget->setEnabled(enabled); });
}

void ControlBinder::Visible(QWidget* widget, const bool& visible) {
  Bind(widget, [widget, &visible] { widget->setVisible(visible); });
}

void ControlBinder::AfterRefresh(Handler update) { afterRefresh_.push_back(std::move(update)); }

void ControlBinder::Run(const Handler& handler) {
  handler();
  Refresh();
}

void ControlBinder::Refresh() {
  // A widget bound twice (a check box with its enabled flag) is blocked once.
  std::vector<QWidget*> blocked;
  for (const QPointer<QWidget>& widget : widgets_) {
    if (widget && !widget->signalsBlocked()) {
      widget->blockSignals(true);
      blocked.push_back(widget.data());
    }
  }
  for (std::size_t i = 0; i < refreshers_.size(); ++i) {
    if (widgets_[i]) refreshers_[i]();
  }
  for (QWidget* widget : blocked) widget->blockSignals(false);
  for (const Handler& update : afterRefresh_) update();
}

}  // namespace kestrel::gui
