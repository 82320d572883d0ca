// What the windows need from the old forms toolkit: twips geometry, placement on the screen,
// pictures, Tag texts and the Ming font.
#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <QWidget>
#include <string_view>

#include "resources/pictures.h"

namespace form {

inline constexpr int kTwipsPerPixel = 15;

// A window's text, kept as UTF-8 in the shared table of texts.
inline QString text(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Twips to logical pixels, rounded to the nearest pixel.
constexpr int pixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

struct TwipsRect {
  const char* name;
  int left;
  int top;
  int width;
  int height;
};

QRect toPixels(const TwipsRect& twips);

// Creates a control under `form` whose object name is its name in the window.
template <typename T>
T* create(QWidget* form, const char* name) {
  auto* control = new T(form);
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

void setColour(QWidget* control, QPalette::ColorRole role, const QColor& colour);

// The top-left corner, frame included, for a window whose frame is `frame` in size on a screen
// whose free area is `area`: centred on each axis where it fits, otherwise against the area's
// left or top edge, so the title bar is always reachable.
QPoint placement(const QSize& frame, const QRect& area);

// Places the top-level window `form`, frame included, on the primary screen's free area by
// placement(). A window manager frames a window only once it is mapped, so a window that is
// not framed yet is placed again as soon as its frame is known.
void centreOnScreen(QWidget* form);

// Finds the child named `rect.name` under `form` and places it; the child must exist.
void place(QWidget* form, const TwipsRect& rect);

// A picture with its twice-as-dense drawing, as an icon whose sizes the desktop picks from.
QIcon pictureIcon(const pictures::Picture& picture);

// The program's icon: the program file's and every window's. Drawn once.
QIcon programIcon();

// A picture control that draws its 1x or its 2x pixels, whichever the density of the screen calls
// for, so that it stays sharp on a scaled desktop. Drawn at its own size from the top-left
// corner, or stretched to the control.
class PictureBox : public QWidget {
 public:
  enum class Fit { NaturalSize, Stretch };
  PictureBox(QWidget* form, const char* objectName, const pictures::Picture& picture, Fit fit);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const pictures::Picture& m_picture;
  Fit m_fit;
  QPixmap m_normal;  // each made when first drawn
  QPixmap m_dense;
};

// Every control carries a free text, kept as the dynamic property "Tag".
QString tag(const QObject* control);
void setTag(QObject* control, const QString& text);

// Qt's own menus and dialogs (a text box's context menu, for one) in Traditional Chinese, as the
// windows are. Once per application; later calls do nothing.
void speakChinese();

// While it lives, text laid out before it has a font of its own is laid out in `font`, not in the
// desktop's: a text box lays out its empty text once as it is made, before it takes its parent's
// font, and that would load the desktop's face, and map its file, for nothing. Only the default
// changes: the widgets, and the menus and tips that take the desktop's fonts, are not told.
class MakingInFont {
 public:
  explicit MakingInFont(const QFont& font);
  ~MakingInFont();
  MakingInFont(const MakingInFont&) = delete;
  MakingInFont& operator=(const MakingInFont&) = delete;

 private:
  QFont m_desktop;
};

// The font the forms name, 新細明體 at `points`; where it is missing, the first installed of the
// Traditional-Chinese faces that stand in for it.
QFont mingFont(qreal points);

}  // namespace form
