// The desktop's shell with its real dialogs: each test answers the modal
// dialog a command opens, as a person would, and checks what it showed.

#include "gui/qt_shell.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>

#include "gui/dialog_units.h"
#include "gui/prompt_dialogs.h"
#include "support/test_support.h"

namespace kestrel::test {
namespace {

// Runs the answer once a modal dialog of the given kind is up, while the
// command that opened it waits for it.
template <typename Dialog>
void WhenShown(std::function<void(Dialog*)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(5);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    // The overwrite question of a save dialog is a message box over it.
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    answer(dialog);
  });
  poll->start();
}

QString Text(const std::string& text) { return QString::fromStdString(text); }

// A named child of a dialog; a missing one ends the test run.
template <typename Widget>
Widget* ChildOf(QWidget* dialog, const char* name) {
  auto* child = dialog->findChild<Widget*>(QString::fromUtf8(name));
  if (child == nullptr) qFatal("no %s in the dialog", name);
  return child;
}

// Puts a name into a file dialog's name box and presses Enter. The name is
// put in whole, as pasted: typed letter by letter, the box would open its
// completion list, which takes the Enter for itself.
void EnterFileName(QFileDialog* dialog, const std::string& name) {
  auto* box = ChildOf<QLineEdit>(dialog, "fileNameEdit");
  box->setText(QString::fromStdString(name));
  QTest::keyClick(box, Qt::Key_Return);
}

QProgressDialog* VisibleProgressDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* progress = qobject_cast<QProgressDialog*>(widget);
    if (progress != nullptr && progress->isVisible()) return progress;
  }
  return nullptr;
}

const FileDialogRequest kUsrRequest{"usr", "*.usr", "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"};
const FileDialogRequest kHtmlRequest{"html", "*.html", "htmlﾌｧｲﾙ(*.html)|*.html|全て(*.*)|*.*||"};

}  // namespace

class QtShellTest : public QObject {
  Q_OBJECT

 private:
  gui::QtShell shell_{"Kestrelmarking"};

 private slots:
  void initTestCase() { QApplication::setFont(gui::DialogFont()); }

  void filterListsBecomeNameFilters_data() {
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("filters");
    QTest::newRow("usr") << "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"
                         << QStringList{"usrﾌｧｲﾙ(*.usr) (*.usr)", "全て(*.*) (*)"};
    QTest::newRow("several patterns") << "Web(*.html;*.htm)|*.html;*.htm||"
                                      << QStringList{"Web(*.html;*.htm) (*.html *.htm)"};
    QTest::newRow("no end mark") << "CSV|*.csv" << QStringList{"CSV (*.csv)"};
    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("no pattern") << "just a text" << QStringList{};
  }

  void filterListsBecomeNameFilters() {
    QFETCH(QString, list);
    QFETCH(QStringList, filters);
    QCOMPARE(gui::NameFiltersOf(list.toStdString()), filters);
  }

