// Checking a typed or pasted number, the state of the buttons while typing, clearing and cutting.
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QRandomGenerator>
#include <QtTest>

#include "rules/id_number.h"
#include "window_harness.h"

namespace {

const QString kLetterPrompt = QStringLiteral("身分證第一碼應為大寫英文字母!!");
const QString kSexPrompt = QStringLiteral("身分證第二碼男性應為１、女性應為２!!");
const QString kDigitPrompt = QStringLiteral("身分證第三碼到第十碼應為數字０～９!!");
const QString kWelcome = QStringLiteral("歡迎使用Taloma v2.0\r\n身分證字號產生器");

enum class Entry { Typed, Pasted, ContextMenuPaste, Dropped };

void enter(const WindowHarness& h, const QString& text, Entry entry) {
  QLineEdit* box = h.txtNo();
  box->setFocus();
  box->selectAll();
  switch (entry) {
    case Entry::Typed: QTest::keyClicks(box, text); return;
    case Entry::Pasted:
      QGuiApplication::clipboard()->setText(text);
      QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
      return;
    case Entry::ContextMenuPaste: {
      QGuiApplication::clipboard()->setText(text);
      QContextMenuEvent click(QContextMenuEvent::Mouse, box->rect().center(),
                              box->mapToGlobal(box->rect().center()));
      QApplication::sendEvent(box, &click);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu);
      for (QAction* action : menu->actions()) {
        if (action->text().remove(QLatin1Char('&')).startsWith(QStringLiteral("Paste")))
          action->trigger();
      }
      menu->close();
      return;
    }
    case Entry::Dropped: {
      box->clear();
      QMimeData data;
      data.setText(text);
      QDropEvent drop(box->rect().center(), Qt::CopyAction, &data, Qt::LeftButton, {});
      // Qt delivers a drop only inside a drag it runs itself, so it goes to the box directly.
      static_cast<QObject*>(box)->event(&drop);
      return;
    }
  }
}

bool holdsLoneSurrogate(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
      ++i;
    } else if (text.at(i).isSurrogate()) {
      return true;
    }
  }
  return false;
}

}  // namespace

class NumberCheckTest : public QObject {
  Q_OBJECT

 private slots:
  void verdicts_data();
  void verdicts();
  void buttonsFollowTheLength();
  void typingStopsAtTenCharacters();
  void cutMovesTheNumberToTheClipboard();
  void anyEditAfterAValidCheckBringsBackClearMode();
  void checkingAgainKeepsCutMode();
  void clearEmptiesTheBox();
  void pasteCutAtTenKeepsCharactersWhole_data();
  void pasteCutAtTenKeepsCharactersWhole();
  void junkInputAgreesWithTheRules();
};

