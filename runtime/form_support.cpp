// Twips geometry, placement, pictures, Tag texts and the Ming face for the hand-written windows.
#include "runtime/form_support.h"

#include "runtime/platform.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QScreen>
#include <QStringList>
#include <QTranslator>
#include <QVariant>
#include <QWidget>

namespace form {
namespace {
const char* const kTagProperty = "Tag";
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
// The dense drawing says it covers its pixels twice over, so both have the same size on a form.
QPixmap densePixmap(const pictures::Picture& picture) {
  QPixmap pixmap(picture.dense);
  pixmap.setDevicePixelRatio(2);
  return pixmap;
}
}  // namespace

QIcon pictureIcon(const pictures::Picture& picture) {
  QIcon icon(QPixmap(picture.normal));
  if (picture.dense) icon.addPixmap(densePixmap(picture));
  return icon;
}

QIcon programIcon() {
  // Kept to the end of the process, past the application object its pixmaps must not outlive.
  static const QIcon* const icon = new QIcon(pictureIcon(pictures::kTalomaIcon));
  return *icon;
}

PictureBox::PictureBox(QWidget* form, const char* objectName, const pictures::Picture& picture,
                       Fit fit)
    : QWidget(form), m_picture(picture), m_fit(fit) {
  setObjectName(QString::fromLatin1(objectName));
  setAttribute(Qt::WA_TranslucentBackground);
}

void PictureBox::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  // From 1.5 on, the dense drawing made smaller looks sharper than the plain one made larger.
  // The engine's device is the one drawn on: the screen's backing store, or an image the window
  // is rendered into.
  const bool dense =
      m_picture.dense && painter.paintEngine()->paintDevice()->devicePixelRatioF() > 1.25;
  QPixmap& pixmap = dense ? m_dense : m_normal;
  if (pixmap.isNull()) pixmap = dense ? densePixmap(m_picture) : QPixmap(m_picture.normal);
  const QRect target =
      m_fit == Fit::Stretch ? rect() : QRect(QPoint(0, 0), pixmap.deviceIndependentSize().toSize());
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(target, pixmap);
}

QString tag(const QObject* control) { return control->property(kTagProperty).toString(); }

void setTag(QObject* control, const QString& text) { control->setProperty(kTagProperty, text); }

void speakChinese() {
  static QTranslator translator;
  static const bool installed =
      translator.load(QStringLiteral(":/translations/qtbase_zh_TW.qm")) &&
      QCoreApplication::installTranslator(&translator);
  Q_UNUSED(installed);
}

// QGuiApplication's own setter, not QApplication's, which would also drop the fonts the desktop
// gives menus and tips.
MakingInFont::MakingInFont(const QFont& font) : m_desktop(QGuiApplication::font()) {
  QGuiApplication::setFont(font);
}

MakingInFont::~MakingInFont() { QGuiApplication::setFont(m_desktop); }

QFont mingFont(qreal points) {
  // Resolved once to an installed face: a family Qt has to substitute costs a search through
  // fontconfig's fallbacks for every font made from it.
  static const QString family = [] {
    const QStringList faces = platform::mingFaces();
    // A face installed under its own name is found in the list; asking hasFamily() makes
    // fontconfig work through its substitutions for each name (a tenth of a millisecond each).
    const QStringList installed = QFontDatabase::families();
    for (const QString& candidate : faces) {
      if (installed.contains(candidate, Qt::CaseInsensitive)) return candidate;
    }
    // One the system knows only by another name.
    for (const QString& candidate : faces) {
      if (QFontDatabase::hasFamily(candidate)) return candidate;
    }
    return faces.front();
  }();
  QFont font(family);
  font.setPointSizeF(points);
  font.setStyleHint(QFont::Serif);
  return font;
}

}  // namespace form
