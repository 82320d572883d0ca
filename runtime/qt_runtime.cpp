// Runtime services over Qt: dialogs, clipboard, key events, the desktop's URL handler.
#include "runtime/qt_runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDesktopServices>
#include <QDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWidget>
#include <cstdlib>

#include "runtime/form_support.h"
#include "runtime/single_copy.h"

QtRuntime::QtRuntime() : m_random(MixingRandom::fromEntropy()) {}

bool QtRuntime::previousInstance() { return single_copy::anotherCopyHoldsLock(); }

void QtRuntime::showModal(QDialog& window) { window.exec(); }

void QtRuntime::messageBox(QWidget* parent, const QString& prompt, const QString& title) {
  QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok, parent);
  // A box is a window of its own and inherits no font: it takes its owner's Chinese face, so the
  // prompt's "!!" is not drawn in another font beside it.
  box.setFont(parent ? parent->font() : form::mingFont(9));
  // The box speaks the program's language whatever the desktop's is, on a plain button: some
  // styles put a theme icon on a dialog's buttons.
  QAbstractButton* ok = box.button(QMessageBox::Ok);
  ok->setText(QStringLiteral("確定"));
  ok->setIcon(QIcon());
  box.exec();
}

void QtRuntime::setClipboardText(const QString& text) {
  QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

float QtRuntime::timer() {
  // The clock value only seeds the generator, and it is read before every digit: the zone offset
  // is looked up once rather than converting each reading to local time.
  static const qint64 offsetMs = qint64{QDateTime::currentDateTime().offsetFromUtc()} * 1000;
  constexpr qint64 kMsPerDay = 86'400'000;
  const qint64 ms = QDateTime::currentMSecsSinceEpoch() + offsetMs;
  return static_cast<float>(((ms % kMsPerDay) + kMsPerDay) % kMsPerDay) / 1000.0F;
}

void QtRuntime::randomize(float seed) { m_random.mix(seed); }

double QtRuntime::rnd() { return m_random.next(); }

void QtRuntime::sendHomeKey() {
  QWidget* target = QApplication::focusWidget();
  if (!target) return;
  QCoreApplication::postEvent(target,
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier));
  QCoreApplication::postEvent(target,
                              new QKeyEvent(QEvent::KeyRelease, Qt::Key_Home, Qt::NoModifier));
}

void QtRuntime::doEvents() {
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
}

void QtRuntime::beep() { QApplication::beep(); }

bool QtRuntime::openMailLink(const QString& address) {
  QUrl url;
  url.setScheme(QStringLiteral("mailto"));
  url.setPath(address);
  return QDesktopServices::openUrl(url);
}
