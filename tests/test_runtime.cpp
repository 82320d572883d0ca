// The Qt runtime services: the message box as the user sees it, window placement, the generator.
#include <QLabel>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <optional>
#include <set>
#include <utility>

#include "runtime/form_support.h"
#include "runtime/mixing_random.h"
#include "runtime/platform.h"
#include "runtime/qt_runtime.h"

class RuntimeTest : public QObject {
  Q_OBJECT

 private slots:
  void messageBoxHasOneConfirmButtonAndNoIcon();
  void windowsAreCentredWhereTheyFit_data();
  void windowsAreCentredWhereTheyFit();
  void generatorMixesSeedsAndStaysInTheUnitInterval();
  void mailCheckAnswersOnlyTheWindowThatAsked();
};

void RuntimeTest::messageBoxHasOneConfirmButtonAndNoIcon() {
  // A style that puts theme icons on dialog buttons, as some desktops' styles do.
  struct IconButtonStyle : QProxyStyle {
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
      return hint == SH_DialogButtonBox_ButtonsHaveIcons
                 ? 1
                 : QProxyStyle::styleHint(hint, option, widget, data);
    }
  };
  QApplication::setStyle(new IconButtonStyle);
  QWidget owner;
  owner.setFont(form::mingFont(9));
  QStringList seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    const QLabel* text = box->findChild<QLabel*>("qt_msgbox_label");
    // The text has even margins (no indent kept for a missing icon) and can be selected.
    const int left = text->geometry().left();
    const int right = box->width() - text->geometry().right() - 1;
    seen << box->windowTitle() << box->text() << QString::number(box->icon())
         << QFontInfo(text->font()).family() << (qAbs(left - right) <= 2 ? "even" : "uneven")
         << (text->textInteractionFlags() & Qt::TextSelectableByMouse ? "selectable" : "fixed");
    for (QAbstractButton* button : box->buttons()) {
      seen << button->text() << (button->icon().isNull() ? "no icon" : "an icon");
    }
    QTest::keyClick(box, Qt::Key_Return);
  });
  QtRuntime().messageBox(&owner, QStringLiteral("身分證第一碼應為大寫英文字母!!"),
                         QStringLiteral("<錯誤>"));
  QApplication::setStyle(QStringLiteral("Fusion"));
  // One plain 確定, no icon, and the owner's Chinese face, so "!!" is not drawn in another.
  QCOMPARE(seen, QStringList({"<錯誤>", "身分證第一碼應為大寫英文字母!!", "0",
                              QFontInfo(owner.font()).family(), "even", "selectable", "確定",
                              "no icon"}));
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

void RuntimeTest::generatorMixesSeedsAndStaysInTheUnitInterval() {
  // The number handler re-seeds with an unchanged clock before every digit; a generator that
  // restarted from the seed would give the same draw each time.
  MixingRandom random(1);
  MixingRandom other(1);
  other.mix(2.0F);
  std::set<double> draws;
  for (int i = 0; i < 100000; ++i) {
    random.mix(43200.5F);
    draws.insert(random.next());
  }
  QCOMPARE(draws.size(), std::size_t{100000});
  QVERIFY(*draws.begin() >= 0 && *draws.begin() < 0.001 && *draws.rbegin() > 0.999);
  QVERIFY(*draws.rbegin() < 1);
  QVERIFY(QtRuntime().rnd() != QtRuntime().rnd());  // each is seeded from the system's entropy
  QVERIFY(other.next() != MixingRandom(1).next());  // the seed takes part
}

// xdg-open may run until the mail program closes. The window that asked hears how it ended; a
// window closed before then hears nothing, and xdg-open is neither killed nor warned about.
void RuntimeTest::mailCheckAnswersOnlyTheWindowThatAsked() {
  if (QSysInfo::productType() == QStringLiteral("windows")) QSKIP("the shell answers at once there");
  QTemporaryDir bin;
  QVERIFY(bin.isValid());
  const auto fakeXdgOpen = [&](const QByteArray& body) {
    QFile script(bin.filePath(QStringLiteral("xdg-open")));
    QVERIFY(script.open(QIODevice::WriteOnly | QIODevice::Truncate));
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  };
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(bin.path()) + ':' + path);
  static QStringList warnings;
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& message) { warnings.append(message); });

  for (const auto& [body, started] : {std::pair{QByteArray("exit 0"), true}, {"exit 3", false}}) {
    fakeXdgOpen(body);
    QObject window;
    std::optional<bool> answer;
    platform::openMailProgram(QStringLiteral("someone@example.org"), &window,
                              [&answer](bool ok) { answer = ok; });
    QTRY_VERIFY(answer.has_value());
    QCOMPARE(*answer, started);
  }
  fakeXdgOpen("exec sleep 1");
  bool answered = false;
  {
    QObject window;
    platform::openMailProgram(QStringLiteral("someone@example.org"), &window,
                              [&answered](bool) { answered = true; });
  }
  QCoreApplication::processEvents();
  qInstallMessageHandler(previous);
  qputenv("PATH", path);
  QVERIFY(!answered);
  QCOMPARE(warnings, QStringList());
}

QTEST_MAIN(RuntimeTest)
#include "test_runtime.moc"
