#include "gui/prompt_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "gui/app_icon.h"
#include "gui/dialog_layout.h"

namespace kestrel::gui {
namespace {

constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

const TextPromptDialog::Design kTrailDesign{.caption = "対象Trail入力",
                                            .width = 186,
                                            .height = 51,
                                            .edit = {7, 7, 130, 14},
                                            .note = "（半角）",
                                            .notePlace = {141, 10, 38, 8},
                                            .ok = {72, 29, 50, 14},
                                            .cancel = {129, 29, 50, 14}};

const TextPromptDialog::Design kApiKeyDesign{.caption = "API_KEY入力",
                                             .width = 283,
                                             .height = 51,
                                             .edit = {7, 7, 269, 14},
                                             .note = nullptr,
                                             .notePlace = {},
                                             .ok = {169, 29, 50, 14},
                                             .cancel = {226, 29, 50, 14}};

// OK and "ｷｬﾝｾﾙ" of a dialog: OK is the default button; a button that has the
// focus takes Enter itself.
void AddButtons(QDialog* dialog, DialogLayout& layout, DialogRect okPlace, const DialogRect* cancelPlace) {
  QPushButton* ok = layout.Button("ok", "OK", okPlace);
  ok->setDefault(true);
  ok->setAutoDefault(true);
  QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
  if (cancelPlace != nullptr) {
    QPushButton* cancel = layout.Button("cancel", "ｷｬﾝｾﾙ", *cancelPlace);
    cancel->setAutoDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  }
}

void SetUp(QDialog* dialog, const char* caption) {
  dialog->setWindowFlags(kDialogFlags);
  dialog->setWindowTitle(QString::fromUtf8(caption));
  dialog->setFont(DialogFont());
}

}  // namespace

TextPromptDialog::TextPromptDialog(const Design& design, QWidget* parent) : QDialog(parent) {
  SetUp(this, design.caption);
  DialogLayout layout(this);
  setFixedSize(layout.Units().ToPixels(design.width, design.height));
  edit_ = layout.Edit("text", design.edit);
  if (design.note != nullptr) layout.Label("note", design.note, design.notePlace);
  AddButtons(this, layout, design.ok, &design.cancel);
  edit_->setFocus();
}

void TextPromptDialog::SetText(const std::string& text) {
  edit_->setText(QString::fromStdString(text));
  edit_->selectAll();
}

std::string TextPromptDialog::Text() const { return edit_->text().toStdString(); }

TrailDialog::TrailDialog(QWidget* parent) : TextPromptDialog(kTrailDesign, parent) {
  setObjectName(QStringLiteral("trailDialog"));
}

ApiKeyDialog::ApiKeyDialog(QWidget* parent) : TextPromptDialog(kApiKeyDesign, parent) {
  setObjectName(QStringLiteral("apiKeyDialog"));
}

AboutDialog::AboutDialog(const std::string& versionLine, const std::string& legalNotice, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("aboutDialog"));
  SetUp(this, "Kestrelmarkingのﾊﾞｰｼﾞｮﾝ情報");
  DialogLayout layout(this);
  setFixedSize(layout.Units().ToPixels(235, 55));
  auto* icon = new QLabel(this);
  icon->setPixmap(ApplicationIcon().pixmap(32, 32));
  icon->setAlignment(Qt::AlignCenter);
  layout.Place(icon, "icon", {11, 10, 20, 20});
  layout.Label("versionLine", "", {40, 10, 188, 8})->setText(QString::fromStdString(versionLine));
  layout.Label("legalNotice", "", {40, 22, 188, 8})->setText(QString::fromStdString(legalNotice));
  AddButtons(this, layout, {178, 35, 50, 14}, nullptr);
}

}  // namespace kestrel::gui
