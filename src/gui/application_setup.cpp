#include "gui/application_setup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "gui/app_icon.h"
#include "gui/dialog_units.h"

namespace kestrel::gui {

void SetUpApplication(QApplication& application) {
  QApplication::setApplicationName(QStringLiteral("Kestrelmarking"));
  QApplication::setWindowIcon(ApplicationIcon());
  QApplication::setFont(DialogFont());
  // The standard dialogs (files, colours) speak the program's language.
  auto* qtTexts = new QTranslator(&application);
  if (qtTexts->load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(qtTexts);
  }
}

}  // namespace kestrel::gui
