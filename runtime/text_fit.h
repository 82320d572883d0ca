// Texts that fit their controls whatever Chinese face the system has.
//
// The windows are laid out for 新細明體, or AR PL UMing, which is drawn the same size: a box of
// 180 twips holds one of its lines at 9 points. A face with taller lines or wider Latin letters
// (Noto CJK, WenQuanYi) would have its texts cut at the window's own sizes, so a control's font is
// made smaller, from the window's own size for it, until each of its texts fits the room its
// style gives text. With the window's own face every text fits at its own size and no font
// changes.
#pragma once

#include <QFont>
#include <QSize>
#include <QStringList>
#include <QWidget>

namespace form {

// How a text's width is taken: to the last glyph's advance, the same broken into lines as wide
// as the room, or to the last glyph's ink. Its height is always its lines' height.
enum class Measure { Advances, WrappedLines, Ink };

// `font` at the largest size, not above its own, in quarter-point steps, at which each of `texts`
// takes no more than `room`; at the last size tried, half its own, when even that is too large.
QFont fittedFont(QFont font, QSize room, const QStringList& texts,
                 Measure measure = Measure::Advances);

// The rectangle in which `control` draws its text, as its style lays it out: labels, push and
// radio buttons, drop-down lists, text boxes and list boxes (across the list, beside its scroll
// bar when its rows overflow it).
QRect textRoom(const QWidget* control);

// What `control` shows: a label's or a button's text, a list's items, a text box's text.
QStringList shownTexts(const QWidget* control);

// Whether `control` is drawn in a face the windows were drawn with (新細明體, AR PL UMing), in which
// every text fits at its own size.
bool inDesignedFace(const QWidget* control);

// Fits `control`'s font to `texts`, or to what it shows when none are given, within `room`, or its
// text room when none is given. It starts each time from the font the control had when first
// fitted, so a control that shows a shorter text later is drawn at its own size again.
void fitText(QWidget* control, const QStringList& texts = {}, QSize room = {});

}  // namespace form
