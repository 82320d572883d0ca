// The main window's controls, their wiring to the event handlers, and the handlers.
#include "main_window/frm_twno.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QCursor>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>
#include <array>
#include <cmath>

#include "about_window/frm_about.h"
#include "main_window/controls.h"
#include "rules/generation.h"
#include "rules/place_list.h"
#include "rules/text.h"
#include "runtime/form_support.h"
#include "runtime/runtime.h"
#include "runtime/text_fit.h"
#include "screen/screen.h"
#include "screen/words.h"

namespace {

constexpr int kClientWidth = 3285;
constexpr int kClientHeight = 4125;

// Left, top, width and height in twips, from the top-left corner of the client area.
constexpr form::TwipsRect kLayout[] = {
    {"lblTel", 75, 495, 3135, 585},         {"fraOptions", 75, 1470, 3135, 555},
    {"txtNo", 75, 60, 1845, 405},           {"cmdProduce", 75, 1125, 975, 375},
    {"cmdCheck", 1155, 1125, 975, 375},     {"cmdClear", 2235, 1125, 975, 375},
    {"optBoy", 360, 1680, 735, 255},        {"optGirl", 1320, 1680, 735, 255},
    {"cboPlace", 2160, 1650, 945, 300},     {"cboHowmuch", 2490, 75, 720, 315},
    {"lstNo", 1515, 2115, 1695, 1500},      {"cmdCopy", 1515, 3690, 495, 375},
    {"cmdSelectall", 2115, 3690, 495, 375}, {"cmdAbout", 2715, 3690, 495, 375},
    {"lblZonenum", 75, 2340, 1080, 180},    {"lstZonenum", 75, 2565, 1335, 1500},
    {"lblAreacode", 960, 2070, 105, 240},   {"lblCode", 390, 2100, 540, 180},
    {"imgPost", 75, 2040, 300, 300},
};

using form::text;

const QString kClearCaption = text(words::kClear);
const QString kCutCaption = text(words::kCut);
const QString kUnchange = QStringLiteral("Unchange");
const QString kUnsetfocus = QStringLiteral("Unsetfocus");
const QString kRando = QStringLiteral("Rando");
const QString kErrorTitle = text(words::kErrorTitle);

std::u16string_view toView(const QString& text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())};
}

// Gives a drop-down list a name a screen reader says before its value. On Linux a list's name is
// its value, and what names it is a label whose buddy it is: one that is never shown.
void nameForScreenReaders(QComboBox* list, const QString& name) {
  list->setAccessibleName(name);
  auto* label = new QLabel(name, list->parentWidget());
  label->setObjectName(list->objectName() + QStringLiteral("Name"));
  label->setBuddy(list);
  label->hide();
}

