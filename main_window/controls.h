// Controls of the main window that need more than Qt's stock widgets give.
#pragma once

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProxyStyle>
#include <QValidator>
#include <functional>

// A label whose caption change is an event of its own, raised inside the assignment. It is the
// window's message panel, so a screen reader is told of each new caption as a notification.
class CaptionLabel : public QLabel {
  Q_OBJECT

 public:
  explicit CaptionLabel(QWidget* parent = nullptr);

  // Sets the caption and, when it differs from the one shown, raises captionChanged before
  // returning.
  void setCaption(const QString& text);

 signals:
  void captionChanged();
};

// Keeps a text free of lone surrogates. A paste cut short at the length limit can end in half of
// a pair; that half goes, so a character outside the Basic Multilingual Plane is kept whole or
// dropped whole.
class WholeCharacterValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;
  State validate(QString& input, int& position) const override;
};

// `text` without the characters a paste can carry but nobody sees: controls (tab, line ends,
// NUL), invisible formatting (zero-width characters, bidirectional overrides, byte-order marks)
// and the line and paragraph separators.
QString withoutInvisibles(const QString& text);

// The number input: typed characters pass through a key-press filter that may replace them.
// Pasted and dropped text does not, so it keeps its case, but it loses its invisible characters
// before it is kept, whether it comes by key, context menu, middle click or drop.
class NumberBox : public QLineEdit {
  Q_OBJECT

 public:
  explicit NumberBox(QWidget* parent = nullptr);

  void setKeyPressFilter(std::function<void(char16_t&)> filter) { m_filter = std::move(filter); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void pasteVisible(QClipboard::Mode mode);

  std::function<void(char16_t&)> m_filter;
};

// The number list. Empty, it still shows the focus when Tab reaches it: the mark a current item
// would carry, around its first line.
class NumberList : public QListWidget {
  Q_OBJECT

 public:
  using QListWidget::QListWidget;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// The style of a list box whose colours hide the usual focus frame (green on black): the frame is
// drawn in the list's text colour, or in the selected text's colour on a selected item.
class VisibleFocusStyle : public QProxyStyle {
  Q_OBJECT

 public:
  explicit VisibleFocusStyle(QWidget* list);
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
};

// The style of a list box too narrow for the usual margins: its item texts keep one pixel each
// side instead of the focus-frame margin, which the longest line of the postal list needs.
class NarrowItemStyle : public QProxyStyle {
  Q_OBJECT

 public:
  explicit NarrowItemStyle(QWidget* list);
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;
};
