#include "gui/dialog_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <algorithm>

namespace kestrel::gui {

DialogLayout::DialogLayout(QWidget* parent) : parent_(parent), units_(parent->font()) {}

void DialogLayout::Place(QWidget* widget, const char* name, DialogRect place) const {
  widget->setObjectName(QString::fromUtf8(name));
  widget->setGeometry(units_.ToPixels(place));
}

QGroupBox* DialogLayout::Frame(const char* name, DialogRect place) {
  auto* frame = new QGroupBox(parent_);
  Place(frame, name, place);
  return frame;
}

QLabel* DialogLayout::Label(const char* name, const char* caption, DialogRect place, bool centred) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent_);
  label->setAlignment(centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
  Place(label, name, place);
  return label;
}

QPushButton* DialogLayout::Button(const char* name, const char* caption, DialogRect place) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent_);
  // Enter presses no button of these windows unless a dialog makes one its default.
  button->setAutoDefault(false);
  Place(button, name, place);
  return button;
}

QCheckBox* DialogLayout::CheckBox(const char* name, const char* caption, DialogRect place) {
  auto* box = new QCheckBox(QString::fromUtf8(caption), parent_);
  Place(box, name, place);
  return box;
}

QRadioButton* DialogLayout::RadioButton(const char* name, const char* caption, DialogRect place) {
  auto* button = new QRadioButton(QString::fromUtf8(caption), parent_);
  Place(button, name, place);
  return button;
}

QLineEdit* DialogLayout::Edit(const char* name, DialogRect place) {
  auto* edit = new QLineEdit(parent_);
  Place(edit, name, place);
  return edit;
}

QComboBox* DialogLayout::List(const char* name, DialogRect place, const char* widestItem, bool editable) {
  auto* list = new QComboBox(parent_);
  list->setEditable(editable);
  // A typed text is neither completed nor added to the list.
  list->setInsertPolicy(QComboBox::NoInsert);
  if (editable) list->setCompleter(nullptr);
  Place(list, name, place);
  list->addItem(QString::fromUtf8(widestItem));
  list->resize(std::max(list->width(), list->sizeHint().width()), list->sizeHint().height());
  list->clear();
  return list;
}

QPlainTextEdit* DialogLayout::TextBox(const char* name, DialogRect place) {
  auto* box = new QPlainTextEdit(parent_);
  box->setReadOnly(true);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Place(box, name, place);
  return box;
}

void SetTabOrder(const std::vector<QWidget*>& widgets) {
  for (std::size_t i = 1; i < widgets.size(); ++i) QWidget::setTabOrder(widgets[i - 1], widgets[i]);
}

}  // namespace kestrel::gui
