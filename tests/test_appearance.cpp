// What the user sees: the windows pixel for pixel against their reference pictures, and which
// drawing of a picture a screen of each density shows.
#include <QtTest>
#include <cmath>

#include "about_window/frm_about.h"
#include "resources/pictures.h"
#include "runtime/text_fit.h"
#include "window_harness.h"

class AppearanceTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QApplication::setCursorFlashTime(0);
  }  // a steady caret, not a blinking one
  void windowsLookAsDrawn_data();
  void windowsLookAsDrawn();
  void picturesAreDrawnForTheScreensDensity_data();
  void picturesAreDrawnForTheScreensDensity();
  void windowsSayWhatIsWritten();
  void numberListFocusIsVisible();
  void textsFitTheirControls();
};

void AppearanceTest::windowsLookAsDrawn_data() {
  QTest::addColumn<QString>("state");
  QTest::newRow("main window at start-up") << "start-up";
  QTest::newRow("a number produced for 陽明山") << "produced";
  QTest::newRow("About window") << "about";
}

// Compares each state with tests/reference/<state>.png; TALOMA_UPDATE_REFERENCES=1 writes them anew
// after a change meant to show, for a person to look at before committing.
void AppearanceTest::windowsLookAsDrawn() {
  QFETCH(QString, state);
  if (frmAbout::contactAddress() != QStringLiteral("taloma@example.org") && state == "about") {
    QSKIP("the reference shows the default contact address");
  }
  WindowHarness h;
  frmAbout about(h.runtime);
  if (state == "produced") {
    h.pick("cboPlace", 22);
    QTest::mouseClick(h.control("optGirl"), Qt::LeftButton);
    for (const int digit : {3, 1, 4, 1, 5, 9, 2}) h.runtime.draws << (digit + 0.5) / 10;
    h.click("cmdProduce");
  }
  const QImage shot = (state == "about" ? static_cast<QWidget&>(about) : *h.window)
                          .grab()
                          .toImage()
                          .convertToFormat(QImage::Format_RGB32);
  const QString reference = QStringLiteral(TALOMA_REFERENCE_DIR "/%1.png").arg(state);
  if (qEnvironmentVariableIsSet("TALOMA_UPDATE_REFERENCES")) shot.save(reference);
  if (shot != QImage(reference).convertToFormat(QImage::Format_RGB32)) {
    const QString seen = QDir::current().filePath(state + QStringLiteral("-seen.png"));
    shot.save(seen);
    QFAIL(qPrintable(QStringLiteral("%1 differs from %2").arg(seen, reference)));
  }
}

void AppearanceTest::picturesAreDrawnForTheScreensDensity_data() {
  QTest::addColumn<QString>("control");
  QTest::addColumn<qreal>("density");
  QTest::newRow("postal emblem") << "imgPost" << 1.0;
  QTest::newRow("postal emblem at 2x") << "imgPost" << 2.0;
  QTest::newRow("About picture") << "imgPic" << 1.0;
  QTest::newRow("About picture at 2x") << "imgPic" << 2.0;
}

void AppearanceTest::picturesAreDrawnForTheScreensDensity() {
  QFETCH(QString, control);
  QFETCH(qreal, density);
  WindowHarness h(false);
  frmAbout about(h.runtime);
  QWidget* shown = h.window->findChild<QWidget*>(control);
  if (!shown) shown = about.findChild<QWidget*>(control);
  const pictures::Picture& picture =
      control == "imgPost" ? pictures::kPostEmblem : pictures::kAboutPicture;
  QImage drawing(density > 1 ? picture.dense : picture.normal);
  drawing.setDevicePixelRatio(density);
  // What a screen of that density shows, pixel for pixel.
  QImage screen(shown->size() * density, QImage::Format_ARGB32);
  screen.setDevicePixelRatio(density);
  screen.fill(Qt::transparent);
  shown->render(&screen, {}, {}, QWidget::DrawChildren);
  QCOMPARE(screen, drawing.convertToFormat(QImage::Format_ARGB32));
}

