// Twips geometry, Tag texts and font substitution for the hand-written windows.
#include "runtime/form_support.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QVariant>
#include <QWidget>

namespace form {
namespace {
const char* const kTagProperty = "Tag";
const QString kMingFamily = QStringLiteral("新細明體");
}  // namespace

QRect toPixels(const TwipsRect& twips) {
  return {pixels(twips.left), pixels(twips.top), pixels(twips.width), pixels(twips.height)};
}

void setColour(QWidget* control, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = control->palette();
  palette.setColor(role, colour);
  control->setPalette(palette);
}

void centreOnScreen(QWidget* form) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    form->move(screen->availableGeometry().center() - form->rect().center());
  }
}

void place(QWidget* form, const TwipsRect& rect) {
  auto* control = form->findChild<QWidget*>(QString::fromLatin1(rect.name));
  Q_ASSERT_X(control, "form::place", rect.name);
  if (control) control->setGeometry(toPixels(rect));
}

QString tag(const QObject* control) { return control->property(kTagProperty).toString(); }

void setTag(QObject* control, const QString& text) { control->setProperty(kTagProperty, text); }

QFont mingFont(qreal points) {
  installFontSubstitutions();
  QFont font(kMingFamily);
  font.setPointSizeF(points);
  font.setStyleHint(QFont::Serif);
  return font;
}

void installFontSubstitutions() {
  static const bool installed = [] {
    QFont::insertSubstitutions(
        kMingFamily, {QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW"),
                      QStringLiteral("AR PL UMing TW MBE"), QStringLiteral("Noto Serif CJK TC"),
                      QStringLiteral("Noto Sans CJK TC"), QStringLiteral("WenQuanYi Zen Hei")});
    return true;
  }();
  Q_UNUSED(installed);
}

}  // namespace form
