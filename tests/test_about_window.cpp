// The About window opened from the main window: what it shows, its lifetime and its mail link.
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <QtTest>
#include <functional>

#include "about_window/frm_about.h"
#include "window_harness.h"

namespace {

const QString kAddress = QString::fromUtf8(TALOMA_CONTACT_ADDRESS);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

template <typename T = QWidget>
T* part(const frmAbout& about, const char* name) {
  T* found = about.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no control named %s in frmAbout", name);
  return found;
}

QColor addressColour(const frmAbout& about) {
  return part(about, "lblMail2")->palette().color(QPalette::WindowText);
}

// Clicks through the window, so a control lying over the address would take the click instead.
void clickAddress(const frmAbout& about) {
  QTest::mouseClick(about.windowHandle(), Qt::LeftButton, {},
                    part(about, "lblMail2")->geometry().center());
}

// Clicks 關於 and runs `steps` while the About window is up; whatever they leave open is hidden
// afterwards, so a failed check ends the modal show instead of hanging the test.
void whileAboutShown(WindowHarness& h, const std::function<void(frmAbout&)>& steps) {
  bool ran = false;
  QTimer::singleShot(0, h.window.get(), [&] {
    for (QWidget* window : QApplication::topLevelWidgets()) {
      auto* about = qobject_cast<frmAbout*>(window);
      if (about && about->isVisible() && !ran) {
        ran = true;
        steps(*about);
        about->hide();
      }
    }
  });
  h.click("cmdAbout");
  QVERIFY2(ran, "the About window was not shown modally");
}

}  // namespace

class AboutWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheAddressInBlue();
  void okHidesAndKeepsTheWindowLoaded();
  void titleBarCloseUnloadsTheWindow();
  void keys_data();
  void keys();
  void eachClickOnTheAddressOpensMail();
};

void AboutWindowTest::showsTheAddressInBlue() {
  WindowHarness h;
  whileAboutShown(h, [](frmAbout& about) {
    auto* address = part<QLabel>(about, "lblMail2");
    QCOMPARE(address->text(), kAddress);
    QCOMPARE(addressColour(about), kBlue);
    QCOMPARE(address->cursor().hotSpot(), QPoint(12, 1));
    QCOMPARE(about.focusWidget(), part(about, "cmdClose"));
  });
}

void AboutWindowTest::okHidesAndKeepsTheWindowLoaded() {
  WindowHarness h;
  h.control("lstNo")->setFocus();
  QPointer<frmAbout> first;
  whileAboutShown(h, [&](frmAbout& about) {
    first = &about;
    clickAddress(about);
    QTest::mouseClick(part(about, "cmdClose"), Qt::LeftButton);
    QVERIFY(!about.isVisible());
  });
  QVERIFY2(first, "hiding must not unload the window");
  QCOMPARE(addressColour(*first), kRed);  // hidden, it keeps its labels as they were
  QTRY_COMPARE(h.focus(), h.txtNo());     // whichever control had the focus before

  whileAboutShown(h, [&](frmAbout& about) {
    QCOMPARE(&about, first.data());
    QCOMPARE(about.loadCount(), 1);
    QCOMPARE(addressColour(about), kBlue);  // blue again whenever shown
  });
}

void AboutWindowTest::titleBarCloseUnloadsTheWindow() {
  WindowHarness h;
  QPointer<frmAbout> first;
  whileAboutShown(h, [&](frmAbout& about) {
    first = &about;
    clickAddress(about);
    about.close();
  });
  QVERIFY2(!first, "the title-bar close must unload the window");
  QTRY_COMPARE(h.focus(), h.txtNo());
  whileAboutShown(h, [&](frmAbout& about) {
    QCOMPARE(part<QLabel>(about, "lblMail2")->text(), kAddress);  // loaded afresh
    QCOMPARE(addressColour(about), kBlue);
  });
}

void AboutWindowTest::keys_data() {
  QTest::addColumn<Qt::Key>("key");
  QTest::addColumn<bool>("pressesOk");
  QTest::newRow("Return") << Qt::Key_Return << true;
  QTest::newRow("keypad Enter") << Qt::Key_Enter << true;
  QTest::newRow("Space") << Qt::Key_Space << true;
  QTest::newRow("Esc does nothing") << Qt::Key_Escape << false;
}

void AboutWindowTest::keys() {
  QFETCH(Qt::Key, key);
  QFETCH(bool, pressesOk);
  WindowHarness h;
  whileAboutShown(h, [&](frmAbout& about) {
    QTest::keyClick(about.focusWidget(), key);
    QCOMPARE(about.isVisible(), !pressesOk);
    QVERIFY(!about.isUnloaded());
  });
}

void AboutWindowTest::eachClickOnTheAddressOpensMail() {
  WindowHarness h;
  whileAboutShown(h, [&](frmAbout& about) {
    clickAddress(about);
    clickAddress(about);
    QTest::keyClick(&about, Qt::Key_E, Qt::AltModifier);  // the keyboard's way to the link
    QCOMPARE(addressColour(about), kRed);
    QCOMPARE(h.runtime.mailLinks, QStringList({kAddress, kAddress, kAddress}));
    QTest::qWait(0);
    QVERIFY(h.runtime.boxes.isEmpty());
    QVERIFY(about.isVisible());
    // When no mail program starts, a box gives the address to write to by hand.
    h.runtime.mailProgramStarts = false;
    clickAddress(about);
    QTRY_COMPARE(h.runtime.boxes.size(), 1);
    QVERIFY(h.runtime.boxes[0].prompt.contains(kAddress));
    // An answer that comes after the window has closed shows nothing.
    h.runtime.holdMailAnswers = true;
    clickAddress(about);
    about.hide();
    for (const auto& answer : h.runtime.heldMailAnswers) answer();
    QCOMPARE(h.runtime.boxes.size(), 1);
  });
}

QTEST_MAIN(AboutWindowTest)
#include "test_about_window.moc"
