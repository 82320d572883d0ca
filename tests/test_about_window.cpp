// The About window opened from the main window: its look, its lifetime and its mail link.
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>

#include "about_window/frm_about.h"
#include "window_harness.h"

namespace {

const QString kAddress = QString::fromUtf8(TALOMA_CONTACT_ADDRESS);
const QString kInfo =
    QStringLiteral("程式名稱：Taloma v2.0\r\n用途：身分證字號產生器\r\n完成日期：1999/6/6");
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

frmAbout* shownAbout() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->objectName() == QStringLiteral("frmAbout") && window->isVisible()) {
      return qobject_cast<frmAbout*>(window);
    }
  }
  return nullptr;
}

template <typename T>
T* part(const frmAbout& about, const char* name) {
  T* found = about.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no control named %s in frmAbout", name);
  return found;
}

QColor addressColour(const frmAbout& about) {
  return part<QLabel>(about, "lblMail2")->palette().color(QPalette::WindowText);
}

// Clicks through the window, so a control lying over the address would take the click instead.
void clickAddress(const frmAbout& about) {
  const QLabel* address = part<QLabel>(about, "lblMail2");
  QTest::mouseClick(about.windowHandle(), Qt::LeftButton, {}, address->geometry().center());
}

void pressKey(const frmAbout& about, Qt::Key key) {
  QWidget* focused = about.focusWidget();
  QVERIFY(focused);
  QTest::keyClick(focused, key);
}

// Clicks 關於 and runs `steps` while the About window is up. Whatever the steps leave open is
// hidden afterwards, so a failed check ends the modal show instead of hanging the test.
void whileAboutShown(WindowHarness& h, const std::function<void(frmAbout&)>& steps,
                     bool byMouse = true) {
  bool ran = false;
  QTimer::singleShot(0, h.window.get(), [&] {
    ran = true;
    if (frmAbout* about = shownAbout()) {
      steps(*about);
    } else {
      QTest::qFail("the About window is not shown", __FILE__, __LINE__);
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<QDialog*>(window);
      if (dialog && dialog->isVisible()) dialog->hide();
    }
  });
  const int shows = h.runtime.modalShows;
  if (byMouse) {
    QTest::mouseClick(h.button("cmdAbout"), Qt::LeftButton);
  } else {
    h.button("cmdAbout")->click();
  }
  QVERIFY2(ran, "the About window was not shown modally");
  QCOMPARE(h.runtime.modalShows, shows + 1);
}

void clickOk(const frmAbout& about) {
  QTest::mouseClick(part<QPushButton>(about, "cmdClose"), Qt::LeftButton);
}

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void showsProgramInformationAndBlueAddress();
  void controlsSitAtTheirTwipsRectangles_data();
  void controlsSitAtTheirTwipsRectangles();
  void contactLineFitsInsideTheFrame();
  void addressUnderlineIsDrawn();
  void frameIsEtchedBlackOverWhite_data();
  void frameIsEtchedBlackOverWhite();
  void okHidesAndKeepsTheWindowLoaded();
  void titleBarCloseUnloadsTheWindow();
  void enterPressesOk_data();
  void enterPressesOk();
  void escapeDoesNothing();
  void caretReturnsToNumberBox_data();
  void caretReturnsToNumberBox();
  void eachClickOnTheAddressOpensMail();
  void failingMailProgramShowsTheAddress();
};

void AboutWindowTest::showsProgramInformationAndBlueAddress() {
  WindowHarness h;
  whileAboutShown(h, [](frmAbout& about) {
    QCOMPARE(about.windowTitle(), QStringLiteral("關於作者"));
    QCOMPARE(part<QLabel>(about, "lblInfo")->text(), kInfo);
    QCOMPARE(part<QLabel>(about, "lblMail")->text(), QStringLiteral("E-Mail："));
    const QLabel* address = part<QLabel>(about, "lblMail2");
    QCOMPARE(address->text(), kAddress);
    QVERIFY(address->font().underline());
    QCOMPARE(addressColour(about), kBlue);
    QCOMPARE(address->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(address->cursor().hotSpot(), QPoint(12, 1));
    QCOMPARE(address->cursor().pixmap().size(), QSize(32, 32));
    QCOMPARE(part<QPushButton>(about, "cmdClose")->text(), QStringLiteral("確定"));
    QCOMPARE(about.focusWidget(), part<QPushButton>(about, "cmdClose"));

    QVERIFY(!about.windowIcon().isNull());
    clickOk(about);
  });
}

void AboutWindowTest::controlsSitAtTheirTwipsRectangles_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("twips");
  QTest::addColumn<bool>("autoSized");
  QTest::newRow("information") << "lblInfo" << QRect(1440, 120, 2565, 1275) << false;
  QTest::newRow("ok button") << "cmdClose" << QRect(3015, 1980, 975, 375) << false;
  QTest::newRow("mail caption") << "lblMail" << QRect(1440, 1560, 45, 180) << true;
  QTest::newRow("address") << "lblMail2" << QRect(2100, 1560, 165, 180) << true;
  QTest::newRow("picture") << "imgPic" << QRect(120, 120, 1200, 1215) << false;
  QTest::newRow("black line") << "shpFill1" << QRect(60, 30, 4000, 2400) << false;
  QTest::newRow("white line") << "shpFill2" << QRect(70, 40, 4000, 2400) << false;
}

