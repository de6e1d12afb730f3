#include "gui/prompt_dialogs.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "gui/app_icon.h"
#include "gui/dialog_layout.h"

namespace kestrel::gui {
namespace {

constexpr Qt::WindowFlags kDialogFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The trail dialog: the list of trails above the line of the name.
constexpr int kTrailWidth = 186;
constexpr int kTrailHeight = 114;
constexpr DialogRect kTrailList{7, 7, 172, 60};
constexpr DialogRect kTrailEdit{7, 71, 130, 14};
constexpr DialogRect kTrailNote{141, 74, 38, 8};
constexpr DialogRect kTrailOk{72, 93, 50, 14};
constexpr DialogRect kTrailCancel{129, 93, 50, 14};

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

TrailDialog::TrailDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("trailDialog"));
  SetUp(this, "対象Trail入力");
  DialogLayout layout(this);
  setFixedSize(layout.Units().ToPixels(kTrailWidth, kTrailHeight));
  list_ = new QListWidget(this);
  layout.Place(list_, "trails", kTrailList);
  edit_ = layout.Edit("text", kTrailEdit);
  layout.Label("note", "（半角）", kTrailNote);
  AddButtons(this, layout, kTrailOk, &kTrailCancel);
  connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row < 0) return;
    picked_ = static_cast<std::size_t>(row);
    edit_->setText(QString::fromStdString(trails_[*picked_].name));
  });
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  // A name typed is looked up by name.
  connect(edit_, &QLineEdit::textEdited, this, [this] {
    picked_.reset();
    list_->setCurrentRow(-1);
  });
  SetTabOrder({edit_, list_});
  edit_->setFocus();
}

void TrailDialog::SetText(const std::string& text) {
  list_->setCurrentRow(-1);
  picked_.reset();
  edit_->setText(QString::fromStdString(text));
  edit_->selectAll();
}

void TrailDialog::SetTrails(const std::vector<ListedTrail>& trails) {
  trails_ = trails;
  for (const ListedTrail& trail : trails_) {
    list_->addItem(QString::fromStdString(trail.name + " (" + std::to_string(trail.pointCount) + ")"));
  }
}

TrailChoice TrailDialog::Choice() const { return {edit_->text().toStdString(), picked_}; }

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
