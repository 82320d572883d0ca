// Caption events, whole-character input and the typed-key filter of the main window's controls.
#include "main_window/controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyleFactory>

#include "rules/text.h"
#include "runtime/text_fit.h"

namespace {

// What a screen reader sees of the message panel: a notification whose name is the caption.
class CaptionAccessible : public QAccessibleWidget {
 public:
  explicit CaptionAccessible(CaptionLabel* label)
      : QAccessibleWidget(label, QAccessible::Notification) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) {
      return static_cast<const QLabel*>(widget())->text().replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    }
    return QAccessibleWidget::text(t);
  }
};

QAccessibleInterface* captionAccessible(const QString& /*className*/, QObject* object) {
  auto* label = qobject_cast<CaptionLabel*>(object);
  return label != nullptr ? new CaptionAccessible(label) : nullptr;
}

}  // namespace

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent) {
  static const bool installed = [] {
    QAccessible::installFactory(captionAccessible);
    return true;
  }();
  Q_UNUSED(installed);
}

void CaptionLabel::setCaption(const QString& text) {
  if (text == this->text()) return;
  setText(text);
  form::fitText(this);
  // A notification that shows again is read out, as a live region's new text would be.
  QAccessibleEvent shown(this, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&shown);
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

QString withoutInvisibles(const QString& text) {
  QString kept;
  kept.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const bool pair =
        text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
    const char32_t code =
        pair ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1)) : text.at(i).unicode();
    if (!rules::IsInvisible(code)) kept.append(text.mid(i, pair ? 2 : 1));
    if (pair) ++i;
  }
  return kept;
}

void NumberBox::pasteVisible(QClipboard::Mode mode) {
  if (isReadOnly()) return;
  const QString text = withoutInvisibles(QGuiApplication::clipboard()->text(mode));
  if (!text.isEmpty() || hasSelectedText()) insert(text);
}

void NumberBox::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  // The menu's Paste is the action wired to the box's own paste slot (by name in Qt 6.4).
  for (QAction* action : menu->actions()) {
    if (disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
        disconnect(action, &QAction::triggered, this, &QLineEdit::paste)) {
      connect(action, &QAction::triggered, this, [this] { pasteVisible(QClipboard::Clipboard); });
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

void NumberBox::mouseReleaseEvent(QMouseEvent* event) {
  // The X11 middle-click paste of the selection.
  if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
    deselect();
    pasteVisible(QClipboard::Selection);
    return;
  }
  QLineEdit::mouseReleaseEvent(event);
}

void NumberBox::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasText()) {
    QLineEdit::dropEvent(event);
    return;
  }
  QMimeData visible;
  visible.setText(withoutInvisibles(event->mimeData()->text()));
  QDropEvent dropped(event->position(), event->possibleActions(), &visible, event->buttons(),
                     event->modifiers(), event->type());
  dropped.setDropAction(event->dropAction());
  QLineEdit::dropEvent(&dropped);
  event->setDropAction(dropped.dropAction());
  event->setAccepted(dropped.isAccepted());
}

void NumberBox::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste)) {
    pasteVisible(QClipboard::Clipboard);
    event->accept();
    return;
  }
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

void NumberList::paintEvent(QPaintEvent* event) {
  QListWidget::paintEvent(event);
  if (count() > 0 || !hasFocus()) return;
  QPainter painter(viewport());
  QStyleOptionFocusRect mark;
  mark.initFrom(this);
  mark.rect = QRect(0, 0, viewport()->width(), fontMetrics().height() + 2);
  mark.backgroundColor = palette().color(QPalette::Base);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &mark, &painter, this);
}

VisibleFocusStyle::VisibleFocusStyle(QWidget* list)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
  setParent(list);
  list->setStyle(this);
}

void VisibleFocusStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                      QPainter* painter, const QWidget* widget) const {
  const auto* focus = qstyleoption_cast<const QStyleOptionFocusRect*>(option);
  if (element != PE_FrameFocusRect || focus == nullptr) {
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    return;
  }
  const bool selected = focus->backgroundColor == option->palette.color(QPalette::Highlight);
  painter->save();
  painter->setPen(QPen(option->palette.color(selected ? QPalette::HighlightedText : QPalette::Text),
                       1, Qt::DotLine));
  painter->setBrush(Qt::NoBrush);
  painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
  painter->restore();
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
