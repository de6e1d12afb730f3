#pragma once
// The small modal dialogs the commands open: the trail name, the API key,
// and the version information.

#include <QDialog>
#include <string>

#include "gui/dialog_units.h"

class QLabel;
class QLineEdit;

namespace kestrel::gui {

// A dialog with one line to type in, OK (the default button) and "ｷｬﾝｾﾙ".
class TextPromptDialog : public QDialog {
  Q_OBJECT

 public:
  struct Design {
    const char* caption;
    int width;
    int height;
    DialogRect edit;
    const char* note;  // beside the edit, or nullptr
    DialogRect notePlace;
    DialogRect ok;
    DialogRect cancel;
  };

  TextPromptDialog(const Design& design, QWidget* parent);

  void SetText(const std::string& text);
  std::string Text() const;

 private:
  QLineEdit* edit_;
};

// "対象Trail入力": the name of the trail to load, typed in half-width characters.
class TrailDialog : public TextPromptDialog {
  Q_OBJECT

 public:
  explicit TrailDialog(QWidget* parent);
};

// "API_KEY入力": the key of the map service; it checks nothing.
class ApiKeyDialog : public TextPromptDialog {
  Q_OBJECT

 public:
  explicit ApiKeyDialog(QWidget* parent);
};

// "Kestrelmarkingのﾊﾞｰｼﾞｮﾝ情報": the icon, the program's name and version,
// and its legal notice. OK, Enter and Escape close it.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  AboutDialog(const std::string& versionLine, const std::string& legalNotice, QWidget* parent);
};

}  // namespace kestrel::gui
