// The About window's controls, their wiring to the event handlers, and the handlers.
#include "about_window/frm_about.h"

#include <QCloseEvent>
#include <QCursor>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

#include "runtime/form_support.h"
#include "runtime/runtime.h"
#include "runtime/text_fit.h"
#include "screen/screen.h"
#include "screen/words.h"

namespace {

constexpr int kClientWidth = 4140;
constexpr int kClientHeight = 2505;

// Left, top, width and height in twips. The two autosized labels start at the width of their
// empty caption and grow to fit their text.
constexpr form::TwipsRect kLayout[] = {
    {"lblInfo", 1440, 120, 2565, 1275}, {"cmdClose", 3015, 1980, 975, 375},
    {"lblMail", 1440, 1560, 45, 180},   {"lblMail2", 2100, 1560, 165, 180},
    {"imgPic", 120, 120, 1200, 1215},   {"shpFill1", 60, 30, 4000, 2400},
    {"shpFill2", 70, 40, 4000, 2400},
};

using form::text;

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

// The hand's fingertip is the point that clicks.
constexpr int kHandHotSpotX = 12;
constexpr int kHandHotSpotY = 1;

// A rectangle shape: a one-pixel outline, hollow, that never takes the mouse.
class RectangleShape : public QWidget {
 public:
  RectangleShape(QWidget* parent, const char* name, const QColor& colour)
      : QWidget(parent), m_colour(colour) {
    setObjectName(QString::fromLatin1(name));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setPen(QPen(m_colour, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, width() - 1, height() - 1);
  }

 private:
  QColor m_colour;
};

// An autosized label keeps its top-left corner and takes the size of its text. Some faces put the
// underline below their descent; the line is drawn centred on the row after its position, so an
// underlined label gets room for that row too.
void fitToText(QLabel* label) {
  QSize size = label->sizeHint();
  if (label->font().underline()) {
    const QFontMetrics metrics = label->fontMetrics();
    const int lineBottom = metrics.ascent() + metrics.underlinePos() + metrics.lineWidth() + 1;
    size.setHeight(std::max(size.height(), lineBottom));
  }
  label->resize(size);
}

}  // namespace

frmAbout::frmAbout(Runtime& runtime, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_runtime(runtime) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(text(words::kAboutTitle));
  setWindowIcon(form::programIcon());
  setFont(form::mingFont(9));
  setFixedSize(form::pixels(kClientWidth), form::pixels(kClientHeight));
  createControls();
  for (const form::TwipsRect& rect : kLayout) form::place(this, rect);

  connect(cmdClose, &QPushButton::clicked, this, &frmAbout::cmdClose_Click);
  // A label has no click signal; the filter turns a press and release on the address into one.
  lblMail2->installEventFilter(this);
  // From the keyboard, Alt+E (for E-Mail) clicks the address, which is no stop of the Tab key.
  auto* mail = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_E), this);
  connect(mail, &QShortcut::activated, this, &frmAbout::lblMail2_Click);
  lblMail2->setAccessibleDescription(text(words::kMailKey));

  Form_Load();
}

QString frmAbout::contactAddress() { return QString::fromUtf8(TALOMA_CONTACT_ADDRESS); }

void frmAbout::createControls() {
  // The shapes come first so the controls are drawn over the frame; the white line lies on top.
  shpFill1 = new RectangleShape(this, "shpFill1", QColor(0, 0, 0));
  shpFill2 = new RectangleShape(this, "shpFill2", QColor(255, 255, 255));

  lblInfo = form::create<QLabel>(this, "lblInfo");
  lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  cmdClose = form::create<QPushButton>(this, "cmdClose");
  cmdClose->setText(text(words::kOk));
  cmdClose->setDefault(false);
  // Enter presses the button because it has the focus, as any focused button does; there is no
  // window-wide default or cancel button.
  cmdClose->setAutoDefault(true);

  lblMail = form::create<QLabel>(this, "lblMail");
  lblMail2 = form::create<QLabel>(this, "lblMail2");
  // Top-aligned, so the two labels share a baseline even when the address is the taller one.
  lblMail->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblMail2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  form::setColour(lblMail2, QPalette::WindowText, kBlue);
  lblMail2->setCursor(QCursor(QPixmap(pictures::kHandCursor.normal), kHandHotSpotX, kHandHotSpotY));

  imgPic =
      new form::PictureBox(this, "imgPic", pictures::kAboutPicture, form::PictureBox::Fit::Stretch);

  // The button is the one control that takes the focus, so it holds it whenever the window shows.
  cmdClose->setFocus();
}

void frmAbout::setVisible(bool visible) {
  if (visible && !isVisible()) form::centreOnScreen(this);
  QDialog::setVisible(visible);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lblMail2) {
    if (event->type() == QEvent::MouseButtonPress) {
      m_pressedOnAddress = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool click = m_pressedOnAddress && mouse->button() == Qt::LeftButton &&
                         lblMail2->rect().contains(mouse->position().toPoint());
      m_pressedOnAddress = false;
      if (click) lblMail2_Click();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void frmAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // A modal window becomes the program's active window exactly when it is shown; a message box
  // closing over it hands activation back without showing it again, and must not turn the
  // address blue.
  if (!event->spontaneous()) Form_Activate();
}

void frmAbout::closeEvent(QCloseEvent* event) {
  m_unloaded = true;
  QDialog::closeEvent(event);
}

void frmAbout::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// Event handlers.

void frmAbout::Form_Load() {
  ++m_loadCount;
  lblInfo->setText(text(screen::AboutInfo()));
  form::fitText(lblInfo);
  form::fitText(cmdClose);
  // The two mail labels size themselves: the first as far as the address, the address as far as
  // the frame, neither down to the button.
  lblMail->setText(text(words::kMailLabel));
  form::fitText(lblMail, {}, QSize(lblMail2->x() - lblMail->x(), cmdClose->y() - lblMail->y()));
  fitToText(lblMail);
  lblMail2->setText(contactAddress());
  form::fitText(lblMail2, {},
                QSize(shpFill1->geometry().right() - lblMail2->x(), cmdClose->y() - lblMail2->y()));
  fitToText(lblMail2);
  QFont underlined = lblMail2->font();
  underlined.setUnderline(true);
  lblMail2->setFont(underlined);
  fitToText(lblMail2);
}

void frmAbout::Form_Activate() { form::setColour(lblMail2, QPalette::WindowText, kBlue); }

void frmAbout::cmdClose_Click() { hide(); }

void frmAbout::lblMail2_Click() {
  form::setColour(lblMail2, QPalette::WindowText, kRed);
  // When no mail program starts, the address is shown where it can be selected and copied.
  // The answer can come late (xdg-open may wait for the mail program): once this window is closed
  // it is nobody's business.
  m_runtime.openMailLink(contactAddress(), this, [this](bool started) {
    if (started || !isVisible()) return;
    m_runtime.messageBox(this, text(words::kNoMailProgram) + contactAddress(),
                         text(words::kAboutTitle));
  });
}