// Each window's name, title and size limits, then each control's tooltip, pointer and list, against
// tests/reference/texts.txt (rewritten like the pictures).
void AppearanceTest::windowsSayWhatIsWritten() {
  WindowHarness h;
  frmAbout about(h.runtime);
  QStringList lines;
  for (QWidget* window : {static_cast<QWidget*>(h.window.get()), static_cast<QWidget*>(&about)}) {
    QDebug(&lines.emplaceBack()) << window->objectName() << window->windowTitle()
                                 << window->minimumSize() << window->maximumSize();
    for (const QWidget* control : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      QDebug line(&lines.emplaceBack());
      line << control->objectName() << control->toolTip() << control->cursor().shape()
           << control->cursor().hotSpot();
      const auto* list = qobject_cast<const QComboBox*>(control);
      for (int i = 0; list && i < list->count(); ++i) line << list->itemText(i);
    }
  }
  QFile reference(QStringLiteral(TALOMA_REFERENCE_DIR "/texts.txt"));
  if (qEnvironmentVariableIsSet("TALOMA_UPDATE_REFERENCES") &&
      reference.open(QIODevice::WriteOnly)) {
    reference.write(lines.join(u'\n').toUtf8() + '\n');
    reference.close();
  }
  QVERIFY(reference.open(QIODevice::ReadOnly));
  QCOMPARE(lines, QString::fromUtf8(reference.readAll()).split(u'\n', Qt::SkipEmptyParts));
}

