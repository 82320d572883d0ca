// Fitting a control's font to the room its style gives text.
#include "runtime/text_fit.h"

#include "runtime/platform.h"

#include <algorithm>

#include <QAbstractButton>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QVariant>

namespace form {
namespace {
const char* const kDesignedFontProperty = "designedFont";
constexpr qreal kStep = 0.25;

bool takesNoMore(const QFontMetrics& metrics, QSize room, const QString& text, Measure measure) {
  const QRect laid =
      metrics.boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX),
                           measure == Measure::WrappedLines ? Qt::TextWordWrap : 0, text);
  int width = laid.width();
  if (measure == Measure::Ink) {
    width = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
      const QRect ink = metrics.boundingRect(line);
      width = std::max(width, ink.x() + ink.width());
    }
  }
  return width <= room.width() && laid.height() <= room.height();
}
}  // namespace

QFont fittedFont(QFont font, QSize room, const QStringList& texts, Measure measure) {
  const qreal designed = font.pointSizeF();
  for (qreal points = designed; points >= designed / 2; points -= kStep) {
    font.setPointSizeF(points);
    const QFontMetrics metrics(font);
    if (std::all_of(texts.begin(), texts.end(), [&](const QString& text) {
          return takesNoMore(metrics, room, text, measure);
        })) {
      return font;
    }
  }
  return font;
}

QRect textRoom(const QWidget* control) {
  const QStyle* style = control->style();
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    const int margin = label->margin();
    return label->contentsRect().adjusted(margin, margin, -margin, -margin);
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool radio = qobject_cast<const QRadioButton*>(control) != nullptr;
    return style->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_PushButtonContents, &option, button);
  }
  if (const auto* list = qobject_cast<const QComboBox*>(control)) {
    QStyleOptionComboBox option;
    option.initFrom(list);
    option.editable = list->isEditable();
    option.frame = list->hasFrame();
    return style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, list);
  }
  if (const auto* box = qobject_cast<const QLineEdit*>(control)) {
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth =
        box->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box) : 0;
    // Inside its frame a text box keeps its text margins, and two pixels across and one down.
    return style->subElementRect(QStyle::SE_LineEditContents, &option, box)
        .marginsRemoved(box->textMargins())
        .adjusted(2, 1, -2, -1);
  }
  if (const auto* list = qobject_cast<const QListWidget*>(control)) {
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    int width = list->contentsRect().width() - 2 * margin;
    const bool full = list->count() > 0 &&
                      list->count() * list->sizeHintForRow(0) > list->contentsRect().height();
    if (list->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn ||
        (full && list->verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded)) {
      width -= style->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    }
    return {0, 0, width, QWIDGETSIZE_MAX};
  }
  return control->contentsRect();
}

QStringList shownTexts(const QWidget* control) {
  if (const auto* label = qobject_cast<const QLabel*>(control)) return {label->text()};
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return {button->text()};
  if (const auto* box = qobject_cast<const QLineEdit*>(control)) return {box->text()};
  QStringList texts;
  if (const auto* list = qobject_cast<const QComboBox*>(control)) {
    for (int row = 0; row < list->count(); ++row) texts.append(list->itemText(row));
  } else if (const auto* list = qobject_cast<const QListWidget*>(control)) {
    for (int row = 0; row < list->count(); ++row) texts.append(list->item(row)->text());
  }
  return texts;
}

bool inDesignedFace(const QWidget* control) {
  static const QStringList designedFaces = platform::designedMingFaces();
  return designedFaces.contains(control->font().family());
}

void fitText(QWidget* control, const QStringList& texts, QSize room) {
  // In the window's own face every text fits at its own size: nothing to measure, and the
  // window starts no slower for it.
  if (inDesignedFace(control)) return;
  QVariant designed = control->property(kDesignedFontProperty);
  if (!designed.isValid()) {
    designed = control->font();
    control->setProperty(kDesignedFontProperty, designed);
  }
  // A label's text may reach the edge with its last glyph's ink; a text box or a list scrolls or
  // cuts at the last glyph's advance.
  Measure measure = Measure::Advances;
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    measure = label->wordWrap() ? Measure::WrappedLines : Measure::Ink;
  }
  const QFont fitted =
      fittedFont(designed.value<QFont>(), room.isValid() ? room : textRoom(control).size(),
                 texts.isEmpty() ? shownTexts(control) : texts, measure);
  if (fitted != control->font()) control->setFont(fitted);
}

}  // namespace form
