// Checking a typed, pasted or dropped number; the buttons while typing; clearing and cutting.
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QtTest>

#include "window_harness.h"

namespace {

const QString kLetterPrompt = QStringLiteral("身分證第一碼應為大寫英文字母!!");
const QString kSexPrompt = QStringLiteral("身分證第二碼男性應為１、女性應為２!!");
const QString kDigitPrompt = QStringLiteral("身分證第三碼到第十碼應為數字０～９!!");
const QString kTaipeiMale = QStringLiteral("這是正確的男性身分證字號戶籍地在台北市");

enum class Entry { Typed, Pasted, ContextMenuPaste, Dropped };

// Enters `text` over the whole box the way a user would.
void enter(const WindowHarness& h, const QString& text, Entry entry) {
  QLineEdit* box = h.txtNo();
  box->setFocus();
  box->selectAll();
  QGuiApplication::clipboard()->setText(text);
  if (entry == Entry::Typed) {
    QTest::keyClicks(box, text);
  } else if (entry == Entry::Pasted) {
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
  } else if (entry == Entry::ContextMenuPaste) {
    QContextMenuEvent click(QContextMenuEvent::Mouse, {5, 5}, box->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(box, &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu);
    // The menu speaks Chinese, as the window does.
    for (QAction* action : menu->actions()) {
      if (action->text().startsWith(QStringLiteral("貼上"))) action->trigger();
    }
    menu->close();
  } else {
    box->clear();
    QMimeData data;
    data.setText(text);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    // Qt delivers a drop only inside a drag it runs itself, so it goes to the box directly.
    static_cast<QObject*>(box)->event(&drop);
  }
}

}  // namespace

class NumberCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void verdicts_data();
  void verdicts();
  void buttonsFollowTheLength();
  void cutMovesTheNumberToTheClipboard();
  void anyEditAfterAValidCheckBringsBackClearMode();
  void clearEmptiesTheBox();
  void pasteInsertsOnceAtTheCursor();
  void junkInputGetsAVerdict();
};

void NumberCheckTest::verdicts_data() {
  QTest::addColumn<QString>("input");
  QTest::addColumn<Entry>("entry");
  QTest::addColumn<QString>("shown");    // what txtNo holds once entered
  QTest::addColumn<QString>("prompt");   // of the message box; empty for none
  QTest::addColumn<QString>("caption");  // of lblTel afterwards; empty for the welcome text
  QTest::addColumn<int>("selStart");     // in UTF-16 units
  QTest::addColumn<int>("selLength");
  const QString grin = QString::fromUcs4(U"\U0001F600");
  const auto valid = [](const char* name, const QString& in, Entry entry, const QString& shown,
                        const QString& caption) {
    QTest::newRow(name) << in << entry << shown << QString() << caption << 0 << 0;
  };
  const auto faulty = [](const char* name, const QString& in, Entry entry, const QString& prompt,
                         int start, int length, const QString& shown = {}) {
    QTest::newRow(name) << in << entry << (shown.isEmpty() ? in : shown) << prompt << QString()
                        << start << length;
  };
  valid("valid", "A123456789", Entry::Typed, "A123456789", kTaipeiMale);
  valid("typed lower case is upper-cased", "a123456789", Entry::Typed, "A123456789", kTaipeiMale);
  QTest::newRow("should end in 9") << "A123456788" << Entry::Typed << "A123456788"
                                   << ""
                                   << "最後一碼檢測碼應為9" << 9 << 1;
  faulty("pasted lower case keeps its case", "a123456789", Entry::Pasted, kLetterPrompt, 0, 1);
  faulty("bad sex before bad digits", "A3XXXXXXXX", Entry::Typed, kSexPrompt, 1, 1);
  faulty("letter in serial", "A1234567X9", Entry::Typed, kDigitPrompt, 2, 8);
  // A character outside the Basic Multilingual Plane is selected whole.
  faulty("emoji first", grin + "12345678", Entry::Pasted, kLetterPrompt, 0, 2);
  faulty("emoji second", "A" + grin + "1234567", Entry::Pasted, kSexPrompt, 1, 2);
  faulty("emoji last, kept whole", "A1234567" + grin, Entry::Pasted, kDigitPrompt, 2, 8);
  // Pasted and dropped text loses what nobody sees, and is then checked as written.
  valid("right-to-left override", "A1234\u202E56789", Entry::Pasted, "A123456789", kTaipeiMale);
  faulty("spreadsheet cell keeps its case", "\ta123456789\r\n", Entry::ContextMenuPaste,
         kLetterPrompt, 0, 1, "a123456789");
  valid("byte-order mark and zero-width space", "\uFEFFA12\u200B3456789", Entry::Dropped,
        "A123456789", kTaipeiMale);
  valid("NUL, soft hyphen and separators",
        QStringLiteral("A1\u00AD234\u20285678\u20299") + QChar(0), Entry::Pasted, "A123456789",
        kTaipeiMale);
}

