// The main window as the user first meets it: start-up, fonts, focus order and the postal panel.
#include <QAccessible>
#include <QScrollBar>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QtTest>

#include "window_harness.h"

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpState();
  void tabVisitsEnabledControlsInOrder();
  void postalPanelFollowsThePlace_data();
  void postalPanelFollowsThePlace();
  void rechoosingTheShownPlaceKeepsTheList();
  void refilledListsStartAtTheTop();
  void screenReadersHearNamesRolesAndCaptions();
};

void MainWindowTest::startUpState() {
  WindowHarness h;
  QCOMPARE(h.focus(), h.txtNo());
  for (const char* name : {"cmdCheck", "cmdClear", "cmdCopy", "cmdSelectall"}) {
    QVERIFY2(!h.button(name)->isEnabled(), name);
  }
  // The welcome text is centred although its caption change left-aligned the label first.
  QCOMPARE(h.lblTel()->text(), QStringLiteral("歡迎使用Taloma v2.0\r\n身分證字號產生器"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignHCenter);
  QVERIFY(!h.control<QLabel>("lblAreacode")->isVisible());
  QCOMPARE(h.list("lstZonenum")->count(), 369);
  QCOMPARE(h.tag("lstZonenum"), QStringLiteral("dover"));
  QCOMPARE(h.tag("cmdProduce"), QString());
  QCOMPARE(h.runtime.yields, 1);  // the heading is painted before the long fill
}

void MainWindowTest::tabVisitsEnabledControlsInOrder() {
  WindowHarness h;
  const auto tabsTo = [&h](const QStringList& names, Qt::Key key = Qt::Key_Tab) {
    for (const QString& name : names) {
      QTest::keyClick(h.focus(), key);
      QCOMPARE(h.focus()->objectName(), name);
    }
  };
  tabsTo({"cmdProduce", "optBoy", "cboPlace", "cboHowmuch", "lstNo", "cmdAbout", "lstZonenum",
          "txtNo"});
  // With ten characters typed every button of the top row is a stop.
  QTest::keyClicks(h.txtNo(), "A123456789");
  QCOMPARE(h.focus()->objectName(), QStringLiteral("cmdCheck"));
  tabsTo({"cmdClear"});
  // The two sex buttons are one stop, the chosen one.
  QTest::mouseClick(h.control("optGirl"), Qt::LeftButton);
  tabsTo({"cmdClear"}, Qt::Key_Backtab);
  tabsTo({"optGirl", "cboPlace"});
}

void MainWindowTest::postalPanelFollowsThePlace_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("heading");
  QTest::addColumn<QString>("areaCode");  // empty when hidden
  QTest::addColumn<QStringList>("firstAndLast");
  QTest::addColumn<int>("count");
  QTest::newRow("台北市") << 1 << "台北市郵遞區號"
                          << "022" << QStringList{"中正區  100", "文山區  116"} << 12;
  QTest::newRow("陽明山") << 22 << "陽明山郵遞區號"
                          << "None" << QStringList{"無特定郵遞區號", "無特定郵遞區號"} << 1;
  QTest::newRow("不指定 again") << 0 << "全省郵遞區號"
                                << "" << QStringList{"中正區  100", "釣魚台  290"} << 369;
}

void MainWindowTest::postalPanelFollowsThePlace() {
  QFETCH(int, index);
  QFETCH(QString, heading);
  QFETCH(QString, areaCode);
  QFETCH(QStringList, firstAndLast);
  QFETCH(int, count);
  WindowHarness h;
  h.pick("cboPlace", 6);  // from another place, so 不指定 is a real change too
  h.pick("cboPlace", index);
  QCOMPARE(h.control<QLabel>("lblZonenum")->text(), heading);
  QVERIFY(h.control("lblZonenum")->width() >= h.control("lblZonenum")->sizeHint().width());
  auto* area = h.control<QLabel>("lblAreacode");
  QCOMPARE(area->isVisible() ? area->text() : QString(), areaCode);
  QListWidget* postal = h.list("lstZonenum");
  QCOMPARE(postal->count(), count);
  QCOMPARE(postal->item(0)->text(), firstAndLast.first());
  QCOMPARE(postal->item(count - 1)->text(), firstAndLast.last());
  // Every line shows whole, without a horizontal scroll bar.
  QTRY_VERIFY(postal->sizeHintForColumn(0) <= postal->viewport()->width());
  QVERIFY(!postal->horizontalScrollBar()->isVisible());
}