void NumberCheckTest::verdicts_data() {
  QTest::addColumn<QString>("input");
  QTest::addColumn<Entry>("entry");
  QTest::addColumn<QString>("shown");    // what txtNo holds once entered
  QTest::addColumn<QString>("prompt");   // message box prompt, empty for none
  QTest::addColumn<QString>("caption");  // lblTel afterwards
  QTest::addColumn<int>("selStart");
  QTest::addColumn<int>("selLength");
  QTest::addColumn<int>("beeps");
  QTest::addColumn<QString>("focus");

  const QString maleTaipei = QStringLiteral("這是正確的男性身分證字號戶籍地在台北市");
  QTest::newRow("valid") << "A123456789" << Entry::Typed << "A123456789"
                         << "" << maleTaipei << 0 << 0 << 0 << "cmdClear";
  QTest::newRow("typed lower case is upper-cased") << "a123456789" << Entry::Typed << "A123456789"
                                                   << "" << maleTaipei << 0 << 0 << 0 << "cmdClear";
  QTest::newRow("pasted lower case keeps its case")
      << "a123456789" << Entry::Pasted << "a123456789" << kLetterPrompt << kWelcome << 0 << 1 << 0
      << "txtNo";
  QTest::newRow("context-menu paste keeps its case")
      << "b200000004" << Entry::ContextMenuPaste << "b200000004" << kLetterPrompt << kWelcome << 0
      << 1 << 0 << "txtNo";
  QTest::newRow("valid female") << "B200000004" << Entry::Pasted << "B200000004"
                                << ""
                                << "這是正確的女性身分證字號戶籍地在台中市" << 0 << 0 << 0
                                << "cmdClear";
  QTest::newRow("check digit zero") << "A100000010" << Entry::Typed << "A100000010"
                                    << "" << maleTaipei << 0 << 0 << 0 << "cmdClear";
  QTest::newRow("letter O") << "O200000006" << Entry::Typed << "O200000006"
                            << ""
                            << "這是正確的女性身分證字號戶籍地在新竹市" << 0 << 0 << 0
                            << "cmdClear";
  QTest::newRow("should end in 0") << "A100000011" << Entry::Typed << "A100000011"
                                   << ""
                                   << "最後一碼檢測碼應為0" << 9 << 1 << 1 << "txtNo";
  QTest::newRow("should end in 9") << "A123456788" << Entry::Typed << "A123456788"
                                   << ""
                                   << "最後一碼檢測碼應為9" << 9 << 1 << 1 << "txtNo";
  QTest::newRow("bad sex") << "A323456789" << Entry::Typed << "A323456789" << kSexPrompt << kWelcome
                           << 1 << 1 << 0 << "txtNo";
  QTest::newRow("bad sex before bad digits") << "A3XXXXXXXX" << Entry::Typed << "A3XXXXXXXX"
                                             << kSexPrompt << kWelcome << 1 << 1 << 0 << "txtNo";
  QTest::newRow("letter in serial") << "A1234567X9" << Entry::Typed << "A1234567X9" << kDigitPrompt
                                    << kWelcome << 2 << 8 << 0 << "txtNo";
  QTest::newRow("letter last is no check-digit report")
      << "A12345678X" << Entry::Typed << "A12345678X" << kDigitPrompt << kWelcome << 2 << 8 << 0
      << "txtNo";
  QTest::newRow("full-width letter") << "Ａ123456789" << Entry::Pasted << "Ａ123456789"
                                     << kLetterPrompt << kWelcome << 0 << 1 << 0 << "txtNo";
  QTest::newRow("full-width digit") << "A12345678９" << Entry::Pasted << "A12345678９"
                                    << kDigitPrompt << kWelcome << 2 << 8 << 0 << "txtNo";
  QTest::newRow("CJK first") << "台123456789" << Entry::Pasted << "台123456789" << kLetterPrompt
                             << kWelcome << 0 << 1 << 0 << "txtNo";
  // Pasted and dropped text loses what nobody sees, and is then checked as written.
  QTest::newRow("right-to-left override") << "A1234\u202E56789" << Entry::Pasted << "A123456789"
                                          << "" << maleTaipei << 0 << 0 << 0 << "cmdClear";
  QTest::newRow("spreadsheet cell keeps its case")
      << "\ta123456789\r\n"
      << Entry::ContextMenuPaste << "a123456789" << kLetterPrompt << kWelcome << 0 << 1 << 0
      << "txtNo";
  QTest::newRow("byte-order mark and zero-width space")
      << "\uFEFFA12\u200B3456789" << Entry::Dropped << "A123456789"
      << "" << maleTaipei << 0 << 0 << 0 << "cmdClear";
  QTest::newRow("tab, NUL, soft hyphen and separators")
      << QStringLiteral("\tB2000\u00AD0000\u20284\u2029") + QChar(0) << Entry::Pasted
      << "B200000004"
      << ""
      << "這是正確的女性身分證字號戶籍地在台中市" << 0 << 0 << 0 << "cmdClear";
  // A character outside the Basic Multilingual Plane is selected whole.
  const QString grin = QString::fromUcs4(U"\U0001F600");
  QTest::newRow("emoji first") << grin + "12345678" << Entry::Pasted << grin + "12345678"
                               << kLetterPrompt << kWelcome << 0 << 2 << 0 << "txtNo";
  QTest::newRow("emoji second") << "A" + grin + "1234567" << Entry::Pasted << "A" + grin + "1234567"
                                << kSexPrompt << kWelcome << 1 << 2 << 0 << "txtNo";
}