  void theFileDialogShowsTheDescriptionsAsWritten() {
    const auto dialog = shell_.MakeFileDialog(kUsrRequest, false);
    auto* types = ChildOf<QComboBox>(dialog.get(), "fileTypeCombo");
    QCOMPARE(types->count(), 2);
    QCOMPARE(types->itemText(0), QStringLiteral("usrﾌｧｲﾙ(*.usr)"));
    QCOMPARE(types->itemText(1), QStringLiteral("全て(*.*)"));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("開く"));
    QCOMPARE(dialog->defaultSuffix(), QStringLiteral("usr"));
  }

  void messagesCarryTheProgramsNameAndTheirIcon_data() {
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("shown");
    QTest::newRow("error without icon") << int(MessageIcon::None) << int(QMessageBox::NoIcon);
    QTest::newRow("Data Error!") << int(MessageIcon::Error) << int(QMessageBox::Critical);
    QTest::newRow("done") << int(MessageIcon::Information) << int(QMessageBox::Information);
  }

  void messagesCarryTheProgramsNameAndTheirIcon() {
    QFETCH(int, icon);
    QFETCH(int, shown);
    const std::string text = "ﾄﾗｯｸﾌｧｲﾙを指定して下さい\n";
    bool seen = false;
    WhenShown<QMessageBox>([&](QMessageBox* box) {
      seen = true;
      QCOMPARE(box->windowTitle(), QStringLiteral("Kestrelmarking"));
      QCOMPARE(box->text(), Text(text));
      QCOMPARE(int(box->icon()), shown);
      QCOMPARE(box->buttons().size(), 1);
      QCOMPARE(box->buttons().at(0)->text(), QStringLiteral("OK"));
      QTest::mouseClick(box->buttons().at(0), Qt::LeftButton);
    });
    shell_.ShowMessage({text, static_cast<MessageIcon>(icon)});
    QVERIFY(seen);
  }

  // The system's reason goes into the box's detailed text; a box of a
  // short text is still wide enough for its caption.
  void aMessagesDetailIsTheBoxsDetailedText() {
    const auto box = shell_.MakeMessageBox({"設定を保存出来ませんでした", MessageIcon::None, "k.INI: Permission denied"});
    QCOMPARE(box->detailedText(), QStringLiteral("k.INI: Permission denied"));
    const auto shortBox = shell_.MakeMessageBox({"OK?", MessageIcon::Error});
    QVERIFY(shortBox->detailedText().isEmpty());
    shortBox->show();
    QTest::qWait(20);  // the box lays itself out again on its own
    QVERIFY(shortBox->width() > shortBox->fontMetrics().horizontalAdvance(QStringLiteral("Kestrelmarking")) + 100);
  }

  void questionsAreAnsweredWithYesOrNo() {
    for (const bool yes : {true, false}) {
      WhenShown<QMessageBox>([yes](QMessageBox* box) {
        QCOMPARE(box->windowTitle(), QStringLiteral("Kestrelmarking"));
        QCOMPARE(int(box->icon()), int(QMessageBox::NoIcon));
        QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("はい(&Y)"));
        QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("いいえ(&N)"));
        QTest::mouseClick(box->button(yes ? QMessageBox::Yes : QMessageBox::No), Qt::LeftButton);
      });
      QCOMPARE(shell_.AskYesNo("上書きしますか?"), yes);
    }
  }

  void theOpenDialogAddsTheDefaultExtension() {
    TempDir folder;
    WriteFileBytes(folder.Path("walk.usr"), "");
    WhenShown<QFileDialog>([&](QFileDialog* dialog) { EnterFileName(dialog, folder.Path("walk")); });
    QCOMPARE(shell_.ChooseFileToOpen(kUsrRequest), std::optional<std::string>(folder.Path("walk.usr")));

    WhenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QCOMPARE(shell_.ChooseFileToOpen(kUsrRequest), std::nullopt);
  }

  void theSaveDialogAsksBeforeReplacingAFile() {
    TempDir folder;
    WriteFileBytes(folder.Path("walk.html"), "old");
    bool asked = false;
    WhenShown<QFileDialog>([&](QFileDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("名前を付けて保存"));
      WhenShown<QMessageBox>([&](QMessageBox* question) {
        asked = true;
        QTest::mouseClick(question->button(QMessageBox::Yes), Qt::LeftButton);
      });
      EnterFileName(dialog, folder.Path("walk"));
    });
    QCOMPARE(shell_.ChooseFileToSave(kHtmlRequest), std::optional<std::string>(folder.Path("walk.html")));
    QVERIFY(asked);

    // A new name is taken without a question.
    WhenShown<QFileDialog>([&](QFileDialog* dialog) { EnterFileName(dialog, folder.Path("new")); });
    QCOMPARE(shell_.ChooseFileToSave(kHtmlRequest), std::optional<std::string>(folder.Path("new.html")));
  }

  void theTrailPromptTakesATypedNameOrAPickedTrailOnOkOnly() {
    const std::vector<ListedTrail> trails = {{"Twice", 8}, {"Twice", 9}, {"東京散歩", 3}};
    WhenShown<gui::TrailDialog>([](gui::TrailDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("対象Trail入力"));
      QCOMPARE(ChildOf<QLabel>(dialog, "note")->text(), QStringLiteral("（半角）"));
      auto* list = ChildOf<QListWidget>(dialog, "trails");
      QCOMPARE(list->count(), 3);
      QCOMPARE(list->item(2)->text(), QStringLiteral("東京散歩 (3)"));
      auto* edit = ChildOf<QLineEdit>(dialog, "text");
      QCOMPARE(edit->text(), QStringLiteral("Old"));
      QTest::keyClicks(edit, QStringLiteral("Twice"));  // replaces the selected old name
      QTest::keyClick(edit, Qt::Key_Return);            // OK is the default button
    });
    QCOMPARE(shell_.PromptTrailName("Old", trails), std::optional<TrailChoice>(TrailChoice{"Twice"}));

    // The first of two namesakes, picked from the list.
    WhenShown<gui::TrailDialog>([](gui::TrailDialog* dialog) {
      auto* list = ChildOf<QListWidget>(dialog, "trails");
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
      QCOMPARE(ChildOf<QLineEdit>(dialog, "text")->text(), QStringLiteral("Twice"));
      QTest::mouseClick(ChildOf<QPushButton>(dialog, "ok"), Qt::LeftButton);
    });
    QCOMPARE(shell_.PromptTrailName("Old", trails), std::optional<TrailChoice>(TrailChoice{"Twice", 0}));

    // A name typed over a pick is a name again.
    WhenShown<gui::TrailDialog>([](gui::TrailDialog* dialog) {
      auto* list = ChildOf<QListWidget>(dialog, "trails");
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
      QTest::keyClick(ChildOf<QLineEdit>(dialog, "text"), Qt::Key_Backspace);
      QTest::keyClicks(ChildOf<QLineEdit>(dialog, "text"), QStringLiteral("e"));
      QTest::keyClick(ChildOf<QLineEdit>(dialog, "text"), Qt::Key_Return);
    });
    QCOMPARE(shell_.PromptTrailName("Old", trails), std::optional<TrailChoice>(TrailChoice{"Twice"}));

    WhenShown<gui::TrailDialog>([](gui::TrailDialog* dialog) {
      QTest::keyClicks(ChildOf<QLineEdit>(dialog, "text"), QStringLiteral("X"));
      QTest::mouseClick(ChildOf<QPushButton>(dialog, "cancel"), Qt::LeftButton);
    });
    QCOMPARE(shell_.PromptTrailName("Old", trails), std::nullopt);

    WhenShown<gui::TrailDialog>([](gui::TrailDialog* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QCOMPARE(shell_.PromptTrailName("Old", trails), std::nullopt);
  }

  void theKeyPromptReturnsWhateverWasTyped() {
    WhenShown<gui::ApiKeyDialog>([](gui::ApiKeyDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("API_KEY入力"));
      const gui::DialogUnits units(dialog->font());
      QCOMPARE(dialog->size(), QSize(units.ToPixelsX(283), units.ToPixelsY(51)));
      QTest::keyClick(ChildOf<QLineEdit>(dialog, "text"), Qt::Key_Delete);
      QTest::mouseClick(ChildOf<QPushButton>(dialog, "ok"), Qt::LeftButton);
    });
    QCOMPARE(shell_.PromptApiKey("old-key"), std::optional<std::string>(""));
  }

  void theVersionDialogShowsBothLines() {
    WhenShown<gui::AboutDialog>([](gui::AboutDialog* dialog) {
      QCOMPARE(dialog->windowTitle(), QStringLiteral("Kestrelmarkingのﾊﾞｰｼﾞｮﾝ情報"));
      QCOMPARE(ChildOf<QLabel>(dialog, "versionLine")->text(), QStringLiteral("Kestrelmarking ver 1.00"));
      QCOMPARE(ChildOf<QLabel>(dialog, "legalNotice")->text(), QStringLiteral("Copyright notice"));
      QTest::keyClick(dialog, Qt::Key_Escape);
    });
    shell_.ShowVersionInfo("Kestrelmarking ver 1.00", "Copyright notice");
    QVERIFY(QApplication::activeModalWidget() == nullptr);
  }

  void theColourChooserStartsFromTheColourGiven() {
    WhenShown<QColorDialog>([](QColorDialog* dialog) {
      QCOMPARE(dialog->currentColor(), QColor(255, 0, 0));
      dialog->setCurrentColor(QColor(0, 0, 255));
      dialog->accept();
    });
    QCOMPARE(shell_.ChooseColor(0x0000FF), std::optional<std::uint32_t>(0xFF0000));
  }

  void aQuickLoadShowsNoProgressAndALongOneDoes() {
    QEventLoop loop;
    QPointer<QProgressDialog> shown;
    bool quickShown = true;
    QTimer::singleShot(0, [&] {
      shell_.ReportProgress(0, 1000);
      shell_.ReportProgress(999, 1000);
      quickShown = VisibleProgressDialog() != nullptr;
      loop.quit();
    });
    loop.exec();
    QTest::qWait(1);
    QVERIFY(!quickShown);

    QTimer::singleShot(0, [&] {
      shell_.ReportProgress(0, std::int64_t{1} << 40);
      QThread::msleep(600);
      shell_.ReportProgress(std::int64_t{1} << 39, std::int64_t{1} << 40);
      shell_.ReportProgress(std::int64_t{3} << 38, std::int64_t{1} << 40);
      shown = VisibleProgressDialog();
      loop.quit();
    });
    loop.exec();
    QVERIFY(shown != nullptr);
    QCOMPARE(shown->value(), 750);
    // The dialog goes with the command, when the event loop takes over again.
    QTest::qWait(1);
    QVERIFY(shown == nullptr);
  }

  // Cancel ends the work: every report after it answers false.
  void cancellingTheProgressDialogStopsTheWork() {
    QEventLoop loop;
    std::vector<bool> answers;
    QTimer::singleShot(0, [&] {
      answers.push_back(shell_.ReportProgress(0, 100));
      QThread::msleep(600);
      answers.push_back(shell_.ReportProgress(10, 100));
      QTest::mouseClick(ChildOf<QPushButton>(VisibleProgressDialog(), ""), Qt::LeftButton);
      answers.push_back(shell_.ReportProgress(20, 100));
      answers.push_back(VisibleProgressDialog() != nullptr);
      loop.quit();
    });
    loop.exec();
    QCOMPARE(answers, (std::vector<bool>{true, true, false, false}));
    // The next command starts afresh.
    QTest::qWait(1);
    QVERIFY(shell_.ReportProgress(0, 100));
    QTest::qWait(1);
  }
};

}  // namespace kestrel::test

QTEST_MAIN(kestrel::test::QtShellTest)
#include "qt_shell_test.moc"
