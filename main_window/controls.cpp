// Caption events, whole-character input and the typed-key filter of the main window's controls.
#include "main_window/controls.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyleFactory>

void CaptionLabel::setCaption(const QString& text) {
  if (text == this->text()) return;
  setText(text);
  emit captionChanged();
}

QValidator::State WholeCharacterValidator::validate(QString& input, int& position) const {
  QString whole;
  whole.reserve(input.size());
  int removedBeforeCursor = 0;
  for (qsizetype i = 0; i < input.size(); ++i) {
    const QChar c = input.at(i);
    if (c.isHighSurrogate() && i + 1 < input.size() && input.at(i + 1).isLowSurrogate()) {
      whole.append(c);
      whole.append(input.at(++i));
    } else if (c.isSurrogate()) {
      if (i < position) ++removedBeforeCursor;
    } else {
      whole.append(c);
    }
  }
  if (whole.size() != input.size()) {
    input = whole;
    position -= removedBeforeCursor;
  }
  return Acceptable;
}

NumberBox::NumberBox(QWidget* parent) : QLineEdit(parent) {
  setValidator(new WholeCharacterValidator(this));
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  if (!m_filter || typed.isEmpty()) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QString filtered = typed;
  for (QChar& c : filtered) {
    char16_t code = c.unicode();
    m_filter(code);
    c = QChar(code);
  }
  if (filtered == typed) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  QKeyEvent replaced(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                     event->nativeVirtualKey(), event->nativeModifiers(), filtered,
                     event->isAutoRepeat(), static_cast<quint16>(event->count()));
  QLineEdit::keyPressEvent(&replaced);
  event->setAccepted(replaced.isAccepted());
}

NarrowItemStyle::NarrowItemStyle(QWidget* list)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
  setParent(list);
  list->setStyle(this);
}

int NarrowItemStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                 const QWidget* widget) const {
  // Item views put this margin plus one pixel on each side of an item's text.
  if (metric == PM_FocusFrameHMargin) return 0;
  return QProxyStyle::pixelMetric(metric, option, widget);
}