void NumberCheckTest::verdicts() {
  QFETCH(QString, input);
  QFETCH(Entry, entry);
  QFETCH(QString, shown);
  QFETCH(QString, prompt);
  QFETCH(QString, caption);
  QFETCH(int, selStart);
  QFETCH(int, selLength);
  QFETCH(int, beeps);
  QFETCH(QString, focus);

  WindowHarness h;
  enter(h, input, entry);
  QCOMPARE(h.txtNo()->text(), shown);
  QCOMPARE(h.focus(), h.button("cmdCheck"));  // the tenth character hands over to the check
  QTest::keyClick(h.focus(), Qt::Key_Space);

  if (prompt.isEmpty()) {
    QVERIFY(h.runtime.messageBoxes.isEmpty());
  } else {
    QCOMPARE(h.runtime.messageBoxes.size(), 1);
    QCOMPARE(h.runtime.messageBoxes[0].prompt, prompt);
    QCOMPARE(h.runtime.messageBoxes[0].title, QStringLiteral("<錯誤>"));
  }
  QCOMPARE(h.lblTel()->text(), caption);
  if (caption != kWelcome) QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
  QCOMPARE(h.runtime.beeps, beeps);
  QCOMPARE(h.focus()->objectName(), focus);
  if (selLength > 0) {
    QCOMPARE(h.txtNo()->selectionStart(), selStart);
    QCOMPARE(h.txtNo()->selectedText().size(), selLength);
  } else {
    QVERIFY(!h.txtNo()->hasSelectedText());
    QCOMPARE(h.txtNo()->cursorPosition(), 0);  // the simulated Home key was handled
    QCOMPARE(h.runtime.homeKeys, 1);
  }
  const bool valid = caption.startsWith(QStringLiteral("這是正確的"));
  QCOMPARE(h.button("cmdClear")->text(),
           valid ? QStringLiteral("剪下號碼") : QStringLiteral("清除號碼"));
  QCOMPARE(h.button("cmdClear")->toolTip(),
           valid ? QStringLiteral("剪下身分證字號至剪貼簿") : QStringLiteral("清除所輸入的字"));
}

void NumberCheckTest::buttonsFollowTheLength() {
  WindowHarness h;
  QPushButton* check = h.button("cmdCheck");
  QPushButton* clear = h.button("cmdClear");
  QTest::keyClicks(h.txtNo(), "A");
  QVERIFY(!check->isEnabled() && clear->isEnabled());
  QTest::keyClicks(h.txtNo(), "12345678");
  QVERIFY(!check->isEnabled() && clear->isEnabled());
  QCOMPARE(h.focus(), h.txtNo());
  QTest::keyClicks(h.txtNo(), "9");
  QVERIFY(check->isEnabled() && clear->isEnabled());
  QCOMPARE(h.focus(), check);

  h.txtNo()->setFocus();
  QTest::keyClick(h.txtNo(), Qt::Key_Backspace);
  QVERIFY(!check->isEnabled() && clear->isEnabled());
  h.txtNo()->selectAll();
  QTest::keyClick(h.txtNo(), Qt::Key_Delete);
  QVERIFY(!check->isEnabled() && !clear->isEnabled());
}

void NumberCheckTest::typingStopsAtTenCharacters() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A123456789");
  h.txtNo()->setFocus();
  h.txtNo()->end(false);
  QTest::keyClicks(h.txtNo(), "0123");
  QCOMPARE(h.txtNo()->text(), QStringLiteral("A123456789"));
}

