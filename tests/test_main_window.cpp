// The main window as the user first meets it, its layout, focus order and postal-code panel.
#include <QGroupBox>
#include <QScrollBar>
#include <QtTest>

#include "window_harness.h"

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpState();
  void welcomeTextIsCentredOnTwoLines();
  void controlsSitAtTheirTwipsRectangles_data();
  void controlsSitAtTheirTwipsRectangles();
  void windowIsFixedAndTitled();
  void mingFontsRenderChinese_data();
  void mingFontsRenderChinese();
  void tabVisitsEnabledControlsInOrder();
  void tabLandsOnTheChosenSexButton();
  void postalPanelFollowsThePlace_data();
  void postalPanelFollowsThePlace();
  void rechoosingTheShownPlaceKeepsTheList();
  void islandsAreListedOnlyForTheWholeCountry();
  void secondCopyEndsBeforeLoading();
};

void MainWindowTest::startUpState() {
  WindowHarness h;
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.focus(), h.txtNo());
  const std::pair<const char*, bool> enabled[] = {{"cmdProduce", true}, {"cmdAbout", true},
                                                  {"cmdCheck", false},  {"cmdClear", false},
                                                  {"cmdCopy", false},   {"cmdSelectall", false}};
  for (const auto& [name, on] : enabled) QCOMPARE(h.button(name)->isEnabled(), on);
  QVERIFY(h.control<QRadioButton>("optBoy")->isChecked());
  QVERIFY(!h.control<QRadioButton>("optGirl")->isChecked());
  QCOMPARE(h.combo("cboPlace")->currentIndex(), 0);
  QCOMPARE(h.combo("cboPlace")->currentText(), QStringLiteral("不指定"));
  QCOMPARE(h.combo("cboPlace")->count(), 27);
  QCOMPARE(h.combo("cboHowmuch")->currentText(), QStringLiteral("1"));
  QCOMPARE(h.list("lstNo")->count(), 0);
  QCOMPARE(h.list("lstNo")->toolTip(), QString());
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));

  QCOMPARE(h.control<QLabel>("lblZonenum")->text(), QStringLiteral("全省郵遞區號"));
  QVERIFY(!h.control<QLabel>("lblAreacode")->isVisible());
  QCOMPARE(h.control<QLabel>("lblAreacode")->text(), QStringLiteral("None"));
  QCOMPARE(h.list("lstZonenum")->count(), 369);
  QCOMPARE(h.tag("lstZonenum"), QStringLiteral("dover"));
  for (const char* name : {"cmdProduce", "lstNo", "lblTel", "txtNo", "cboPlace"}) {
    QCOMPARE(h.tag(name), QString());
  }
  QCOMPARE(h.runtime.ends, 0);
  QCOMPARE(h.runtime.pendingEventRuns, 1);  // the yield before the whole-list fill
}

void MainWindowTest::welcomeTextIsCentredOnTwoLines() {
  WindowHarness h;
  QCOMPARE(h.lblTel()->text(), QStringLiteral("歡迎使用Taloma v2.0\r\n身分證字號產生器"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignHCenter);
}

void MainWindowTest::controlsSitAtTheirTwipsRectangles_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("twips");
  QTest::addColumn<bool>("sizesToText");
  const auto row = [](const char* name, int l, int t, int w, int h, bool autoSize = false) {
    QTest::newRow(name) << QString::fromLatin1(name) << QRect(l, t, w, h) << autoSize;
  };
  row("lblTel", 75, 495, 3135, 585);
  row("fraOptions", 75, 1470, 3135, 555);
  row("txtNo", 75, 60, 1845, 405);
  row("cmdProduce", 75, 1125, 975, 375);
  row("cmdCheck", 1155, 1125, 975, 375);
  row("cmdClear", 2235, 1125, 975, 375);
  row("optBoy", 360, 1680, 735, 255);
  row("optGirl", 1320, 1680, 735, 255);
  row("cboPlace", 2160, 1650, 945, 300);
  row("cboHowmuch", 2490, 75, 720, 315);
  row("lstNo", 1515, 2115, 1695, 1500);
  row("cmdCopy", 1515, 3690, 495, 375);
  row("cmdSelectall", 2115, 3690, 495, 375);
  row("cmdAbout", 2715, 3690, 495, 375);
  row("lblZonenum", 75, 2340, 1080, 180, true);
  row("lstZonenum", 75, 2565, 1335, 1500);
  row("lblAreacode", 960, 2070, 105, 240, true);
  row("lblCode", 390, 2100, 540, 180, true);
  row("imgPost", 75, 2040, 300, 300);
}