void MainWindowTest::rechoosingTheShownPlaceKeepsTheList() {
  WindowHarness h;
  QListWidget* postal = h.list("lstZonenum");
  for (const int index : {0, 8}) {
    h.pick("cboPlace", index);
    postal->setCurrentRow(5);
    postal->verticalScrollBar()->setValue(postal->verticalScrollBar()->maximum());
    const QListWidgetItem* first = postal->item(0);
    const int scrolled = postal->verticalScrollBar()->value();
    const int yields = h.runtime.yields;
    h.pick("cboPlace", index);
    QCOMPARE(h.runtime.yields, yields);
    QCOMPARE(postal->item(0), first);  // not cleared and refilled
    QCOMPARE(postal->currentRow(), 5);
    QCOMPARE(postal->verticalScrollBar()->value(), scrolled);
  }
}

void MainWindowTest::refilledListsStartAtTheTop() {
  WindowHarness h;
  const auto scrolledDown = [](QListWidget* list) {
    QApplication::processEvents();
    list->verticalScrollBar()->setValue(list->verticalScrollBar()->maximum());
    QVERIFY(list->verticalScrollBar()->value() > 0);
  };
  const auto atTheTop = [](QListWidget* list) {
    QApplication::processEvents();
    QCOMPARE(list->verticalScrollBar()->value(), 0);
    QCOMPARE(list->indexAt(QPoint(1, 1)).row(), 0);
  };
  scrolledDown(h.list("lstZonenum"));
  h.pick("cboPlace", 1);
  atTheTop(h.list("lstZonenum"));
  h.pick("cboHowmuch", 5);
  h.click("cmdProduce");
  scrolledDown(h.list("lstNo"));
  h.click("cmdProduce");
  atTheTop(h.list("lstNo"));
}

namespace {
QList<QPair<QObject*, QString>> g_shown;  // what was announced, by object
void recordAnnouncements(QAccessibleEvent* event) {
  if (event->type() == QAccessible::ObjectShow && event->accessibleInterface()) {
    g_shown.append({event->object(), event->accessibleInterface()->text(QAccessible::Name)});
  }
}
}  // namespace

void MainWindowTest::screenReadersHearNamesRolesAndCaptions() {
  // As a screen reader's bridge would: events go out only while accessibility is active.
  QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
  QAccessible::installUpdateHandler(recordAnnouncements);
  WindowHarness h;
  // What a screen reader names a control by: its name, or for a drop-down list the label that
  // labels it (its name on Linux is its value).
  const auto heard = [](QObject* control, QAccessible::Text text) {
    QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(control);
    if (text == QAccessible::Name && seen->role() == QAccessible::ComboBox) {
      seen = seen->relations(QAccessible::Label).value(0).first;
    }
    return seen ? seen->text(text) : QString();
  };
  QCOMPARE(QAccessible::queryAccessibleInterface(h.window.get())->role(), QAccessible::Window);
  const QStringList named[] = {{"txtNo", "身分證字號", "此欄位為資料輸入欄"},
                               {"cboPlace", "出生地", "選擇身分證字號的出生地"},
                               {"cboHowmuch", "產生數量", "選擇產生1~100組身分證字號的數量"},
                               {"lstNo", "產生的身分證字號", ""},
                               {"lstZonenum", "全省郵遞區號", "符合你所選擇出生地的郵遞區號"}};
  for (const QStringList& control : named) {
    QObject* found = h.control<QObject>(qPrintable(control[0]));
    QCOMPARE(QStringList({control[0], heard(found, QAccessible::Name),
                          heard(found, QAccessible::Description)}),
             control);
  }
  h.pick("cboPlace", 1);
  QCOMPARE(heard(h.list("lstZonenum"), QAccessible::Name), QStringLiteral("台北市郵遞區號"));
  // Each new message in the panel is announced, as a notification is.
  QCOMPARE(QAccessible::queryAccessibleInterface(h.lblTel())->role(), QAccessible::Notification);
  g_shown.clear();
  h.click("cmdProduce");
  QCOMPARE(g_shown.size(), 1);
  QCOMPARE(g_shown[0].first, h.lblTel());
  QVERIFY(g_shown[0].second.startsWith(QStringLiteral("產生了1組戶籍地在\n")));
  QAccessible::installUpdateHandler(nullptr);
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