void NumberCheckTest::cutMovesTheNumberToTheClipboard() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A123456789");
  QTest::keyClick(h.focus(), Qt::Key_Space);
  QCOMPARE(h.focus(), h.button("cmdClear"));
  QTest::keyClick(h.focus(), Qt::Key_Return);  // Enter presses the focused button

  QCOMPARE(h.runtime.clipboardSets, QStringList{"A123456789"});
  QCOMPARE(h.txtNo()->text(), QString());
  QVERIFY(!h.button("cmdCheck")->isEnabled());
  QVERIFY(!h.button("cmdClear")->isEnabled());
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已經成功的將身分證字號移到剪貼簿中!!"));
  QCOMPARE(h.focus(), h.txtNo());
}

void NumberCheckTest::anyEditAfterAValidCheckBringsBackClearMode() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A123456789");
  QTest::keyClick(h.focus(), Qt::Key_Space);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("剪下號碼"));
  h.txtNo()->setFocus();
  h.txtNo()->end(false);
  QTest::keyClick(h.txtNo(), Qt::Key_Backspace);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
  QTest::mouseClick(h.button("cmdClear"), Qt::LeftButton);
  QVERIFY(h.runtime.clipboardSets.isEmpty());
  QCOMPARE(h.lblTel()->text(), QStringLiteral("資料已清除!!"));
}

void NumberCheckTest::checkingAgainKeepsCutMode() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A123456789");
  QTest::mouseClick(h.button("cmdCheck"), Qt::LeftButton);
  QTest::mouseClick(h.button("cmdCheck"), Qt::LeftButton);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("剪下號碼"));
  QCOMPARE(h.focus(), h.button("cmdClear"));
}

