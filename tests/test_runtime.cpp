// The Qt runtime services: the message box as the user sees it, the generator, the Home key.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <set>

#include "runtime/form_support.h"
#include "runtime/mixing_random.h"
#include "runtime/qt_runtime.h"
#include "runtime/single_copy.h"

class RuntimeTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxHasOneConfirmButtonAndNoIcon();
  void windowsAreCentredWhereTheyFit_data();
  void windowsAreCentredWhereTheyFit();
  void reseedingWithTheSameClockNeverRepeats();
  void drawsStayInTheUnitInterval();
  void homeKeyReachesTheFocusedBox();
  void lockQueriesFromOneProcessAreFalse();
};

void RuntimeTest::messageBoxHasOneConfirmButtonAndNoIcon() {
  // A style that puts theme icons on dialog buttons, as some desktops' styles do.
  class IconButtonStyle : public QProxyStyle {
   public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
      if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 1;
      return QProxyStyle::styleHint(hint, option, widget, data);
    }
  };
  QApplication::setStyle(new IconButtonStyle);

  QtRuntime runtime;
  QWidget owner;
  owner.setFont(form::mingFont(9));
  owner.show();
  QString seenText;
  QString seenTitle;
  QString seenFamily;
  QStringList buttons;
  bool plainButtons = true;
  QMessageBox::Icon icon = QMessageBox::Warning;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box);
    seenText = box->text();
    seenTitle = box->windowTitle();
    seenFamily = QFontInfo(box->findChild<QLabel*>("qt_msgbox_label")->font()).family();
    icon = box->icon();
    for (QAbstractButton* button : box->buttons()) {
      buttons << button->text();
      plainButtons = plainButtons && button->icon().isNull();
    }
    QTest::keyClick(box, Qt::Key_Return);
  });
  runtime.messageBox(&owner, QStringLiteral("身分證第一碼應為大寫英文字母!!"),
                     QStringLiteral("<錯誤>"));
  QApplication::setStyle(QStringLiteral("Fusion"));
  QCOMPARE(seenText, QStringLiteral("身分證第一碼應為大寫英文字母!!"));
  QCOMPARE(seenTitle, QStringLiteral("<錯誤>"));
  QCOMPARE(seenFamily, QFontInfo(owner.font()).family());
  QCOMPARE(icon, QMessageBox::NoIcon);
  QCOMPARE(buttons, QStringList{QStringLiteral("確定")});
  QVERIFY(plainButtons);
}

void RuntimeTest::windowsAreCentredWhereTheyFit_data() {
  QTest::addColumn<QSize>("frame");
  QTest::addColumn<QRect>("area");
  QTest::addColumn<QPoint>("corner");
  QTest::newRow("fits") << QSize(221, 296) << QRect(0, 0, 1024, 768) << QPoint(401, 236);
  QTest::newRow("free area beside a panel")
      << QSize(221, 296) << QRect(64, 30, 960, 738) << QPoint(433, 251);
  QTest::newRow("exactly fits") << QSize(200, 100) << QRect(10, 20, 200, 100) << QPoint(10, 20);
  QTest::newRow("too wide") << QSize(221, 296) << QRect(5, 0, 200, 768) << QPoint(5, 236);
  QTest::newRow("too tall") << QSize(221, 296) << QRect(0, 7, 1024, 240) << QPoint(401, 7);
  QTest::newRow("too small both ways") << QSize(221, 296) << QRect(0, 0, 160, 120) << QPoint(0, 0);
}

void RuntimeTest::windowsAreCentredWhereTheyFit() {
  QFETCH(QSize, frame);
  QFETCH(QRect, area);
  QFETCH(QPoint, corner);
  QCOMPARE(form::placement(frame, area), corner);
}

void RuntimeTest::reseedingWithTheSameClockNeverRepeats() {
  // The number handler re-seeds with an unchanged clock before every digit; a generator that
  // restarted from the seed would give the same draw each time.
  MixingRandom random(1);
  std::set<double> draws;
  for (int i = 0; i < 1000; ++i) {
    random.mix(43200.5F);
    draws.insert(random.next());
  }
  QCOMPARE(draws.size(), std::size_t{1000});

  MixingRandom a(5);
  MixingRandom b(5);
  a.mix(1.0F);
  b.mix(2.0F);
  QVERIFY(a.next() != b.next());  // the seed does take part
}

void RuntimeTest::drawsStayInTheUnitInterval() {
  QtRuntime runtime;
  QtRuntime other;
  double low = 1;
  double high = 0;
  bool differs = false;
  for (int i = 0; i < 100000; ++i) {
    const double r = runtime.rnd();
    QVERIFY(r >= 0 && r < 1);
    low = std::min(low, r);
    high = std::max(high, r);
    differs = differs || r != other.rnd();
  }
  QVERIFY(low < 0.001 && high > 0.999);
  QVERIFY(differs);  // each runtime is seeded from the system's entropy
}

void RuntimeTest::homeKeyReachesTheFocusedBox() {
  QtRuntime runtime;
  QLineEdit box;
  box.setText(QStringLiteral("A123456789"));
  box.show();
  QApplication::setActiveWindow(&box);
  QVERIFY(QTest::qWaitForWindowActive(&box));
  box.setFocus();
  box.selectAll();
  runtime.sendHomeKey();
  QCOMPARE(box.cursorPosition(), 10);  // queued, not yet handled
  runtime.doEvents();
  QCOMPARE(box.cursorPosition(), 0);
  QVERIFY(!box.hasSelectedText());
}

void RuntimeTest::lockQueriesFromOneProcessAreFalse() {
  QVERIFY(!single_copy::anotherCopyHoldsLock());
  QVERIFY(!single_copy::anotherCopyHoldsLock());
  QCOMPARE(single_copy::lockFolder(), qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

QTEST_MAIN(RuntimeTest)
#include "test_runtime.moc"