void AboutWindowTest::controlsSitAtTheirTwipsRectangles() {
  QFETCH(QString, name);
  QFETCH(QRect, twips);
  QFETCH(bool, autoSized);
  const auto px = [](int t) { return (t + 7) / 15; };
  const QRect expected(px(twips.left()), px(twips.top()), px(twips.width()), px(twips.height()));
  FakeRuntime runtime;
  frmAbout about(runtime);
  const QWidget* control = about.findChild<QWidget*>(name);
  QVERIFY2(control, qPrintable(name));
  if (autoSized) {
    QCOMPARE(control->pos(), expected.topLeft());
  } else {
    QCOMPARE(control->geometry(), expected);
  }
}

void AboutWindowTest::contactLineFitsInsideTheFrame() {
  FakeRuntime runtime;
  frmAbout about(runtime);
  const QLabel* caption = part<QLabel>(about, "lblMail");
  const QLabel* address = part<QLabel>(about, "lblMail2");
  for (const QLabel* label : {caption, address}) {
    QCOMPARE(label->width(), label->sizeHint().width());
    QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
  }
  QCOMPARE(caption->y(), address->y());
  const QRect inner = part<QWidget>(about, "shpFill1")->geometry().adjusted(1, 1, -1, -1);
  QVERIFY2(inner.contains(address->geometry()), "the address runs past the frame");
  QVERIFY(!address->geometry().intersects(part<QWidget>(about, "cmdClose")->geometry()));
}

void AboutWindowTest::addressUnderlineIsDrawn() {
  FakeRuntime runtime;
  frmAbout about(runtime);
  QLabel* address = part<QLabel>(about, "lblMail2");
  const QImage image = address->grab().toImage();
  const auto inkAt = [&](int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return c.blue() - std::max(c.red(), c.green()) > 60;
  };
  // Letters leave gaps along every row; only an underline runs along nearly the whole label.
  bool underlined = false;
  for (int y = 0; y < image.height() && !underlined; ++y) {
    int inked = 0;
    for (int x = 0; x < image.width(); ++x) inked += inkAt(x, y) ? 1 : 0;
    underlined = inked >= image.width() * 9 / 10;
  }
  QVERIFY2(underlined, "no underline within the address label");
}

void AboutWindowTest::frameIsEtchedBlackOverWhite_data() {
  QTest::addColumn<QPoint>("point");
  QTest::addColumn<QColor>("colour");
  QTest::newRow("left, black outside") << QPoint(4, 80) << QColor(Qt::black);
  QTest::newRow("left, white inside") << QPoint(5, 80) << QColor(Qt::white);
  QTest::newRow("top, black outside") << QPoint(130, 2) << QColor(Qt::black);
  QTest::newRow("top, white inside") << QPoint(130, 3) << QColor(Qt::white);
}

void AboutWindowTest::frameIsEtchedBlackOverWhite() {
  QFETCH(QPoint, point);
  QFETCH(QColor, colour);
  FakeRuntime runtime;
  frmAbout about(runtime);
  const QImage image = about.grab().toImage();
  QCOMPARE(image.pixelColor(point * image.devicePixelRatio()), colour);
  // The frame lies under the controls: a click on the address reaches the address.
  QCOMPARE(about.childAt(part<QLabel>(about, "lblMail2")->geometry().center())->objectName(),
           QStringLiteral("lblMail2"));
}

void AboutWindowTest::okHidesAndKeepsTheWindowLoaded() {
  WindowHarness h;
  QPointer<frmAbout> first;
  QString firstInfo;
  whileAboutShown(h, [&](frmAbout& about) {
    first = &about;
    firstInfo = part<QLabel>(about, "lblInfo")->text();
    clickAddress(about);
    QCOMPARE(addressColour(about), kRed);
    clickOk(about);
    QVERIFY(!about.isVisible());
  });
  QVERIFY2(first, "hiding must not unload the window");
  QVERIFY(!first->isVisible());
  QCOMPARE(addressColour(*first), kRed);  // hidden, it keeps its labels as they were

  whileAboutShown(h, [&](frmAbout& about) {
    QCOMPARE(&about, first.data());
    QCOMPARE(about.loadCount(), 1);
    QCOMPARE(part<QLabel>(about, "lblInfo")->text(), firstInfo);
    QCOMPARE(part<QLabel>(about, "lblMail2")->text(), kAddress);
    QCOMPARE(addressColour(about), kBlue);
    clickOk(about);
  });
}

