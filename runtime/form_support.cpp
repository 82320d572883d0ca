// Twips geometry, Tag texts and font substitution for the hand-written windows.
#include "runtime/form_support.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
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

QPoint placement(const QSize& frame, const QRect& area) {
  const auto onAxis = [](int size, int start, int length) {
    return size <= length ? start + (length - size) / 2 : start;
  };
  return {onAxis(frame.width(), area.left(), area.width()),
          onAxis(frame.height(), area.top(), area.height())};
}

namespace {

const QString kFrameWatcherName = QStringLiteral("taloma_frame_watcher");

bool isFramed(const QWidget* form) { return form->frameGeometry().size() != form->size(); }

void moveToPlacement(QWidget* form) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    // move() positions the frame's corner, as placement() reckons.
    form->move(placement(form->frameGeometry().size(), screen->availableGeometry()));
  }
}

// Places its window once more when the window manager's frame first shows in its geometry,
// which comes with the move the framing causes.
class FrameWatcher : public QObject {
 public:
  explicit FrameWatcher(QWidget* form) : QObject(form) {
    setObjectName(kFrameWatcherName);
    form->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* form = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::Move && isFramed(form)) {
      form->removeEventFilter(this);
      deleteLater();
      moveToPlacement(form);
    }
    return false;
  }
};

}  // namespace

void centreOnScreen(QWidget* form) {
  moveToPlacement(form);
  if (!isFramed(form) &&
      !form->findChild<QObject*>(kFrameWatcherName, Qt::FindDirectChildrenOnly)) {
    new FrameWatcher(form);
  }
}

void place(QWidget* form, const TwipsRect& rect) {
  auto* control = form->findChild<QWidget*>(QString::fromLatin1(rect.name));
  Q_ASSERT_X(control, "form::place", rect.name);
  if (control) control->setGeometry(toPixels(rect));
}

namespace {
QString picturePath(const QString& name, const char* density) {
  return QStringLiteral(":/taloma/%1%2.xpm").arg(name, QLatin1String(density));
}
}  // namespace

QIcon pictureIcon(const QString& name) {
  QIcon icon;
  icon.addFile(picturePath(name, ""));
  icon.addFile(picturePath(name, "@2x"));
  return icon;
}

PictureBox::PictureBox(QWidget* form, const char* objectName, const QString& picture, Fit fit)
    : QWidget(form), m_picture(picture), m_fit(fit) {
  setObjectName(QString::fromLatin1(objectName));
  setAttribute(Qt::WA_TranslucentBackground);
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // From 1.5 on, the dense drawing made smaller looks sharper than the plain one made larger.
  // The engine's device is the one drawn on: the screen's backing store, or an image the window
  // is rendered into.
  const bool dense = painter.paintEngine()->paintDevice()->devicePixelRatioF() > 1.25;
  QPixmap& pixmap = dense ? m_dense : m_normal;
  // The "@2x" name gives the dense drawing a pixel ratio of 2, so both have the same size here.
  if (pixmap.isNull()) pixmap.load(picturePath(m_picture, dense ? "@2x" : ""));
  const QRect target =
      m_fit == Fit::Stretch ? rect() : QRect(QPoint(0, 0), pixmap.deviceIndependentSize().toSize());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(target, pixmap);
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
