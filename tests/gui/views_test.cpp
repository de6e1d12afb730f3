// The desktop program's window driven through its real widgets on the
// offscreen platform: clicks, typed text, list picks and key presses, with
// a scripted shell in place of the modal dialogs.

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "gui/dialog_units.h"
#include "webmap/map_settings.h"
#include "gui/map_page_view.h"
#include "gui_session.h"

namespace kestrel::test {
namespace {

using Kind = ScriptedShell::Shown::Kind;

QString InfoText(const GuiSession& session) { return session.Find<QPlainTextEdit>("info")->toPlainText(); }

QRgb PixelOf(QWidget* widget, QPoint at) { return widget->grab().toImage().pixel(at); }

void CopyData(const GuiSession& session, const std::string& name, const std::string& as) {
  std::filesystem::copy_file(DataPath(name), session.folder.Path(as));
}

}  // namespace

class ViewsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setFont(gui::DialogFont()); }

  void dialogUnitsRoundAsTheDesktopDoes_data() {
    QTest::addColumn<int>("averageCharWidth");
    QTest::addColumn<int>("charHeight");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QRect>("pixels");
    QTest::addColumn<QPoint>("previewStart");
    // The design's own font: the window is 603 × 434 pixels (433.5 rounds up).
    QTest::newRow("design font") << 6 << 12 << QRect(0, 0, 402, 289) << QRect(0, 0, 603, 434) << QPoint(100, 75);
    QTest::newRow("wider and taller") << 7 << 13 << QRect(35, 14, 105, 14) << QRect(61, 23, 184, 23) << QPoint(117, 81);
    QTest::newRow("small") << 5 << 10 << QRect(1, 1, 3, 3) << QRect(1, 1, 4, 4) << QPoint(83, 63);
  }

  void dialogUnitsRoundAsTheDesktopDoes() {
    QFETCH(int, averageCharWidth);
    QFETCH(int, charHeight);
    QFETCH(QRect, place);
    QFETCH(QRect, pixels);
    QFETCH(QPoint, previewStart);
    const gui::DialogUnits units(averageCharWidth, charHeight);
    QCOMPARE(units.ToPixels({place.x(), place.y(), place.width(), place.height()}), pixels);
    QCOMPARE(units.FromDesignPixels({100, 75}), previewStart);
  }

  void firstStartShowsTheDefaults() {
    GuiSession s;
    QCOMPARE(s.view->windowTitle(), QStringLiteral("Kestrelmarking"));
    // As designed, 289 dialog units high, and at least 402 wide: the
    // information box takes what its lines need.
    const gui::DialogUnits units(s.view->font());
    QCOMPARE(s.view->size(), s.view->Content()->size());
    QCOMPARE(s.view->height(), units.ToPixelsY(289));
    QVERIFY(s.view->width() >= units.ToPixelsX(402));
    QTabBar* tabs = s.Find<QTabBar>("tabs");
    QCOMPARE(tabs->count(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral(" GoogleMaps "));
    QCOMPARE(tabs->tabText(1), QStringLiteral(" フォーマット変換 "));
    QVERIFY(s.Find<QWidget>("mapPage")->isVisible());
    QVERIFY(!s.Find<QWidget>("convertPage")->isVisible());
    QCOMPARE(s.Find<QComboBox>("dataFormat")->currentText(), QStringLiteral("usr"));
    QCOMPARE(s.Find<QLabel>("trailLabel")->text(), QStringLiteral("対象Trailを指定して下さい ："));
    QVERIFY(s.Find<QPushButton>("chooseTrail")->isEnabled());
    QCOMPARE(InfoText(s), QString());

    // The map page.
    QCOMPARE(s.Find<QLineEdit>("title")->text(), QStringLiteral("Sample GPS Data"));
    QCOMPARE(s.Find<QComboBox>("widthList")->currentText(), QStringLiteral("標準"));
    QCOMPARE(s.Find<QComboBox>("widthList")->count(), 5);
    QVERIFY(!s.Find<QComboBox>("widthList")->isEditable());
    QVERIFY(s.Find<QCheckBox>("transparency")->isChecked());
    QVERIFY(s.Find<QCheckBox>("routeReplay")->isChecked());
    QVERIFY(s.Find<QRadioButton>("dropTrail")->isChecked());
    QVERIFY(!s.Find<QRadioButton>("keepTrail")->isChecked());
    QVERIFY(s.Find<QCheckBox>("overviewControl")->isChecked());
    QCOMPARE(s.Find<QComboBox>("rateList")->currentText(), QStringLiteral("100"));
    QCOMPARE(s.Find<QComboBox>("rateList")->count(), 100);
    QVERIFY(!s.Find<QLineEdit>("pointCount")->isEnabled());
    QVERIFY(!s.Find<QPushButton>("showUsrInfo")->isEnabled());

    // The conversion page: CSV, of the seven types of the format list.
    QWidget* convert = s.Find<QWidget>("convertPage");
    auto* format = convert->findChild<QComboBox*>("format");
    QCOMPARE(format->currentText(), QStringLiteral("CSV（ｶﾝﾏ区切り）"));
    QCOMPARE(format->count(), 7);
  }

  void openNameTheTrailAndReadTheSummary() {
    GuiSession s;
    const std::string track = DataPath("usr/three-trails.usr");
    s.OpenTrackFile(track);
    QCOMPARE(s.shell.shown.at(0).dialog, (FileDialogRequest{"usr", "*.usr", "usrﾌｧｲﾙ(*.usr)|*.usr|全て(*.*)|*.*||"}));
    QCOMPARE(s.Find<QComboBox>("trackFilePath")->currentText(), QString::fromStdString(track));
    const QString overview = InfoText(s);
    QVERIFY2(overview.contains(QStringLiteral("\n TrailA (450)\n Second (201)\n 東京散歩 (3)")), qPrintable(overview));

    s.ChooseTrail("東京散歩");
    QCOMPARE(s.shell.shown.back().kind, Kind::TrailPrompt);
    QVERIFY2(InfoText(s).startsWith(QStringLiteral("【トラック】\nthree-trails.usr\n\n【対象Trail】\n東京散歩\n\n"
                                                   "【データ数】\n3 (Points)")),
             qPrintable(InfoText(s)));
    QVERIFY(s.Find<QPushButton>("showUsrInfo")->isEnabled());

    // The conversion page shows the file's overview again.
    s.SelectTab(Tab::Convert);
    QWidget* convert = s.Find<QWidget>("convertPage");
    QVERIFY(convert->isVisible());
    QTest::mouseClick(convert->findChild<QPushButton*>("showUsrInfo"), Qt::LeftButton);
    QCOMPARE(InfoText(s), overview);

    // A log has no trails: the trail controls and both overview buttons go
    // while NMEA is picked, and come back with usr.
    s.Pick("dataFormat", QStringLiteral("NMEA"));
    QVERIFY(!s.Find<QPushButton>("chooseTrail")->isEnabled());
    QVERIFY(!s.Find<QLabel>("trailLabel")->isEnabled());
    QVERIFY(!convert->findChild<QPushButton*>("showUsrInfo")->isEnabled());
    s.Pick("dataFormat", QStringLiteral("usr"));
    QVERIFY(s.Find<QPushButton>("chooseTrail")->isEnabled());
    QVERIFY(convert->findChild<QPushButton*>("showUsrInfo")->isEnabled());
  }

  // The line under the information box: how many lines of a log were skipped.
  void theLineUnderTheBoxCountsSkippedLines() {
    GuiSession s;
    WriteFileBytes(s.folder.Path("damaged.log"),
                   "$GPGGA,1*00\n" + ReadFileBytes(DataPath("nmea/gga-rmc-noise.log")));
    s.Pick("dataFormat", QStringLiteral("NMEA"));
    s.OpenTrackFile(s.folder.Path("damaged.log"));
    auto* notice = s.Find<QLabel>("notice");
    QCOMPARE(notice->text(), QStringLiteral("NMEAﾃﾞｰﾀの1行を読み飛ばしました"));
    QVERIFY(notice->geometry().top() > s.Find<QWidget>("info")->geometry().bottom());
    QVERIFY(notice->geometry().bottom() < s.Find<QWidget>("exit")->geometry().top());
    s.OpenTrackFile(DataPath("nmea/gga-rmc-noise.log"));
    QCOMPARE(notice->text(), QString());
  }

  void aTrailThatIsNotThereIsReported() {
    GuiSession s;
    s.ChooseTrail("TrailA");  // no file yet: the prompt is not shown
    QCOMPARE(s.shell.Messages(), std::vector<std::string>{"ﾄﾗｯｸﾌｧｲﾙを指定して下さい"});
    QCOMPARE(s.shell.promptAnswers.size(), std::size_t{1});
    s.shell.promptAnswers.clear();
    s.OpenTrackFile(DataPath("usr/three-trails.usr"));
    s.ChooseTrail("traila");
    QCOMPARE(s.shell.Messages().back(), std::string("対象Trailが見付かりません"));
    QVERIFY(!s.Find<QPushButton>("showUsrInfo")->isEnabled());
  }

  void switchingTabsKeepsEachPageAsItWasLeft() {
    GuiSession s;
    s.Type("title", QStringLiteral("箱根の道"));
    s.Click("smoothing");
    s.SelectTab(Tab::Convert);
    QVERIFY(!s.Find<QWidget>("mapPage")->isVisible());
    QWidget* convert = s.Find<QWidget>("convertPage");
    QTest::mouseClick(convert->findChild<QCheckBox*>("useUtc"), Qt::LeftButton);
    s.SelectTab(Tab::Map);
    QVERIFY(s.Find<QWidget>("mapPage")->isVisible());
    QCOMPARE(s.Find<QLineEdit>("title")->text(), QStringLiteral("箱根の道"));
    QVERIFY(s.Find<QCheckBox>("smoothing")->isChecked());
    QVERIFY(convert->findChild<QCheckBox*>("useUtc")->isChecked());
  }

  void settingsSurviveARestartAndResetTakesEffectAtOnce() {
    GuiSession s;
    s.Type("title", QStringLiteral("箱根の道"));
    s.Pick("mapService", QStringLiteral("OpenStreetMap"));
    s.Click("transparency");
    s.Pick("widthList", QStringLiteral("極太"));
    s.Click("keepTrail");
    s.Click("routeReplay");
    QVERIFY(!s.Find<QRadioButton>("keepTrail")->isEnabled());
    s.Click("overviewControl");
    s.Click("smoothing");
    s.Click("sameName");
    s.Click("saveSettings");
    s.SelectTab(Tab::Convert);
    QWidget* convert = s.Find<QWidget>("convertPage");
    s.Pick("format", QStringLiteral("Trk"), convert);
    for (const char* name : {"useUtc", "smoothing", "sameName"}) {
      QTest::mouseClick(convert->findChild<QAbstractButton*>(name), Qt::LeftButton);
    }
    QTest::mouseClick(convert->findChild<QPushButton*>("saveSettings"), Qt::LeftButton);

    s.Restart();
    QCOMPARE(s.Find<QLineEdit>("title")->text(), QStringLiteral("箱根の道"));
    QCOMPARE(s.Find<QComboBox>("mapService")->currentText(), QStringLiteral("OpenStreetMap"));
    QVERIFY(!s.Find<QCheckBox>("transparency")->isChecked());
    QCOMPARE(s.Find<QComboBox>("widthList")->currentText(), QStringLiteral("極太"));
    QVERIFY(!s.Find<QCheckBox>("routeReplay")->isChecked());
    QVERIFY(s.Find<QRadioButton>("keepTrail")->isChecked());
    QVERIFY(!s.Find<QRadioButton>("keepTrail")->isEnabled());
    QVERIFY(!s.Find<QCheckBox>("overviewControl")->isChecked());
    QVERIFY(s.Find<QCheckBox>("smoothing")->isChecked());
    QVERIFY(s.Find<QCheckBox>("sameName")->isChecked());
    convert = s.Find<QWidget>("convertPage");
    for (const char* name : {"useUtc", "smoothing", "sameName"}) {
      QVERIFY2(convert->findChild<QAbstractButton*>(name)->isChecked(), name);
    }
    QCOMPARE(convert->findChild<QComboBox*>("format")->currentText(), QStringLiteral("Trk"));

    // Reset asks, then shows the defaults at once and stores them without a save.
    s.shell.yesNoAnswers.push_back(true);
    s.Click("resetSettings");
    QCOMPARE(s.shell.shown.back().kind, Kind::Question);
    QCOMPARE(s.Find<QLineEdit>("title")->text(), QStringLiteral("Sample GPS Data"));
    const MapPageControls& map = s.window->mapPage.controls;
    QCOMPARE(s.Find<QComboBox>("mapService")->currentText(),
             QString::fromStdString(map.serviceItems.at(static_cast<std::size_t>(MapSettings{}.service))));
    QVERIFY(s.Find<QRadioButton>("dropTrail")->isChecked());
    QVERIFY(s.Find<QRadioButton>("keepTrail")->isEnabled());
    s.Restart();
    QVERIFY(s.Find<QCheckBox>("transparency")->isChecked());
    QCOMPARE(s.Find<QComboBox>("widthList")->currentText(), QStringLiteral("標準"));
    QVERIFY(s.Find<QCheckBox>("routeReplay")->isChecked());
  }

  void pickingAPercentageShowsThePointsAndUndoesUnreadChanges() {
    GuiSession s;
    s.OpenTrackFile(DataPath("usr/three-trails.usr"));
    s.ChooseTrail("TrailA");  // 450 points
    s.Pick("rateList", QStringLiteral("50"));
    QCOMPARE(s.Find<QLabel>("pointsLabel")->text(), QStringLiteral("(225 Points)"));
    s.Pick("rateList", QStringLiteral("1"));
    QCOMPARE(s.Find<QLabel>("pointsLabel")->text(), QStringLiteral("(5 Points)"));

    // A box ticked since the page last read its controls goes back to its
    // stored value when the page shows them again.
    s.SelectTab(Tab::Convert);
    QWidget* convert = s.Find<QWidget>("convertPage");
    auto* useUtc = convert->findChild<QCheckBox*>("useUtc");
    QTest::mouseClick(useUtc, Qt::LeftButton);
    QVERIFY(useUtc->isChecked());
    auto* rateList = convert->findChild<QComboBox*>("rateList");
    rateList->setFocus();
    QTest::keyClick(rateList, Qt::Key_Down);
    QCOMPARE(rateList->currentText(), QStringLiteral("99"));
    QVERIFY(!useUtc->isChecked());

    // The point count mode swaps the enabled controls.
    auto* pointCount = convert->findChild<QLineEdit*>("pointCount");
    QTest::mouseClick(convert->findChild<QCheckBox*>("usePointCount"), Qt::LeftButton);
    QVERIFY(pointCount->isEnabled());
    QVERIFY(!rateList->isEnabled());
    QVERIFY(!convert->findChild<QLabel*>("pointsLabel")->isEnabled());
  }

  void convertingWritesWhatTheCommandLineWrites_data() {
    QTest::addColumn<QString>("trail");
    QTest::addColumn<QString>("profile");
    QTest::addColumn<QString>("format");  // the entry of the format list to pick, or none
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("points");
    QTest::addColumn<bool>("smooth");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("golden");
    QTest::newRow("trk at 5 %") << "TrailA"
                                << ""
                                << "Trk"
                                << "5"
                                << "" << false << "a.trk"
                                << "TrailA-rate5.trk";
    QTest::newRow("smoothed csv") << "東京散歩"
                                  << ""
                                  << ""
                                  << ""
                                  << "" << true << "b.csv"
                                  << "東京散歩-smooth.csv";
    QTest::newRow("log, by the stored setting") << "Second"
                                                << "[DConv_Section]\ndconbfiletype=1\n"
                                                << ""
                                                << ""
                                                << "20" << false << "c.log"
                                                << "Second-points20.log";
  }

  void convertingWritesWhatTheCommandLineWrites() {
    QFETCH(QString, trail);
    QFETCH(QString, profile);
    QFETCH(QString, format);
    QFETCH(QString, rate);
    QFETCH(QString, points);
    QFETCH(bool, smooth);
    QFETCH(QString, output);
    QFETCH(QString, golden);
    const ScopedTimeZone zone("Asia/Tokyo");
    GuiSession s(profile.toStdString());
    s.OpenTrackFile(DataPath("usr/three-trails.usr"));
    s.ChooseTrail(trail.toStdString());
    s.SelectTab(Tab::Convert);
    QWidget* convert = s.Find<QWidget>("convertPage");
    if (!format.isEmpty()) s.Pick("format", format, convert);
    if (!rate.isEmpty()) s.Pick("rateList", rate, convert);
    if (!points.isEmpty()) {
      s.Click("usePointCount", convert);
      QTest::keyClicks(s.Find<QLineEdit>("pointCount", convert), points);
    }
    if (smooth) s.Click("smoothing", convert);
    const std::string path = s.folder.Path(output.toStdString());
    s.shell.fileAnswers.push_back(path);
    s.shell.shown.clear();
    s.Click("convert", convert);
    QCOMPARE(s.shell.shown.size(), std::size_t{2});
    QCOMPARE(s.shell.shown[0].kind, Kind::SaveDialog);
    QCOMPARE(s.shell.shown[1].text, std::string("変換終了    "));
    QCOMPARE(s.shell.shown[1].icon, MessageIcon::Information);
    QVERIFY(ReadFileBytes(path) == ReadFileBytes(DataPath("cli/convert/" + golden.toStdString())));
  }

  void theMapSiteIsWritten() {
    GuiSession s;
    CopyData(s, "usr/three-trails.usr", "walk.usr");
    s.OpenTrackFile(s.folder.Path("walk.usr"));
    s.ChooseTrail("Second");
    s.Type("title", QStringLiteral("箱根 & 芦ノ湖"));
    s.Click("sameName");
    s.shell.shown.clear();
    s.shell.yesNoAnswers.push_back(false);  // not in the browser
    s.Click("output");
    QCOMPARE(s.shell.Messages(), std::vector<std::string>{"変換終了    "});
    QCOMPARE(s.shell.shown.front().icon, MessageIcon::Information);
    QCOMPARE(s.folder.Names(), (std::vector<std::string>{"kestrelmarking.INI", "walk.css", "walk.html", "walk.js",
                                                         "walk.leaflet.css", "walk.leaflet.js", "walk.map.js",
                                                         "walk.usr"}));
    QVERIFY(ReadFileBytes(s.folder.Path("walk.html")).find("箱根 &amp; 芦ノ湖") != std::string::npos);
  }

  void thePreviewLineAndTheKeyStateAreDrawnFromTheModel() {
    GuiSession s;
    auto* page = s.Find<gui::MapPageView>("mapPage");
    const QPoint middle = (page->PreviewStart() + page->PreviewEnd()) / 2;
    // Red, faded while transparency is on.
    QCOMPARE(QColor(PixelOf(page, middle)), QColor(236, 58, 58));
    s.Click("transparency");
    QCOMPARE(QColor(PixelOf(page, middle)), QColor(255, 0, 0));
    // The width in pixels: "標準" is 3, "極太" 5.
    const QColor background = QColor(PixelOf(page, middle + QPoint(0, 8)));
    QCOMPARE(QColor(PixelOf(page, middle + QPoint(0, 2))), background);
    s.Pick("widthList", QStringLiteral("極太"));
    QCOMPARE(QColor(PixelOf(page, middle + QPoint(0, 2))), QColor(255, 0, 0));
    QCOMPARE(QColor(PixelOf(page, middle + QPoint(0, 3))), background);
    // The colour chooser starts from the chosen colour and sets the line.
    s.shell.colorAnswers.push_back(0xFF0000);  // blue
    s.Click("chooseColor");
    QCOMPARE(s.shell.shown.back().text, std::to_string(0x0000FF));
    QCOMPARE(QColor(PixelOf(page, middle)), QColor(0, 0, 255));

    QWidget* keyState = s.Find<QWidget>("keyState");
    QCOMPARE(QColor(PixelOf(keyState, {1, 1})), QColor(255, 0, 0));
    s.shell.promptAnswers.push_back("my-key");
    s.Click("apiKey");
    QCOMPARE(QColor(PixelOf(keyState, {1, 1})), QColor(128, 128, 255));
    s.Restart();
    QCOMPARE(QColor(PixelOf(s.Find<QWidget>("keyState"), {1, 1})), QColor(128, 128, 255));
  }

  void enterAndEscapeDoNothing() {
    GuiSession s;
    s.shell.fileAnswers.push_back(DataPath("usr/three-trails.usr"));
    QPushButton* open = s.Find<QPushButton>("open");
    open->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(open, key);
      QTest::keyClick(s.Find<QLineEdit>("title"), key);
      QTest::keyClick(s.view.get(), key);
    }
    QVERIFY(s.view->isVisible());
    QVERIFY(!s.window->Closed());
    QVERIFY(s.shell.shown.empty());
  }

  void onlyExitCtrlQAndTheCloseBoxEndTheProgram() {
    GuiSession s;
    s.Click("exit");
    QVERIFY(s.window->Closed());
    QVERIFY(!s.view->isVisible());
    QCOMPARE(s.view->result(), int{QDialog::Rejected});

    s.Restart();
    QVERIFY(s.view->close());
    QVERIFY(s.window->Closed());
    QVERIFY(!s.view->isVisible());

    s.Restart();
    s.view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.view.get()));
    QTest::keyClick(s.Find<QLineEdit>("title"), Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(s.window->Closed());
    QVERIFY(!s.view->isVisible());
  }

  // real_window_test.sh clicks the window at places given in vertical
  // dialog units, the window's height being 289 of them.
  void thePlacesTheRealWindowTestClicksHitTheirControls() {
    GuiSession s;
    const int height = s.view->height();
    const auto at = [height](int x, int y) { return QPoint(x * height / 289, y * height / 289); };
    QTabBar* tabs = s.Find<QTabBar>("tabs");
    QCOMPARE(tabs->tabAt(tabs->mapFrom(s.view.get(), at(35, 61))), 0);
    QCOMPARE(tabs->tabAt(tabs->mapFrom(s.view.get(), at(98, 61))), 1);
    QCOMPARE(s.view->Content()->childAt(at(316, 286)), nullptr);
    QCOMPARE(s.view->Content()->childAt(at(150, 20))->parentWidget(), s.Find<QWidget>("trackFilePath"));
  }

  void theVersionItemIsInTheContextMenuAndOnF1() {
    GuiSession s;
    QCOMPARE(s.view->contextMenuPolicy(), Qt::ActionsContextMenu);
    const QList<QAction*> actions = s.view->actions();
    QCOMPARE(actions.size(), 1);
    QCOMPARE(actions.at(0)->text(), QStringLiteral("Kestrelmarking のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
    QTest::keyClick(s.Find<QLineEdit>("title"), Qt::Key_F1);
    QCOMPARE(s.shell.shown.size(), std::size_t{1});
    QCOMPARE(s.shell.shown[0].kind, Kind::VersionInfo);
    QVERIFY(s.shell.shown[0].text.starts_with("Kestrelmarking ver 1.00\n"));
  }
};

}  // namespace kestrel::test

QTEST_MAIN(kestrel::test::ViewsTest)
#include "views_test.moc"
