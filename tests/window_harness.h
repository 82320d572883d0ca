// What the window tests share: a runtime that records what the windows ask of the platform, and
// the main window built over it, found and driven from outside by its control names.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "main_window/frm_twno.h"
#include "runtime/form_support.h"
#include "runtime/qt_runtime.h"

// Key events, pending events and modal windows stay real, so handlers nest as in the program;
// what would leave the process or wait for a person is recorded instead.
class FakeRuntime : public QtRuntime {
 public:
  struct Box {
    QString prompt;
    QString title;
  };

  void messageBox(QWidget* /*parent*/, const QString& prompt, const QString& title) override {
    boxes.append({prompt, title});
  }
  void setClipboardText(const QString& text) override { clipboard.append(text); }
  float timer() override { return 43200.0F; }  // a frozen clock
  void randomize(float seed) override {
    ++seeds;
    QtRuntime::randomize(seed);
  }
  double rnd() override { return draws.isEmpty() ? QtRuntime::rnd() : draws.takeFirst(); }
  void sendHomeKey() override {
    ++homeKeys;
    QtRuntime::sendHomeKey();
  }
  void doEvents() override {
    ++yields;
    QtRuntime::doEvents();
  }
  void beep() override { ++beeps; }
  void openMailLink(const QString& address, QObject* context,
                    std::function<void(bool)> done) override {
    mailLinks.append(address);
    if (holdMailAnswers) {
      heldMailAnswers.push_back([alive = QPointer<QObject>(context), done, started = mailProgramStarts] {
        if (alive) done(started);
      });
      return;
    }
    QTimer::singleShot(0, context, [this, done] { done(mailProgramStarts); });
  }

  bool mailProgramStarts = true;
  bool holdMailAnswers = false;  // kept in heldMailAnswers until the test gives them
  std::vector<std::function<void()>> heldMailAnswers;
  int seeds = 0;
  int homeKeys = 0;
  int yields = 0;
  int beeps = 0;
  QList<double> draws;  // scripted draws, taken before the real generator's
  QList<Box> boxes;
  QStringList clipboard;  // every text put there, in order
  QStringList mailLinks;
};

struct WindowHarness {
  FakeRuntime runtime;
  std::unique_ptr<frmTwno> window;

  explicit WindowHarness(bool show = true)
      : window((form::speakChinese(), std::make_unique<frmTwno>(runtime))) {
    if (!show) return;
    window->showCentred();
    QApplication::setActiveWindow(window.get());
    [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window.get());
    txtNo()->setFocus();
  }

  // The control named `name`; a missing name fails loudly.
  template <typename T = QWidget>
  T* control(const char* name) const {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control named %s", name);
    return found;
  }
  QLineEdit* txtNo() const { return control<QLineEdit>("txtNo"); }
  QLabel* lblTel() const { return control<QLabel>("lblTel"); }
  QPushButton* button(const char* name) const { return control<QPushButton>(name); }
  QListWidget* list(const char* name) const { return control<QListWidget>(name); }
  QString tag(const char* name) const { return control<QObject>(name)->property("Tag").toString(); }
  QWidget* focus() const { return QApplication::focusWidget(); }
  void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

  // Picks item `index` of a drop-down list from its pop-up list, as a user would.
  void pick(const char* combo, int index) const {
    auto* box = control<QComboBox>(combo);
    box->showPopup();
    box->view()->setCurrentIndex(box->view()->model()->index(index, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
  }

  // Clicks (or double-clicks) an item of lstNo with the given keyboard modifiers.
  void clickNumber(int row, Qt::KeyboardModifiers modifiers = {}, bool twice = false) const {
    QListWidget* lst = list("lstNo");
    const QPoint at = lst->visualItemRect(lst->item(row)).center();
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, modifiers, at);
    if (twice) QTest::mouseDClick(lst->viewport(), Qt::LeftButton, modifiers, at);
  }

  QStringList numbers() const {
    QStringList texts;
    for (int i = 0; i < list("lstNo")->count(); ++i) texts << list("lstNo")->item(i)->text();
    return texts;
  }
};