void NumberCheckTest::clearEmptiesTheBox() {
  WindowHarness h;
  QTest::keyClicks(h.txtNo(), "A1234");
  QTest::mouseClick(h.button("cmdClear"), Qt::LeftButton);
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.lblTel()->text(), QStringLiteral("資料已清除!!"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
  QVERIFY(!h.button("cmdClear")->isEnabled());
  QVERIFY(!h.button("cmdCheck")->isEnabled());
  QCOMPARE(h.focus(), h.txtNo());
  QCOMPARE(h.runtime.beeps, 0);
}

void NumberCheckTest::pasteCutAtTenKeepsCharactersWhole_data() {
  QTest::addColumn<QString>("before");
  QTest::addColumn<QString>("pasted");
  QTest::addColumn<QString>("after");
  const QString grin = QString::fromUcs4(U"\U0001F600");
  QTest::newRow("pair fits") << "A1234567" << grin << "A1234567" + grin;
  QTest::newRow("pair would be split") << "A12345678" << grin << "A12345678";
  QTest::newRow("split after a digit") << "A1234567"
                                       << "8" + grin + "9"
                                       << "A12345678";
  QTest::newRow("long paste of pairs") << "" << grin.repeated(8) << grin.repeated(5);
  QTest::newRow("odd start then pairs") << ""
                                        << "A" + grin.repeated(6) << "A" + grin.repeated(4);
}

void NumberCheckTest::pasteCutAtTenKeepsCharactersWhole() {
  QFETCH(QString, before);
  QFETCH(QString, pasted);
  QFETCH(QString, after);
  WindowHarness h;
  h.txtNo()->setText(before);
  h.txtNo()->setFocus();
  h.txtNo()->end(false);
  QStringList seen;
  connect(h.txtNo(), &QLineEdit::textChanged, [&seen](const QString& text) { seen << text; });
  QGuiApplication::clipboard()->setText(pasted);
  QTest::keyClick(h.txtNo(), Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(h.txtNo()->text(), after);
  for (const QString& text : seen) QVERIFY2(!holdsLoneSurrogate(text), qPrintable(text));
}

void NumberCheckTest::junkInputAgreesWithTheRules() {
  // Random pastes of every kind of character, biased towards near-numbers so that every rule
  // gets its turn; the window's verdict must be the rules' verdict, and nothing may break.
  const QList<QPair<char32_t, char32_t>> ranges = {
      {0x20, 0x7E},       {0x00, 0x1F},     {0x7F, 0x9F},     {0x300, 0x36F},   {0x200E, 0x200F},
      {0x202A, 0x202E},   {0xFF01, 0xFF5E}, {0x4E00, 0x9FFF}, {0x3000, 0x3000}, {0x1F300, 0x1FAFF},
      {0x20000, 0x2A6DF}, {0xD800, 0xDFFF}, {0xFFFD, 0xFFFF}};
  QRandomGenerator random(20260606);
  const auto junkCharacter = [&]() -> QString {
    const auto& [low, high] = ranges[random.bounded(static_cast<int>(ranges.size()))];
    const char32_t c = low + random.bounded(static_cast<quint32>(high - low + 1));
    if (c >= 0xD800 && c <= 0xDFFF) return QString(QChar(static_cast<char16_t>(c)));
    return QString::fromUcs4(&c, 1);
  };
  const auto sample = [&]() -> QString {
    QString text;
    if (random.bounded(2) == 0) {
      text = QStringLiteral("A123456789");
      text[0] = QChar(u'A' + random.bounded(26));
      text[1] = QChar(u'1' + random.bounded(2));
      for (int i = 2; i < 10; ++i) text[i] = QChar(u'0' + random.bounded(10));
      const int mutations = random.bounded(3);
      for (int m = 0; m < mutations; ++m) {
        const int at = random.bounded(10);
        text.replace(at, 1, junkCharacter());
      }
    } else {
      const int length = random.bounded(14);
      while (text.size() < length) text += junkCharacter();
    }
    return text;
  };

  WindowHarness h;
  QStringList seen;
  connect(h.txtNo(), &QLineEdit::textChanged, [&seen](const QString& text) { seen << text; });
  for (int round = 0; round < 3000; ++round) {
    const QString pasted = sample();
    h.runtime.messageBoxes.clear();
    const int beeps = h.runtime.beeps;
    h.lblTel()->clear();
    enter(h, pasted, Entry::Pasted);
    const QString text = h.txtNo()->text();
    QVERIFY(text.size() <= 10);
    QCOMPARE(h.button("cmdCheck")->isEnabled(), text.size() == 10);
    if (text.size() != 10) continue;

    QTest::mouseClick(h.button("cmdCheck"), Qt::LeftButton);
    const auto verdict = verdictOf(text);
    const QString context =
        QStringLiteral("pasted %1").arg(QString::fromLatin1(pasted.toUtf8().toHex()));
    const auto boxPrompt = [&] {
      return h.runtime.messageBoxes.isEmpty() ? QString() : h.runtime.messageBoxes[0].prompt;
    };
    switch (verdict.kind) {
      case rules::VerdictKind::BadLetter:
        QVERIFY2(boxPrompt() == kLetterPrompt, qPrintable(context));
        break;
      case rules::VerdictKind::BadSex:
        QVERIFY2(boxPrompt() == kSexPrompt, qPrintable(context));
        break;
      case rules::VerdictKind::BadDigit:
        QVERIFY2(boxPrompt() == kDigitPrompt, qPrintable(context));
        break;
      case rules::VerdictKind::BadCheck:
        QVERIFY2(h.runtime.messageBoxes.isEmpty(), qPrintable(context));
        QCOMPARE(h.lblTel()->text(), QStringLiteral("最後一碼檢測碼應為") +
                                         QString::number(verdict.expectedCheckDigit));
        QCOMPARE(h.runtime.beeps, beeps + 1);
        break;
      case rules::VerdictKind::ValidMale:
      case rules::VerdictKind::ValidFemale:
        QVERIFY2(h.runtime.messageBoxes.isEmpty(), qPrintable(context));
        QVERIFY(h.lblTel()->text().startsWith(verdict.kind == rules::VerdictKind::ValidMale
                                                  ? QStringLiteral("這是正確的男性")
                                                  : QStringLiteral("這是正確的女性")));
        break;
    }
  }
  for (const QString& text : seen) QVERIFY2(!holdsLoneSurrogate(text), qPrintable(text));
}

QTEST_MAIN(NumberCheckTest)
#include "test_number_check.moc"