void MainWindowTest::controlsSitAtTheirTwipsRectangles() {
  QFETCH(QString, name);
  QFETCH(QRect, twips);
  QFETCH(bool, sizesToText);
  WindowHarness h(false);
  const QWidget* control = h.window->findChild<QWidget*>(name);
  QVERIFY(control);
  const auto px = [](int t) { return qRound(t / 15.0); };
  QCOMPARE(control->pos(), QPoint(px(twips.x()), px(twips.y())));
  if (!sizesToText) QCOMPARE(control->size(), QSize(px(twips.width()), px(twips.height())));
}

void MainWindowTest::windowIsFixedAndTitled() {
  WindowHarness h;
  QCOMPARE(h.window->objectName(), QStringLiteral("frmTwno"));
  QCOMPARE(h.window->windowTitle(), QStringLiteral("Taloma v2.0 (身分證字號產生器)"));
  QCOMPARE(h.window->size(), QSize(219, 275));
  QCOMPARE(h.window->minimumSize(), h.window->maximumSize());
  QVERIFY(!(h.window->windowFlags() & Qt::WindowMaximizeButtonHint));
  QVERIFY(h.window->windowFlags() & Qt::WindowMinimizeButtonHint);
  QCOMPARE(h.window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size(), 19);
}

void MainWindowTest::mingFontsRenderChinese_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<qreal>("points");
  QTest::newRow("lblTel") << "lblTel" << 12.0;
  QTest::newRow("txtNo") << "txtNo" << 15.75;
  QTest::newRow("cboHowmuch") << "cboHowmuch" << 9.75;
  QTest::newRow("lstNo") << "lstNo" << 12.0;
  QTest::newRow("cmdCopy") << "cmdCopy" << 8.25;
  QTest::newRow("cmdSelectall") << "cmdSelectall" << 8.25;
  QTest::newRow("cmdAbout") << "cmdAbout" << 8.25;
}

void MainWindowTest::mingFontsRenderChinese() {
  QFETCH(QString, name);
  QFETCH(qreal, points);
  WindowHarness h(false);
  const QFont font = h.window->findChild<QWidget*>(name)->font();
  QCOMPARE(font.family(), QStringLiteral("新細明體"));
  QCOMPARE(font.pointSizeF(), points);
  // Whatever face stands in for 新細明體 must itself hold the Chinese glyphs, or they show as
  // boxes.
  const QFontMetrics metrics(font);
  for (const QChar c : QStringLiteral("身分證字號產生器複製全部關於")) QVERIFY(metrics.inFont(c));
}

void MainWindowTest::tabVisitsEnabledControlsInOrder() {
  WindowHarness h;
  const QStringList startUp = {"cmdProduce", "optBoy",   "cboPlace",   "cboHowmuch",
                               "lstNo",      "cmdAbout", "lstZonenum", "txtNo"};
  for (const QString& expected : startUp) {
    QTest::keyClick(h.focus(), Qt::Key_Tab);
    QCOMPARE(h.focus()->objectName(), expected);
  }

  // With ten characters typed every button of the top row is a stop.
  QTest::keyClicks(h.txtNo(), "A12345678");
  QTest::keyClick(h.txtNo(), Qt::Key_9);
  QCOMPARE(h.focus()->objectName(), QStringLiteral("cmdCheck"));
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(h.focus()->objectName(), QStringLiteral("cmdClear"));
  QTest::keyClick(h.focus(), Qt::Key_Backtab);
  QTest::keyClick(h.focus(), Qt::Key_Backtab);
  QCOMPARE(h.focus()->objectName(), QStringLiteral("cmdProduce"));
}

void MainWindowTest::tabLandsOnTheChosenSexButton() {
  WindowHarness h;
  auto* girl = h.control<QRadioButton>("optGirl");
  QTest::mouseClick(girl, Qt::LeftButton);
  QVERIFY(girl->isChecked());
  h.button("cmdProduce")->setFocus();
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(h.focus(), girl);
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(h.focus()->objectName(), QStringLiteral("cboPlace"));
  QTest::keyClick(h.focus(), Qt::Key_Backtab);
  QCOMPARE(h.focus(), girl);
}