void NumberCheckTest::verdicts() {
  QFETCH(QString, input);
  QFETCH(Entry, entry);
  QFETCH(QString, shown);
  QFETCH(QString, prompt);
  QFETCH(QString, caption);
  QFETCH(int, selStart);
  QFETCH(int, selLength);
  WindowHarness h;
  const QString welcome = h.lblTel()->text();
  enter(h, input, entry);
  QCOMPARE(h.txtNo()->text(), shown);
  QCOMPARE(h.focus(), h.button("cmdCheck"));  // the tenth character hands over to the check
  QTest::keyClick(h.focus(), Qt::Key_Space);

  QCOMPARE(h.runtime.boxes.size(), prompt.isEmpty() ? 0 : 1);
  if (!prompt.isEmpty()) {
    QCOMPARE(h.runtime.boxes[0].prompt, prompt);
    QCOMPARE(h.runtime.boxes[0].title, QStringLiteral("<錯誤>"));
  }
  QCOMPARE(h.lblTel()->text(), caption.isEmpty() ? welcome : caption);
  if (!caption.isEmpty()) QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
  const bool valid = caption.startsWith(QStringLiteral("這是正確的"));
  QCOMPARE(h.runtime.beeps, caption.startsWith(QStringLiteral("最後一碼")) ? 1 : 0);
  QCOMPARE(h.focus()->objectName(), valid ? "cmdClear" : "txtNo");
  QCOMPARE(h.txtNo()->selectionStart(), valid ? -1 : selStart);
  QCOMPARE(h.txtNo()->selectedText().size(), selLength);
  if (valid) QCOMPARE(h.txtNo()->cursorPosition(), 0);  // the simulated Home key was handled
  QCOMPARE(h.runtime.homeKeys, valid ? 1 : 0);
  QCOMPARE(h.button("cmdClear")->text(),
           valid ? QStringLiteral("剪下號碼") : QStringLiteral("清除號碼"));
  QCOMPARE(h.button("cmdClear")->toolTip(),
           valid ? QStringLiteral("剪下身分證字號至剪貼簿") : QStringLiteral("清除所輸入的字"));
}

void NumberCheckTest::buttonsFollowTheLength() {
  WindowHarness h;
  QPushButton* check = h.button("cmdCheck");
  QPushButton* clear = h.button("cmdClear");
  QTest::keyClicks(h.txtNo(), "A12345678");
  QVERIFY(!check->isEnabled() && clear->isEnabled());
  QCOMPARE(h.focus(), h.txtNo());
  QTest::keyClicks(h.txtNo(), "9");
  QVERIFY(check->isEnabled() && clear->isEnabled());
  QCOMPARE(h.focus(), check);
  h.txtNo()->setFocus();
  h.txtNo()->end(false);
  QTest::keyClicks(h.txtNo(), "0");  // typing stops at ten characters
  QCOMPARE(h.txtNo()->text(), QStringLiteral("A123456789"));
  QTest::keyClick(h.txtNo(), Qt::Key_Backspace);
  QVERIFY(!check->isEnabled() && clear->isEnabled());
  h.txtNo()->selectAll();
  QTest::keyClick(h.txtNo(), Qt::Key_Delete);
  QVERIFY(!check->isEnabled() && !clear->isEnabled());
}

void NumberCheckTest::cutMovesTheNumberToTheClipboard() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A123456789");
  QTest::keyClick(h.focus(), Qt::Key_Space);
  h.click("cmdCheck");  // checking again keeps cut mode
  QCOMPARE(h.focus(), h.button("cmdClear"));
  QTest::keyClick(h.focus(), Qt::Key_Return);  // Enter presses the focused button
  QCOMPARE(h.runtime.clipboard, QStringList{"A123456789"});
  QCOMPARE(h.txtNo()->text(), QString());
  QVERIFY(!h.button("cmdCheck")->isEnabled());
  QVERIFY(!h.button("cmdClear")->isEnabled());
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
  QCOMPARE(h.button("cmdClear")->toolTip(), QStringLiteral("清除所輸入的字"));
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已經成功的將身分證字號移到剪貼簿中!!"));
  QCOMPARE(h.focus(), h.txtNo());
}

