// Runtime services over Qt: dialogs, clipboard, key events, the desktop's URL handler.
#include "runtime/qt_runtime.h"

#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QDialog>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "runtime/form_support.h"
#include "runtime/platform.h"

QtRuntime::QtRuntime() : m_random(MixingRandom::fromEntropy()) {}


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
  // Without an icon the text keeps the indent an icon would have, and sits off centre; it keeps
  // the margins of the box instead. It can be selected, so an address in it can be copied.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    for (int i = 0; i < grid->count(); ++i) {
      if (QSpacerItem* indent = grid->itemAt(i)->spacerItem()) indent->changeSize(0, 0);
    }
    grid->setHorizontalSpacing(0);
  }
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
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

void QtRuntime::openMailLink(const QString& address, QObject* context,
                             std::function<void(bool)> done) {
  platform::openMailProgram(address, context, std::move(done));
}