// The keyboard focus in the green-on-black number list stands out at least 3:1 from the item
// under it, selected or not, and from the empty list.
void AppearanceTest::numberListFocusIsVisible() {
  const auto luminance = [](QRgb rgb) {
    const auto channel = [](int c) {
      const double v = c / 255.0;
      return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
  };
  WindowHarness h;
  // Empty: the mark shows while the list has the focus, and goes with it.
  QListWidget* empty = h.list("lstNo");
  const auto topLineContrast = [&] {
    const QImage shot = empty->viewport()->grab().toImage();
    const double under = luminance(shot.pixel(shot.width() / 2, 4));
    double best = 1;
    for (int x = 0; x < shot.width(); ++x) {
      const double mark = luminance(shot.pixel(x, 0));
      best = qMax(best, (qMax(mark, under) + 0.05) / (qMin(mark, under) + 0.05));
    }
    return best;
  };
  h.control("cboHowmuch")->setFocus();
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(h.focus(), empty);
  QVERIFY(topLineContrast() >= 3);
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(topLineContrast(), 1.0);
  h.pick("cboHowmuch", 1);
  h.click("cmdProduce");
  QListWidget* list = h.list("lstNo");
  list->setFocus();
  for (const bool selected : {false, true}) {
    list->selectionModel()->setCurrentIndex(
        list->model()->index(1, 0),
        selected ? QItemSelectionModel::ClearAndSelect : QItemSelectionModel::Clear);
    const QImage shot = list->viewport()->grab().toImage();
    const QRect item = list->visualItemRect(list->item(1));
    const double under = luminance(shot.pixel(item.center().x(), item.top() + 2));
    double best = 1;
    for (int x = item.left(); x <= item.right(); ++x) {
      const double frame = luminance(shot.pixel(x, item.top()));
      best = qMax(best, (qMax(frame, under) + 0.05) / (qMin(frame, under) + 0.05));
    }
    QVERIFY2(best >= 3, qPrintable(QStringLiteral("contrast %1").arg(best)));
  }
}

// Every text of both windows, in the states that show the longest ones, within its control: no
// wider (to its glyphs' ink for a label, its advance for a text box or list) and no taller (its
// lines) than the room the control's style gives it, and no self-sizing label over its neighbour.
// CTest runs this once more with fontconfig shown Noto CJK alone (TALOMA_EXPECTED_FACE).
void AppearanceTest::textsFitTheirControls() {
  WindowHarness h;
  frmAbout about(h.runtime);
  const QString face = qEnvironmentVariable("TALOMA_EXPECTED_FACE");
  if (!face.isEmpty()) QCOMPARE(QFontInfo(h.window->font()).family(), face);
  QStringList cut;
  const auto check = [&cut](const QWidget* window, const QString& state) {
    QApplication::processEvents();  // lists lay out their rows and scroll bars
    for (const QWidget* control : window->findChildren<QWidget*>()) {
      // A list's room is what its viewport has now, beside the scroll bar it shows or not.
      const auto* list = qobject_cast<const QListWidget*>(control);
      const int itemMargin =
          control->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, control) + 1;
      const QRect room = list ? list->viewport()->rect().adjusted(itemMargin, 0, -itemMargin, 0)
                              : form::textRoom(control);
      const auto* label = qobject_cast<const QLabel*>(control);
      const bool wraps = label && label->wordWrap();
      const QFontMetrics metrics(control->font());
      // Every entry of a list, whether or not it is on show.
      QStringList texts;
      if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        for (int i = 0; i < combo->count(); ++i) texts << combo->itemText(i);
      } else if (list) {
        for (const QListWidgetItem* item : list->findItems(QString(), Qt::MatchContains)) {
          texts << item->text();
        }
      } else {
        texts = form::shownTexts(control);
      }
      for (const QString& text : texts) {
        if (!control->isVisible() || text.isEmpty()) continue;
        const QRect laid = metrics.boundingRect(QRect(0, 0, room.width(), QWIDGETSIZE_MAX),
                                                wraps ? Qt::TextWordWrap : 0, text);
        int width = laid.width();
        if (label && !wraps) {
          width = 0;
          for (const QString& line : text.split(u'\n')) {
            width = std::max(width, metrics.boundingRect(line).right() + 1);
          }
        }
        if (width > room.width() || laid.height() > room.height()) {
          cut << QStringLiteral("%1, %2: \"%3\" takes %4x%5 of %6x%7")
                     .arg(state, control->objectName(), text)
                     .arg(width).arg(laid.height()).arg(room.width()).arg(room.height());
        }
      }
    }
    // A self-sizing label's text stops short of the control beside it or below it.
    for (const auto& [name, next, across] : {std::tuple{"lblCode", "lblAreacode", true},
                                             {"lblMail", "lblMail2", true},
                                             {"lblZonenum", "lstZonenum", false}}) {
      const auto* a = window->findChild<QLabel*>(QLatin1String(name));
      const auto* b = window->findChild<QWidget*>(QLatin1String(next));
      if (!a || !b || !a->isVisible()) continue;
      const QRect ink = QFontMetrics(a->font()).boundingRect(a->text());
      const QRect text = form::textRoom(a).translated(a->pos());
      if (across ? text.left() + ink.right() >= b->x() : text.top() + ink.height() > b->y()) {
        cut << QStringLiteral("%1: %2 runs into %3").arg(state, name, next);
      }
    }
  };
  check(h.window.get(), QStringLiteral("start-up"));
  about.show();
  check(&about, QStringLiteral("About"));
  about.hide();
  // A full list of a hundred, and the batch report of a hundred.
  h.pick("cboHowmuch", h.control<QComboBox>("cboHowmuch")->count() - 1);
  h.click("cmdProduce");
  check(h.window.get(), QStringLiteral("a hundred produced"));
  // A decoded number's two lines, the widest number a person might type, a verdict.
  h.clickNumber(0, {}, true);
  check(h.window.get(), QStringLiteral("decoded"));
  h.txtNo()->clear();
  QTest::keyClicks(h.txtNo(), QStringLiteral("WM88888888"));
  check(h.window.get(), QStringLiteral("typed"));
  // With the caret after the last digit, the first letter still starts the box: nothing scrolled.
  const QRect box = h.txtNo()->contentsRect();
  QCOMPARE(h.txtNo()->cursorPositionAt(QPoint(box.left() + 1, box.center().y())), 0);
  h.click("cmdCheck");
  check(h.window.get(), QStringLiteral("checked"));
  h.pick("cboPlace", 22);
  h.click("cmdProduce");
  check(h.window.get(), QStringLiteral("陽明山"));
  QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
}

QTEST_MAIN(AppearanceTest)
#include "test_appearance.moc"