void AboutWindowTest::titleBarCloseUnloadsTheWindow() {
  WindowHarness h;
  QPointer<frmAbout> first;
  whileAboutShown(h, [&](frmAbout& about) {
    first = &about;
    clickAddress(about);
    about.close();
    QVERIFY(!about.isVisible());
  });
  QVERIFY2(!first, "the title-bar close must unload the window");

  whileAboutShown(h, [&](frmAbout& about) {
    QCOMPARE(about.loadCount(), 1);  // a new window, loaded afresh
    QCOMPARE(part<QLabel>(about, "lblInfo")->text(), kInfo);
    QCOMPARE(part<QLabel>(about, "lblMail2")->text(), kAddress);
    QCOMPARE(addressColour(about), kBlue);
    QVERIFY(!about.isUnloaded());
    clickOk(about);
  });
}

void AboutWindowTest::enterPressesOk_data() {
  QTest::addColumn<Qt::Key>("key");
  QTest::newRow("Return") << Qt::Key_Return;
  QTest::newRow("keypad Enter") << Qt::Key_Enter;
  QTest::newRow("Space") << Qt::Key_Space;
}

void AboutWindowTest::enterPressesOk() {
  QFETCH(Qt::Key, key);
  WindowHarness h;
  QPointer<frmAbout> shown;
  whileAboutShown(h, [&](frmAbout& about) {
    shown = &about;
    pressKey(about, key);
    QVERIFY2(!about.isVisible(), "the key did not press 確定");
  });
  QVERIFY(shown);
  QVERIFY(!shown->isUnloaded());
}

void AboutWindowTest::escapeDoesNothing() {
  WindowHarness h;
  whileAboutShown(h, [&](frmAbout& about) {
    pressKey(about, Qt::Key_Escape);
    QVERIFY2(about.isVisible(), "Esc closed the window");
    QVERIFY(!about.isUnloaded());
    QCOMPARE(about.focusWidget(), part<QPushButton>(about, "cmdClose"));
    clickOk(about);
  });
}

void AboutWindowTest::caretReturnsToNumberBox_data() {
  QTest::addColumn<QString>("focusBefore");
  QTest::addColumn<bool>("byMouse");
  QTest::addColumn<bool>("titleBar");
  QTest::newRow("clicked 關於, closed with 確定") << "cmdAbout" << true << false;
  QTest::newRow("clicked 關於, closed with the title bar") << "cmdAbout" << true << true;
  QTest::newRow("from the number list") << "lstNo" << false << false;
}

void AboutWindowTest::caretReturnsToNumberBox() {
  QFETCH(QString, focusBefore);
  QFETCH(bool, byMouse);
  QFETCH(bool, titleBar);
  WindowHarness h;
  h.control<QWidget>(qPrintable(focusBefore))->setFocus();
  whileAboutShown(
      h,
      [&](frmAbout& about) {
        if (titleBar) {
          about.close();
        } else {
          clickOk(about);
        }
      },
      byMouse);
  QCOMPARE(h.window->focusWidget(), h.txtNo());
  QTRY_COMPARE(h.focus(), h.txtNo());
}

void AboutWindowTest::eachClickOnTheAddressOpensMail() {
  WindowHarness h;
  whileAboutShown(h, [&](frmAbout& about) {
    clickAddress(about);
    QCOMPARE(addressColour(about), kRed);
    clickAddress(about);
    QCOMPARE(addressColour(about), kRed);
    QCOMPARE(h.runtime.mailLinks, QStringList({kAddress, kAddress}));
    QVERIFY(h.runtime.messageBoxes.isEmpty());
    QVERIFY2(about.isVisible(), "the window stays open while the mail program starts");
    clickOk(about);
  });
}

void AboutWindowTest::failingMailProgramShowsTheAddress() {
  WindowHarness h;
  h.runtime.mailProgramStarts = false;
  whileAboutShown(h, [&](frmAbout& about) {
    clickAddress(about);
    QCOMPARE(h.runtime.mailLinks, QStringList({kAddress}));
    QCOMPARE(h.runtime.messageBoxes.size(), 1);
    QVERIFY2(h.runtime.messageBoxes.front().prompt.contains(kAddress),
             qPrintable(h.runtime.messageBoxes.front().prompt));
    QVERIFY(!h.runtime.messageBoxes.front().title.isEmpty());
    QCOMPARE(addressColour(about), kRed);
    QVERIFY(about.isVisible());
    clickOk(about);
  });
}

QTEST_MAIN(AboutWindowTest)
#include "test_about_window.moc"
