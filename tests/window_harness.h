// Builds the main window over the recording runtime and finds its controls by name.
#pragma once

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "main_window/frm_twno.h"
#include "rules/id_number.h"
#include "fake_runtime.h"

// The rules' verdict on a text as the number box holds it.
inline rules::NumVerdict verdictOf(const QString& text) {
  return rules::VerifyNum(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                              static_cast<std::size_t>(text.size())));
}

struct WindowHarness {
  FakeRuntime runtime;
  std::unique_ptr<frmTwno> window;

  explicit WindowHarness(bool show = true) : window(std::make_unique<frmTwno>(runtime)) {
    if (show) {
      window->showCentred();
      QApplication::setActiveWindow(window.get());
      [[maybe_unused]] const bool active = QTest::qWaitForWindowActive(window.get());
      window->findChild<QLineEdit*>(QStringLiteral("txtNo"))->setFocus();
    }
  }

  // The control named `name`; a missing name fails loudly.
  template <typename T>
  T* control(const char* name) const {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) qFatal("no control named %s", name);
    return found;
  }

  QLineEdit* txtNo() const { return control<QLineEdit>("txtNo"); }
  QLabel* lblTel() const { return control<QLabel>("lblTel"); }
  QPushButton* button(const char* name) const { return control<QPushButton>(name); }
  QComboBox* combo(const char* name) const { return control<QComboBox>(name); }
  QListWidget* list(const char* name) const { return control<QListWidget>(name); }
  QString tag(const char* name) const { return control<QObject>(name)->property("Tag").toString(); }
  QWidget* focus() const { return QApplication::focusWidget(); }

  // Picks item `index` of a drop-down list from its pop-up list, as a user would.
  void pick(const char* comboName, int index) const {
    QComboBox* box = combo(comboName);
    box->showPopup();
    QAbstractItemView* view = box->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Return);
  }

  // Clicks an item of lstNo with the given keyboard modifiers.
  void clickNumber(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const {
    QListWidget* lst = list("lstNo");
    const QRect r = lst->visualItemRect(lst->item(row));
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, modifiers, r.center());
  }

  void doubleClickNumber(int row) const {
    QListWidget* lst = list("lstNo");
    const QRect r = lst->visualItemRect(lst->item(row));
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(lst->viewport(), Qt::LeftButton, {}, r.center());
  }
};