void NumberCheckTest::anyEditAfterAValidCheckBringsBackClearMode() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A123456789");
  h.click("cmdCheck");
  h.txtNo()->setFocus();
  QTest::keyClick(h.txtNo(), Qt::Key_End);
  QTest::keyClick(h.txtNo(), Qt::Key_Backspace);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
  h.click("cmdClear");
  QVERIFY(h.runtime.clipboard.isEmpty());
  QCOMPARE(h.lblTel()->text(), QStringLiteral("資料已清除!!"));
}

void NumberCheckTest::clearEmptiesTheBox() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A1234");
  h.click("cmdClear");
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.lblTel()->text(), QStringLiteral("資料已清除!!"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
  QVERIFY(!h.button("cmdClear")->isEnabled());
  QVERIFY(!h.button("cmdCheck")->isEnabled());
  QCOMPARE(h.focus(), h.txtNo());
}

void NumberCheckTest::pasteInsertsOnceAtTheCursor() {
  // Pasted between X and Y: in once, without half a surrogate pair, the cursor just after it.
  const QString halfEmoji = QStringLiteral("1") + QChar(0xD83D) + u'2';
  for (const QString& pasted : {QStringLiteral("A1"), halfEmoji}) {
    WindowHarness h;
    QTest::keyClicks(h.txtNo(), "XY");
    h.txtNo()->setCursorPosition(1);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(h.txtNo(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(h.txtNo()->text(), u'X' + QString(pasted).remove(QChar(0xD83D)) + u'Y');
    QCOMPARE(h.txtNo()->cursorPosition(), 3);
  }
}

void NumberCheckTest::junkInputGetsAVerdict() {
  // Random pastes of every kind of character, half of them near-numbers so that every rule gets
  // its turn: each ten-character text gets exactly one verdict, nothing breaks, and a paste cut
  // at ten characters never keeps half of a surrogate pair.
  const QList<QPair<char32_t, char32_t>> ranges = {
      {0x20, 0x7E},     {0x00, 0x1F},       {0x300, 0x36F},   {0x202A, 0x202E}, {0xFF01, 0xFF5E},
      {0x4E00, 0x9FFF}, {0x1F300, 0x1FAFF}, {0xD800, 0xDFFF}, {0xFFFD, 0xFFFF}};
  QRandomGenerator random(20260606);
  const auto junk = [&]() -> QString {
    const auto& [low, high] = ranges[random.bounded(static_cast<int>(ranges.size()))];
    const char32_t c = low + random.bounded(static_cast<quint32>(high - low + 1));
    return c >= 0xD800 && c <= 0xDFFF ? QString(QChar(char16_t(c))) : QString::fromUcs4(&c, 1);
  };
  WindowHarness h;
  QStringList seen;
  connect(h.txtNo(), &QLineEdit::textChanged, [&seen](const QString& text) { seen << text; });
  for (int round = 0; round < 3000; ++round) {
    QString pasted = QStringLiteral("%1%2%3")
                         .arg(QChar(u'A' + random.bounded(26)))
                         .arg(1 + random.bounded(2))
                         .arg(random.bounded(100000000), 8, 10, QChar(u'0'));
    for (int m = random.bounded(3); m > 0; --m) pasted.replace(random.bounded(10), 1, junk());
    if (random.bounded(2) == 0) pasted = junk().repeated(random.bounded(14));
    const qsizetype boxes = h.runtime.boxes.size();
    h.lblTel()->clear();
    enter(h, pasted, Entry::Pasted);
    const QString text = h.txtNo()->text();
    QVERIFY(text.size() <= 10);
    QCOMPARE(h.button("cmdCheck")->isEnabled(), text.size() == 10);
    if (text.size() != 10) continue;
    h.click("cmdCheck");
    QVERIFY2((h.runtime.boxes.size() - boxes) + !h.lblTel()->text().isEmpty() == 1,
             qPrintable(QString::fromLatin1(pasted.toUtf8().toHex())));
  }
  for (const QString& text : seen) QVERIFY2(text.isValidUtf16(), qPrintable(text));
}

QTEST_MAIN(NumberCheckTest)
#include "test_number_check.moc"
