// The window's layout in the desktop's language: every caption fits the
// place of its control, and the window has the same size under a Japanese
// locale as under the C locale (the dialog font is found by a name known in
// every language). Run once per locale.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QAbstractItemView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <vector>

#include "gui/dialog_units.h"
#include "gui/prompt_dialogs.h"
#include "gui_session.h"

namespace kestrel::test {
namespace {

constexpr const char* kPrintSize = "--print-window-size";

// The text a control shows, without the mnemonic mark.
QString ShownText(QString text) { return text.remove(QStringLiteral("(&")).replace(u'&', QString()); }

// What a caption needs beside its text: the box of a check box or radio button.
int IndicatorWidth(const QAbstractButton& button) {
  const QStyle* style = button.style();
  if (qobject_cast<const QCheckBox*>(&button) != nullptr) {
    return style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, &button) +
           style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, &button);
  }
  if (qobject_cast<const QRadioButton*>(&button) != nullptr) {
    return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, &button) +
           style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, &button);
  }
  return 2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
}

void ExpectEveryCaptionFits(const QWidget& window) {
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->text().isEmpty() || label->pixmap().isNull() == false) continue;
    const int needed = label->fontMetrics().horizontalAdvance(label->text());
    QVERIFY2(needed <= label->width(), qPrintable(QStringLiteral("%1 %2: %3 > %4")
                                                      .arg(label->objectName(), label->text())
                                                      .arg(needed)
                                                      .arg(label->width())));
  }
  for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
    if (button->objectName().isEmpty() || button->text().isEmpty() || button->isHidden()) continue;
    const int needed = button->fontMetrics().horizontalAdvance(ShownText(button->text())) + IndicatorWidth(*button);
    QVERIFY2(needed <= button->width(), qPrintable(QStringLiteral("%1 %2: %3 > %4")
                                                       .arg(button->objectName(), button->text())
                                                       .arg(needed)
                                                       .arg(button->width())));
  }
}

// No two controls of one parent lie on each other (a list grown to its
// widest entry, a button widened for its caption).
void ExpectNoControlsOverlap(const QWidget& window) {
  for (const QWidget* parent : window.findChildren<QWidget*>()) {
    std::vector<const QWidget*> controls;
    for (const QObject* child : parent->children()) {
      const auto* widget = qobject_cast<const QWidget*>(child);
      if (widget == nullptr || widget->isHidden() || widget->objectName().isEmpty()) continue;
      if (qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QComboBox*>(widget) ||
          qobject_cast<const QLineEdit*>(widget)) {
        controls.push_back(widget);
      }
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
      for (std::size_t k = i + 1; k < controls.size(); ++k) {
        QVERIFY2(!controls[i]->geometry().intersects(controls[k]->geometry()),
                 qPrintable(controls[i]->objectName() + QStringLiteral(" on ") + controls[k]->objectName()));
      }
    }
  }
}

}  // namespace

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setFont(gui::DialogFont()); }

  void everyCaptionFitsItsControl() {
    GuiSession s;
    s.Find<QLabel>("pointsLabel")->setText(QStringLiteral("(65535 Points)"));
    ExpectEveryCaptionFits(*s.view);
    ExpectNoControlsOverlap(*s.view);
    ExpectEveryCaptionFits(gui::TrailDialog(nullptr));
    ExpectEveryCaptionFits(gui::ApiKeyDialog(nullptr));
    ExpectEveryCaptionFits(gui::AboutDialog("Kestrelmarking ver 1.00", "Copyright (C) 2026 Kestrelmarking developers", nullptr));
  }

  // Tab goes through a page frame by frame, and the percentage list opens
  // as a short list.
  void tabOrderAndListHeights() {
    GuiSession s;
    // The next widget that Tab stops at.
    const auto next = [&s](const char* name) {
      QWidget* widget = s.Find<QWidget>(name, s.MapPage())->nextInFocusChain();
      while ((widget->focusPolicy() & Qt::TabFocus) == 0) widget = widget->nextInFocusChain();
      return widget;
    };
    QCOMPARE(next("overviewControl"), s.Find<QWidget>("smoothing", s.MapPage()));
    QCOMPARE(next("pointCount"), s.Find<QWidget>("apiKey"));
    QCOMPARE(next("resetSettings"), s.Find<QWidget>("output"));
    auto* rates = s.Find<QComboBox>("rateList");
    rates->showPopup();
    const QWidget* popup = rates->view()->window();
    QVERIFY(popup->isVisible());
    QVERIFY2(popup->height() <= 11 * rates->view()->sizeHintForRow(0) + 2 * rates->height(),
             qPrintable(QString::number(popup->height())));
    rates->hidePopup();
  }

  // The summary box shows each line of a summary on one line.
  void theSummaryLinesDoNotWrap() {
    GuiSession s;
    s.window->OpenTrackFile(DataPath("nmea/gga-rmc-noise.log"), s.shell);
    s.view->Refresh();
    auto* info = s.Find<QPlainTextEdit>("info");
    QVERIFY(info->toPlainText().contains(QStringLiteral("【時刻(ローカル時間)】")));
    for (QTextBlock block = info->document()->begin(); block.isValid(); block = block.next()) {
      QVERIFY2(block.layout()->lineCount() == 1, qPrintable(block.text()));
    }
  }

  void theWindowHasOneSizeInEveryLocale() {
    QStringList sizes;
    for (const char* locale : {"C.UTF-8", "ja_JP.UTF-8"}) {
      QProcess child;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert(QStringLiteral("LANG"), QString::fromLatin1(locale));
      environment.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
      child.setProcessEnvironment(environment);
      child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kPrintSize)});
      QVERIFY(child.waitForFinished(60000));
      sizes << QString::fromUtf8(child.readAllStandardOutput()).trimmed();
    }
    QVERIFY2(!sizes.at(0).isEmpty(), "no size printed");
    QCOMPARE(sizes.at(1), sizes.at(0));
  }
};

}  // namespace kestrel::test

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  if (argc == 2 && std::strcmp(argv[1], kestrel::test::kPrintSize) == 0) {
    QApplication::setFont(kestrel::gui::DialogFont());
    kestrel::test::GuiSession s;
    std::printf("%dx%d\n", s.view->width(), s.view->height());
    return 0;
  }
  kestrel::test::LayoutTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "layout_test.moc"