void MainWindowTest::postalPanelFollowsThePlace_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("heading");
  QTest::addColumn<bool>("areaShown");
  QTest::addColumn<QString>("areaCode");
  QTest::addColumn<QStringList>("firstAndLast");
  QTest::addColumn<int>("count");
  QTest::newRow("台北市") << 1 << "台北市郵遞區號" << true << "022"
                          << QStringList{"中正區  100", "文山區  116"} << 12;
  QTest::newRow("陽明山") << 22 << "陽明山郵遞區號" << true << "None"
                          << QStringList{"無特定郵遞區號", "無特定郵遞區號"} << 1;
  QTest::newRow("連江縣") << 24 << "連江縣郵遞區號" << true << "None"
                          << QStringList{"南\u3000竿  209", "東\u3000引  212"} << 4;
  QTest::newRow("金門縣") << 23 << "金門縣郵遞區號" << true << "0823"
                          << QStringList{"金\u3000沙  890", "烏\u3000坵  896"} << 6;
  QTest::newRow("嘉義市") << 25 << "嘉義市郵遞區號" << true << "05"
                          << QStringList{"嘉義市  600", "嘉義市  600"} << 1;
  QTest::newRow("新竹市") << 26 << "新竹市郵遞區號" << true << "03"
                          << QStringList{"新竹市  300", "新竹市  300"} << 1;
  QTest::newRow("不指定") << 0 << "全省郵遞區號" << false << "None"
                          << QStringList{"中正區  100", "釣魚台  290"} << 369;
}

void MainWindowTest::postalPanelFollowsThePlace() {
  QFETCH(int, index);
  QFETCH(QString, heading);
  QFETCH(bool, areaShown);
  QFETCH(QString, areaCode);
  QFETCH(QStringList, firstAndLast);
  QFETCH(int, count);
  WindowHarness h;
  h.pick("cboPlace", 6);  // start from another place, so 不指定 is a real change too
  h.pick("cboPlace", index);
  auto* heading_ = h.control<QLabel>("lblZonenum");
  QCOMPARE(heading_->text(), heading);
  QVERIFY(heading_->width() >= heading_->sizeHint().width());  // sized to its text
  QCOMPARE(h.control<QLabel>("lblAreacode")->isVisible(), areaShown);
  QCOMPARE(h.control<QLabel>("lblAreacode")->text(), areaCode);
  QListWidget* postal = h.list("lstZonenum");
  QCOMPARE(postal->count(), count);
  QCOMPARE(postal->item(0)->text(), firstAndLast.first());
  QCOMPARE(postal->item(count - 1)->text(), firstAndLast.last());
  QCOMPARE(h.tag("lstZonenum"), QStringLiteral("dover"));
  // Every line shows whole, without a horizontal scroll bar.
  QTRY_VERIFY(postal->sizeHintForColumn(0) <= postal->viewport()->width());
  QVERIFY(!postal->horizontalScrollBar()->isVisible());
}

void MainWindowTest::rechoosingTheShownPlaceKeepsTheList() {
  WindowHarness h;
  QListWidget* postal = h.list("lstZonenum");
  QSignalSpy picks(h.combo("cboPlace"), &QComboBox::activated);
  for (const int index : {0, 8}) {
    h.pick("cboPlace", index);
    postal->setCurrentRow(5);
    postal->verticalScrollBar()->setValue(postal->verticalScrollBar()->maximum());
    const QListWidgetItem* before = postal->item(0);
    const int scrolled = postal->verticalScrollBar()->value();
    const int yields = h.runtime.pendingEventRuns;
    const int picked = picks.size();
    h.pick("cboPlace", index);
    QCOMPARE(picks.size(), picked + 1);  // the pick did reach the window
    QCOMPARE(h.runtime.pendingEventRuns, yields);
    QCOMPARE(postal->item(0), before);  // not cleared and refilled
    QCOMPARE(postal->currentRow(), 5);
    QCOMPARE(postal->verticalScrollBar()->value(), scrolled);
  }
}

void MainWindowTest::islandsAreListedOnlyForTheWholeCountry() {
  WindowHarness h;
  const QStringList islands = {"東\u3000沙  817", "南\u3000沙  819", "釣魚台  290"};
  for (int index = 1; index < 27; ++index) {
    h.pick("cboPlace", index);
    for (const QString& island : islands) {
      QVERIFY(h.list("lstZonenum")->findItems(island, Qt::MatchExactly).isEmpty());
    }
  }
  h.pick("cboPlace", 0);
  for (const QString& island : islands) {
    QCOMPARE(h.list("lstZonenum")->findItems(island, Qt::MatchExactly).size(), 1);
  }
}

void MainWindowTest::secondCopyEndsBeforeLoading() {
  FakeRuntime runtime;
  runtime.previousInstanceAnswer = true;
  frmTwno window(runtime);
  QCOMPARE(runtime.ends, 1);
  // Form_Load stopped at once: nothing was chosen and no text was written.
  QCOMPARE(window.findChild<QComboBox*>("cboPlace")->currentIndex(), -1);
  QCOMPARE(window.findChild<QListWidget*>("lstZonenum")->count(), 0);
  QCOMPARE(window.findChild<QLabel*>("lblTel")->text(), QString());
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
