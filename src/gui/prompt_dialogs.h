#pragma once
// The small modal dialogs the commands open: the trail name, the API key,
// and the version information.

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "gui/dialog_units.h"
#include "platform/shell.h"

class QLabel;
class QLineEdit;
class QListWidget;

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

// "対象Trail入力": the trails of the file, "name (points)", above the name
// of the trail to load, typed in half-width characters. Picking a trail
// puts its name in the line; a trail picked is loaded even where another
// has its name, until the name is typed over.
class TrailDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TrailDialog(QWidget* parent);

  void SetText(const std::string& text);
  void SetTrails(const std::vector<ListedTrail>& trails);
  // The name in the line, and the trail picked if it still stands there.
  TrailChoice Choice() const;

 private:
  QListWidget* list_;
  QLineEdit* edit_;
  std::vector<ListedTrail> trails_;
  std::optional<std::size_t> picked_;
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