// Fits `control` to the widest number it may show: two of its face's widest capital letter (an
// old resident certificate starts with two) and eight of its widest digit. In the window's own face
// it fits already, and the glyphs are not loaded to find out.
void fitNumbers(QWidget* control) {
  if (form::inDesignedFace(control)) return;
  const QFontMetrics metrics(control->font());
  const auto widest = [&metrics](const QString& characters) {
    return *std::max_element(characters.begin(), characters.end(), [&metrics](QChar a, QChar b) {
      return metrics.horizontalAdvance(a) < metrics.horizontalAdvance(b);
    });
  };
  form::fitText(control, {QString(2, widest(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"))) +
                          QString(8, widest(QStringLiteral("0123456789")))});
}

// The window is a window to a screen reader, not the "filler" a plain widget is.
QAccessibleInterface* windowAccessible(const QString& /*className*/, QObject* object) {
  auto* window = qobject_cast<frmTwno*>(object);
  return window != nullptr ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

}  // namespace

frmTwno::frmTwno(Runtime& runtime, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      m_runtime(runtime) {
  static const bool accessible = [] {
    QAccessible::installFactory(windowAccessible);
    return true;
  }();
  Q_UNUSED(accessible);
  setObjectName(QStringLiteral("frmTwno"));
  setWindowTitle(text(screen::WindowTitle()));
  setWindowIcon(form::programIcon());
  setFixedSize(form::pixels(kClientWidth), form::pixels(kClientHeight));
  // The controls that name no font of their own use the window's: the Ming face at 9 points,
  // the usual Traditional-Chinese interface font, so one Chinese face serves the whole window.
  setFont(form::mingFont(9));
  {
    const form::MakingInFont making(font());
    createControls();
  }
  connectEvents();
  setTabOrder();
  Form_Load();
}

frmTwno::~frmTwno() = default;

void frmTwno::showCentred() {
  form::centreOnScreen(this);
  show();
  txtNo->setFocus();
}

void frmTwno::createControls() {
  // Created in the window's tab order; the frame comes early so it is drawn beneath its contents.
  lblTel = form::create<CaptionLabel>(this, "lblTel");
  lblTel->setFont(form::mingFont(12));
  lblTel->setAutoFillBackground(true);
  form::setColour(lblTel, QPalette::Window, QColor(255, 192, 192));
  lblTel->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblTel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lblTel->setWordWrap(true);

  fraOptions = form::create<QGroupBox>(this, "fraOptions");

  txtNo = form::create<NumberBox>(this, "txtNo");
  txtNo->setFont(form::mingFont(15.75));
  form::setColour(txtNo, QPalette::Base, QColor(255, 255, 192));
  txtNo->setMaxLength(rules::kNumberLength);
  txtNo->setToolTip(text(words::kNumberTip));
  // A screen reader names each control from the window's own texts; its tooltip describes it.
  txtNo->setAccessibleName(text(words::kNumberName));

  const QCursor pointer(QPixmap(pictures::kPointer.normal), 0, 0);
  const auto largeButton = [this, &pointer](const char* name, const QString& caption,
                                            const QString& tip, bool enabled) {
    auto* button = form::create<QPushButton>(this, name);
    button->setText(caption);
    button->setToolTip(tip);
    button->setEnabled(enabled);
    button->setCursor(pointer);
    return button;
  };
  cmdProduce = largeButton("cmdProduce", text(words::kProduce),
                           text(words::kProduceTip), true);
  cmdCheck = largeButton("cmdCheck", text(words::kCheck),
                         text(words::kCheckTip), false);
  cmdClear = largeButton("cmdClear", kClearCaption, text(words::kClearTip), false);

  optBoy = form::create<QRadioButton>(this, "optBoy");
  optBoy->setText(text(words::kMale));
  optBoy->setChecked(true);
  optGirl = form::create<QRadioButton>(this, "optGirl");
  optGirl->setText(text(words::kFemale));

  cboPlace = form::create<QComboBox>(this, "cboPlace");
  for (int index = 0; index < rules::kPlaceRowCount; ++index) {
    cboPlace->addItem(text(rules::PlaceByIndex(index)->name));
  }
  cboPlace->setCurrentIndex(-1);  // nothing chosen until Form_Load chooses item 0
  cboPlace->setToolTip(text(words::kPlaceTip));
  nameForScreenReaders(cboPlace, text(words::kPlaceName));

  cboHowmuch = form::create<QComboBox>(this, "cboHowmuch");
  cboHowmuch->setFont(form::mingFont(9.75));
  for (const int size : words::kBatchSizes) cboHowmuch->addItem(QString::number(size));
  cboHowmuch->setCurrentIndex(-1);
  cboHowmuch->setToolTip(text(words::kHowmuchTip));
  nameForScreenReaders(cboHowmuch, text(words::kHowmuchName));

  lstNo = form::create<NumberList>(this, "lstNo");
  lstNo->setFont(form::mingFont(12));
  form::setColour(lstNo, QPalette::Base, Qt::black);
  form::setColour(lstNo, QPalette::Text, QColor(0, 255, 0));
  lstNo->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lstNo->setUniformItemSizes(true);
  lstNo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  new VisibleFocusStyle(lstNo);
  lstNo->setAccessibleName(text(words::kListName));

  const auto smallButton = [this](const char* name, const QString& caption, const QString& tip,
                                  bool enabled) {
    auto* button = form::create<QPushButton>(this, name);
    button->setText(caption);
    button->setToolTip(tip);
    button->setEnabled(enabled);
    button->setFont(form::mingFont(8.25));
    return button;
  };
  cmdCopy = smallButton("cmdCopy", text(words::kCopy),
                        text(words::kCopyTip), false);
  cmdSelectall = smallButton("cmdSelectall", text(words::kSelectall),
                             text(words::kSelectallTip), false);
  cmdAbout = smallButton("cmdAbout", text(words::kAbout), text(words::kAboutTip), true);

  lblZonenum = form::create<QLabel>(this, "lblZonenum");
  lblZonenum->setText(text(words::kWholeCountryPostal));
  form::setColour(lblZonenum, QPalette::WindowText, QColor(0, 0, 255));

  lstZonenum = form::create<QListWidget>(this, "lstZonenum");
  lstZonenum->setSelectionMode(QAbstractItemView::SingleSelection);
  lstZonenum->setUniformItemSizes(true);  // every entry is one line of eight characters
  lstZonenum->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  new NarrowItemStyle(lstZonenum);  // 無特定郵遞區號 is wider than the entries
  lstZonenum->setToolTip(text(words::kPostalTip));
  lstZonenum->setAccessibleName(lblZonenum->text());
  lstZonenum->setAccessibleDescription(lstZonenum->toolTip());  // list views take no tooltip

  lblAreacode = form::create<QLabel>(this, "lblAreacode");
  lblAreacode->setFrameStyle(QFrame::Box | QFrame::Plain);
  lblAreacode->setToolTip(text(words::kAreacodeTip));

  lblCode = form::create<QLabel>(this, "lblCode");

  imgPost = new form::PictureBox(this, "imgPost", pictures::kPostEmblem,
                                 form::PictureBox::Fit::NaturalSize);

  for (const form::TwipsRect& rect : kLayout) form::place(this, rect);
  fraOptions->lower();
  // Each text within its box, whatever Chinese face stands in for the window's own. The caption
  // panel and the labels that size themselves are fitted whenever their text changes.
  for (QWidget* control : std::initializer_list<QWidget*>{
           cmdProduce, cmdCheck, cmdCopy, cmdSelectall, cmdAbout, optBoy, optGirl, cboPlace,
           cboHowmuch}) {
    form::fitText(control);
  }
  setAutoSizedText(lblCode, text(words::kAreacodeLabel));
  form::fitText(cmdClear, {kClearCaption, kCutCaption});
  fitNumbers(txtNo);

  for (QWidget* control : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    form::setTag(control, QString());
  }

  // Enter presses the focused button, as on the desktop the program was made for; no button
  // is the window's default.
  for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(true);
}

void frmTwno::connectEvents() {
  // Each toolkit signal stands for one event of the window, mapped here once:
  // - a caption change is raised by the label itself, inside the assignment;
  // - "change" of txtNo fires for typed, pasted and code-set text alike, so textChanged;
  // - a place is "clicked" when the user picks one (activated, the same item again included)
  //   and when code selects one (selectPlace);
  // - a click in lstNo is a click on an item or a selection the user makes with the mouse or the
  //   keyboard, but not the handlers' own changes to the list; the current row alone moves on
  //   focus-in, which is no click;
  // - Ctrl+C in lstNo does what 複製 does, and Enter on a selected number what a double click does
  //   (eventFilter).
  connect(lblTel, &CaptionLabel::captionChanged, this, &frmTwno::lblTel_Change);
  txtNo->setKeyPressFilter([this](char16_t& code) { txtNo_KeyPress(code); });
  connect(txtNo, &QLineEdit::textChanged, this, &frmTwno::txtNo_Change);
  connect(cboPlace, &QComboBox::activated, this, &frmTwno::cboPlace_Click);
  connect(cmdAbout, &QPushButton::clicked, this, &frmTwno::cmdAbout_Click);
  connect(cmdProduce, &QPushButton::clicked, this, &frmTwno::cmdProduce_Click);
  connect(cmdCheck, &QPushButton::clicked, this, &frmTwno::cmdCheck_Click);
  connect(cmdClear, &QPushButton::clicked, this, &frmTwno::cmdClear_Click);
  connect(cmdCopy, &QPushButton::clicked, this, &frmTwno::cmdCopy_Click);
  connect(cmdSelectall, &QPushButton::clicked, this, &frmTwno::cmdSelectall_Click);
  const auto listClicked = [this] {
    if (!m_listChangedByCode) lstNo_Click();
  };
  connect(lstNo, &QListWidget::itemSelectionChanged, this, listClicked);
  connect(lstNo, &QListWidget::itemClicked, this, listClicked);
  lstNo->installEventFilter(this);
  connect(lstNo, &QListWidget::itemDoubleClicked, this, &frmTwno::lstNo_DblClick);

  // The two option buttons are one Tab stop, the chosen one; the other is reached with the
  // arrow keys or the mouse.
  const auto chosenTakesTab = [this] {
    optBoy->setFocusPolicy(optBoy->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    optGirl->setFocusPolicy(optGirl->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
  };
  connect(optBoy, &QRadioButton::toggled, this, chosenTakesTab);
  chosenTakesTab();
}

void frmTwno::setTabOrder() {
  const QWidget* const order[] = {txtNo,        cmdProduce, cmdCheck,   cmdClear, optBoy,
                                  optGirl,      cboPlace,   cboHowmuch, lstNo,    cmdCopy,
                                  cmdSelectall, cmdAbout,   lstZonenum};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
    QWidget::setTabOrder(const_cast<QWidget*>(order[i]), const_cast<QWidget*>(order[i + 1]));
  }
}

bool frmTwno::eventFilter(QObject* watched, QEvent* event) {
  if (watched != lstNo || event->type() != QEvent::KeyPress) {
    return QWidget::eventFilter(watched, event);
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  // The list's own copy would take the current item alone, without its line end.
  if (key->matches(QKeySequence::Copy)) {
    cmdCopy_Click();
    return true;
  }
  const QListWidgetItem* current = lstNo->currentItem();
  if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
      key->modifiers() == Qt::NoModifier && current && current->isSelected()) {
    lstNo_DblClick();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

void frmTwno::selectPlace(int index) {
  cboPlace->setCurrentIndex(index);
  cboPlace_Click();
}

bool frmTwno::placeIsUnspecified() const {
  return cboPlace->currentText() == cboPlace->itemText(0);
}

void frmTwno::setCaption(const QString& text) { lblTel->setCaption(text); }

void frmTwno::setClearMode() {
  cmdClear->setText(kClearCaption);
  cmdClear->setToolTip(text(words::kClearTip));
}

void frmTwno::setCutMode() {
  cmdClear->setText(kCutCaption);
  cmdClear->setToolTip(text(words::kCutTip));
}

// A list view's description is not its tooltip, so the two are set together.
void frmTwno::setNumberListTip(const QString& text) {
  lstNo->setToolTip(text);
  lstNo->setAccessibleDescription(text);
}

// The heading names the postal list to a screen reader too.
void frmTwno::setZonenumHeading(const QString& text) {
  setAutoSizedText(lblZonenum, text);
  lstZonenum->setAccessibleName(text);
}

// A label that sizes itself to its text may grow as far as the next control across and below.
void frmTwno::setAutoSizedText(QLabel* label, const QString& text) {
  label->setText(text);
  const QWidget* across = label == lblCode ? static_cast<QWidget*>(lblAreacode) : lstNo;
  const QWidget* below = label == lblZonenum ? static_cast<QWidget*>(lstZonenum) : lblZonenum;
  form::fitText(label, {}, QSize(across->x() - label->x(), below->y() - label->y()));
  label->resize(label->sizeHint());
}

void frmTwno::showFormError(const QString& prompt, int start, int length) {
  m_runtime.messageBox(this, prompt, kErrorTitle);
  txtNo->setFocus();
  txtNo->setSelection(start, length);
}

// Event handlers.

void frmTwno::Form_Load() {
  // Whether another copy runs was asked before the window was built (main.cpp): a second copy
  // ends without building one.
  selectPlace(cboPlace->findText(cboPlace->itemText(0)));
  cboHowmuch->setCurrentIndex(cboHowmuch->findText(cboHowmuch->itemText(0)));
  setCaption(text(screen::WelcomeCaption()));
  lblTel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  txtNo->setFocus();
}

void frmTwno::cmdAbout_Click() {
  if (!m_about) m_about = std::make_unique<frmAbout>(m_runtime);
  m_runtime.showModal(*m_about);
  if (m_about->isUnloaded()) m_about.reset();
  // The About window has no owner, so nothing else hands activation back to this window.
  activateWindow();
  txtNo->setFocus();
}

void frmTwno::cboPlace_Click() {
  if (cboPlace->currentIndex() == lastPlaceIndex &&
      (form::tag(lstZonenum) == QStringLiteral("dover") || lastPlaceIndex != 0)) {
    return;
  }
  const screen::Panel heading = screen::PanelOf(cboPlace->currentIndex(), false);
  setZonenumHeading(text(heading.heading));
  lblAreacode->setVisible(heading.showAreaCode);
  // Paint the new heading before the long fill below.
  if (heading.paintFirst) m_runtime.doEvents();

  // What ran during the yield may have chosen another place: the rest follows the choice now.
  const int index = cboPlace->currentIndex();
  const screen::Panel panel = screen::PanelOf(index);
  setAutoSizedText(lblAreacode, text(panel.areaCode));
  if (panel.refill) {
    QStringList entries;
    for (const std::string& line : panel.lines) entries.append(text(line));
    lstZonenum->clear();
    lstZonenum->addItems(entries);
    form::fitText(lstZonenum);
    // A list filled anew opens at its first entries, as a fresh one does.
    lstZonenum->scrollToTop();
    if (index == 0) form::setTag(lstZonenum, QStringLiteral("dover"));
  }
  lastPlaceIndex = static_cast<std::int16_t>(cboPlace->currentIndex());
}

void frmTwno::lblTel_Change() {
  if (form::tag(lblTel) != kUnchange) lblTel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void frmTwno::cmdProduce_Click() {
  m_listChangedByCode = true;
  lstNo->clear();
  const int sizeIndex = cboHowmuch->currentIndex();
  if (sizeIndex >= 0 && sizeIndex < static_cast<int>(std::size(words::kBatchSizes))) {
    Howmuch = static_cast<std::int16_t>(words::kBatchSizes[sizeIndex]);
  }
  const int count = Howmuch;
  for (int n = 1; n <= count; ++n) {
    int letterValue = 0;
    int sex = 0;
    const bool drawn = placeIsUnspecified();
    if (drawn) {
      form::setTag(cmdProduce, kRando);
      m_runtime.randomize(m_runtime.timer());
      letterValue = rules::kFirstLetterValue + static_cast<int>(std::floor(26 * m_runtime.rnd()));
      sex = 1 + static_cast<int>(std::floor(2 * m_runtime.rnd()));
    } else {
      form::setTag(cmdProduce, QStringLiteral("UnRando"));
      sex = optBoy->isChecked() ? 1 : 2;
      letterValue = cboPlace->currentIndex() + rules::kPlaceIndexOffset;
    }
    setNumberListTip(text(screen::ListTip(drawn)));

    // The seven serial digits, each drawn from a generator seeded afresh.
    std::uint32_t serial = 0;
    for (int position = 3; position <= 9; ++position) {
      m_runtime.randomize(m_runtime.timer());
      serial = serial * 10 + static_cast<std::uint32_t>(std::floor(10 * m_runtime.rnd()));
    }
    std::string number(rules::kNumberLength, '\0');
    const rules::Place& place = *rules::PlaceByLetterValue(letterValue);
    rules::ComposeId(rules::MakePrefix(place, static_cast<char>('0' + sex)), serial, number.data());

    setCaption(text(screen::ProducedCaption(Howmuch, placeIsUnspecified(), number)));
    lstNo->addItem(text(number));
  }
  m_listChangedByCode = false;
  // Any number fits across the list, beside the scroll bar once the list is full.
  fitNumbers(lstNo);
  lstNo->scrollToTop();
  cmdSelectall->setEnabled(true);
}

void frmTwno::cmdCheck_Click() {
  const screen::CheckOutcome outcome =
      screen::Check(toView(txtNo->text()), rules::KindBit(rules::IdKind::National));
  if (!outcome.box.empty()) {
    showFormError(text(outcome.box), outcome.select.start, outcome.select.length);
    return;
  }
  setCaption(text(outcome.caption));
  txtNo->setFocus();
  if (!outcome.valid) {
    txtNo->setSelection(outcome.select.start, outcome.select.length);
    if (outcome.beep) m_runtime.beep();
    return;
  }
  m_runtime.sendHomeKey();
  m_runtime.doEvents();
  setCutMode();
  cmdClear->setFocus();
}

void frmTwno::txtNo_KeyPress(char16_t& keyAscii) { keyAscii = rules::UpperCased(keyAscii); }

void frmTwno::txtNo_Change() {
  setClearMode();
  const screen::BoxState box = screen::AfterEdit(static_cast<std::size_t>(txtNo->text().size()));
  cmdClear->setEnabled(box.clearEnabled);
  cmdCheck->setEnabled(box.checkEnabled);
  if (box.checkTakesFocus && form::tag(lstNo) != kUnsetfocus) cmdCheck->setFocus();
}

void frmTwno::cmdClear_Click() {
  if (cmdClear->text() == kCutCaption) {
    txtNo->setFocus();
    txtNo->setSelection(0, static_cast<int>(txtNo->text().size()));
    m_runtime.setClipboardText(txtNo->selectedText());
    txtNo->insert(QString());
    setCaption(text(screen::ClearedCaption(true)));
    setClearMode();
    cmdCheck->setEnabled(false);
  } else {
    txtNo->setText(QString());
    setCaption(text(screen::ClearedCaption(false)));
    txtNo->setFocus();
    cmdCheck->setEnabled(false);
  }
  cmdClear->setEnabled(false);
}

void frmTwno::lstNo_Click() { cmdCopy->setEnabled(true); }

void frmTwno::cmdCopy_Click() {
  std::vector<std::string> selected;
  for (int row = 0; row < Howmuch; ++row) {
    const QListWidgetItem* item = lstNo->item(row);
    if (item && item->isSelected()) selected.push_back(item->text().toStdString());
  }
  if (selected.empty()) {
    // Copying nothing would wipe what the user had on the clipboard; say what is missing instead.
    setCaption(text(words::kNothingSelected));
    return;
  }
  m_runtime.setClipboardText(text(screen::ClipboardText(selected)));
  setCaption(text(words::kCopiedSelected));
}

void frmTwno::cmdSelectall_Click() {
  std::vector<std::string> all;
  m_listChangedByCode = true;
  for (int row = 0; row < Howmuch; ++row) {
    QListWidgetItem* item = lstNo->item(row);
    if (!item) continue;
    item->setSelected(true);
    all.push_back(item->text().toStdString());
  }
  m_listChangedByCode = false;
  m_runtime.setClipboardText(text(screen::ClipboardText(all)));
  setCaption(text(words::kCopiedAll));
}

void frmTwno::lstNo_DblClick() {
  const QListWidgetItem* current = lstNo->currentItem();
  if (form::tag(cmdProduce) != kRando || !current) return;

  form::setTag(lstNo, kUnsetfocus);
  txtNo->setFocus();
  txtNo->setText(QString());
  txtNo->setText(current->text());
  form::setTag(lstNo, QString());
  cmdClear->setEnabled(true);

  form::setTag(lblTel, kUnchange);
  lblTel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  setCaption(text(screen::Decoded(txtNo->text().toStdString())));
  form::setTag(lblTel, QString());

  setCutMode();
  cmdClear->setFocus();
}
