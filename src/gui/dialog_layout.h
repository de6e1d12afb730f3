#pragma once
// Makes the controls of a window at their places in dialog units, each with
// the caption of its design and a name that tests and tools find it by.

#include <QString>
#include <vector>

#include "gui/dialog_units.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace kestrel::gui {

class DialogLayout {
 public:
  // Uses the base units of the parent's font.
  explicit DialogLayout(QWidget* parent);

  const DialogUnits& Units() const { return units_; }

  // A frame without a caption; made before the controls it frames, so that
  // they lie above it.
  QGroupBox* Frame(const char* name, DialogRect place);
  QLabel* Label(const char* name, const char* caption, DialogRect place, bool centred = false);
  QPushButton* Button(const char* name, const char* caption, DialogRect place);
  QCheckBox* CheckBox(const char* name, const char* caption, DialogRect place);
  QRadioButton* RadioButton(const char* name, const char* caption, DialogRect place);
  QLineEdit* Edit(const char* name, DialogRect place);
  // The place's height is that of the opened list; the closed list is as
  // high as the font needs, and at least as wide as the style needs to show
  // its widest item (the style's drop-down arrow may be wider than the
  // design's).
  QComboBox* List(const char* name, DialogRect place, const char* widestItem, bool editable = false);
  // Several lines, read-only, with a vertical scroll bar.
  QPlainTextEdit* TextBox(const char* name, DialogRect place);

  void Place(QWidget* widget, const char* name, DialogRect place) const;

 private:
  QWidget* parent_;
  DialogUnits units_;
};

// Sets the order in which the Tab key visits the widgets.
void SetTabOrder(const std::vector<QWidget*>& widgets);

}  // namespace kestrel::gui
