// Producing batches, selecting and copying numbers, and decoding a double-clicked number.
#include <QClipboard>
#include <QtTest>
#include <cmath>

#include "rules/id_number.h"
#include "rules/place_list.h"
#include "window_harness.h"

namespace {

// The draws that make one number of a random-place batch: the letter value, the sex digit, then
// the seven serial digits (floor(n × r) comes out as k for r = (k + 0.5) / n).
QList<double> drawsFor(int letterValue, int sex, const QString& serial) {
  QList<double> draws{(letterValue - 10 + 0.5) / 26, (sex - 1 + 0.5) / 2};
  for (const QChar digit : serial) draws << (digit.digitValue() + 0.5) / 10;
  return draws;
}

bool isValid(const QString& number) {
  return rules::VerifyNum({reinterpret_cast<const char16_t*>(number.utf16()),
                           static_cast<std::size_t>(number.size())})
      .isValid();
}

double chiSquare(const QList<int>& counts) {
  double total = 0;
  for (const int c : counts) total += c;
  const double expected = total / static_cast<double>(counts.size());
  double sum = 0;
  for (const int c : counts) sum += (c - expected) * (c - expected) / expected;
  return sum;
}

}  // namespace

class NumberListTest : public QObject {
  Q_OBJECT

 private slots:
  void scriptedDrawsGiveExactNumbers_data();
  void scriptedDrawsGiveExactNumbers();
  void randomBatchOfSeveral();
  void everyPlaceAndSex();
  void realGeneratorIsUniformAndValid();
  void copySelectedInListOrder();
  void keyboardSelectionEnablesCopy();
  void copyAll();
  void doubleClickDecodes_data();
  void doubleClickDecodes();
  void doubleClickDoesNothingWithoutARandomNumber();
};

void NumberListTest::scriptedDrawsGiveExactNumbers_data() {
  QTest::addColumn<QList<double>>("draws");
  QTest::addColumn<QString>("number");
  QTest::addColumn<QString>("caption");
  const QString first = QStringLiteral("產生了1組戶籍地在\r\n");
  QTest::newRow("A123456789") << drawsFor(10, 1, "2345678") << "A123456789"
                              << first + "台北市的男性身分證字號!!";
  QTest::newRow("sum a multiple of ten ends in 0")
      << drawsFor(10, 1, "0000001") << "A100000010" << first + "台北市的男性身分證字號!!";
  QTest::newRow("I, value 34") << drawsFor(34, 2, "1234567") << "I212345671"
                               << first + "嘉義市的女性身分證字號!!";
  QTest::newRow("O, value 35") << drawsFor(35, 2, "0000000") << "O200000006"
                               << first + "新竹市的女性身分證字號!!";
  QTest::newRow("Z, value 33") << drawsFor(33, 1, "0000000") << "Z100000002"
                               << first + "連江縣的男性身分證字號!!";
}

void NumberListTest::scriptedDrawsGiveExactNumbers() {
  QFETCH(QList<double>, draws);
  QFETCH(QString, number);
  QFETCH(QString, caption);
  WindowHarness h;
  h.runtime.draws = draws;
  h.click("cmdProduce");
  QCOMPARE(h.numbers(), QStringList{number});
  QVERIFY(h.runtime.draws.isEmpty());
  QCOMPARE(h.runtime.seeds, 8);  // before the place draws and before every serial digit
  QCOMPARE(h.lblTel()->text(), caption);
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
  QCOMPARE(h.tag("cmdProduce"), QStringLiteral("Rando"));
  QCOMPARE(h.list("lstNo")->toolTip(), QStringLiteral("按兩下可得知此號碼的資訊"));
  QVERIFY(h.button("cmdSelectall")->isEnabled());
  QVERIFY(!h.button("cmdCopy")->isEnabled());  // only a click in the list enables copying
}

void NumberListTest::randomBatchOfSeveral() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  h.control<QRadioButton>("optGirl")->click();  // ignored when no place is chosen
  h.runtime.draws = drawsFor(10, 1, "0000000");
  h.click("cmdProduce");
  const QStringList numbers = h.numbers();
  QCOMPARE(numbers.size(), 5);
  QCOMPARE(numbers[0], QStringLiteral("A100000001"));
  for (const QString& number : numbers) QVERIFY2(isValid(number), qPrintable(number));
  QCOMPARE(h.lblTel()->text(), QStringLiteral("產生了5組戶籍地在\r\nＸＸＸ的Ｘ性身分證字號!!"));
  // A new batch replaces the old one.
  h.pick("cboHowmuch", 0);
  h.click("cmdProduce");
  QCOMPARE(h.list("lstNo")->count(), 1);
}

void NumberListTest::everyPlaceAndSex() {
  WindowHarness h;
  h.pick("cboHowmuch", 5);
  for (int index = 1; index < rules::kPlaceRowCount; ++index) {
    h.pick("cboPlace", index);
    for (const bool boy : {true, false}) {
      h.control<QRadioButton>(boy ? "optBoy" : "optGirl")->click();
      h.click("cmdProduce");
      const QString prefix =
          QChar(rules::PlaceByIndex(index)->place->letter) + QString(boy ? "1" : "2");
      const QStringList numbers = h.numbers();
      QCOMPARE(numbers.size(), 100);
      for (const QString& number : numbers) {
        QVERIFY2(number.startsWith(prefix) && isValid(number), qPrintable(number));
      }
      QCOMPARE(h.lblTel()->text(), QStringLiteral("產生了100組戶籍地在\r\n%1的%2身分證字號!!")
                                       .arg(h.control<QComboBox>("cboPlace")->itemText(index),
                                            boy ? QStringLiteral("男性") : QStringLiteral("女性")));
      QCOMPARE(h.tag("cmdProduce"), QStringLiteral("UnRando"));
      QCOMPARE(h.list("lstNo")->toolTip(), QString());
    }
  }
}

void NumberListTest::realGeneratorIsUniformAndValid() {
  // The real generator with the clock frozen: the handler re-seeds with the same value before
  // every serial digit, and the draws must stay uniform and independent all the same.
  WindowHarness h(false);
  h.control<QComboBox>("cboHowmuch")->setCurrentIndex(5);
  QList<int> letters(26, 0);
  QList<int> sexes(2, 0);
  QList<int> digits(10, 0);
  int sevenAlike = 0;
  for (int batch = 0; batch < 100; ++batch) {
    h.button("cmdProduce")->click();
    for (const QString& number : h.numbers()) {
      QVERIFY2(isValid(number), qPrintable(number));
      ++letters[number.at(0).unicode() - u'A'];
      ++sexes[number.at(1).unicode() - u'1'];
      for (int i = 2; i < 9; ++i) ++digits[number.at(i).digitValue()];
      if (number.mid(2, 7) == QString(7, number.at(2))) ++sevenAlike;
    }
  }
  // Bounds far out in the tails (p < 1e-9 for a sound generator), yet a stuck or repeating
  // generator lands hundreds of times past them.
  QVERIFY2(chiSquare(letters) < 100, qPrintable(QString::number(chiSquare(letters))));
  QVERIFY2(chiSquare(sexes) < 40, qPrintable(QString::number(chiSquare(sexes))));
  QVERIFY2(chiSquare(digits) < 60, qPrintable(QString::number(chiSquare(digits))));
  QVERIFY(sevenAlike <= 3);
}

void NumberListTest::copySelectedInListOrder() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  h.click("cmdProduce");
  const QStringList numbers = h.numbers();
  h.clickNumber(2);
  h.clickNumber(0, Qt::ControlModifier);
  h.clickNumber(1, Qt::ControlModifier);
  h.click("cmdCopy");
  QCOMPARE(h.runtime.clipboard.last(), numbers.mid(0, 3).join("\r\n") + "\r\n");
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已成功的將所選取的身分證字號複製到剪貼簿中!!"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);

  h.clickNumber(1);
  h.clickNumber(3, Qt::ShiftModifier);  // a run from the last click; Ctrl+C copies like 複製
  QTest::keyClick(h.list("lstNo"), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(h.runtime.clipboard.last(), numbers.mid(1, 3).join("\r\n") + "\r\n");
  QVERIFY(QGuiApplication::clipboard()->text().isEmpty());  // the list's own copy did not run

  // With nothing selected the user's clipboard is kept, and the message says what is missing.
  for (const int row : {1, 2, 3}) h.clickNumber(row, Qt::ControlModifier);
  h.click("cmdCopy");
  QTest::keyClick(h.list("lstNo"), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(h.runtime.clipboard.size(), 2);
  QCOMPARE(h.lblTel()->text(), QStringLiteral("請先選取要複製的身分證字號"));
}

void NumberListTest::keyboardSelectionEnablesCopy() {
  WindowHarness h;
  h.click("cmdProduce");
  // Tabbing in gives the list a current row, which is no selection and no click.
  h.control("cboHowmuch")->setFocus();
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(h.focus(), h.list("lstNo"));
  QVERIFY(!h.button("cmdCopy")->isEnabled());
  QTest::keyClick(h.focus(), Qt::Key_Space);
  QVERIFY(h.button("cmdCopy")->isEnabled());
}

void NumberListTest::copyAll() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  h.click("cmdProduce");
  const QStringList numbers = h.numbers();
  h.click("cmdSelectall");
  QCOMPARE(h.runtime.clipboard, QStringList{numbers.join("\r\n") + "\r\n"});
  QCOMPARE(h.list("lstNo")->selectedItems().size(), 5);
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已成功的將全部的身分證字號複製到剪貼簿中!!"));
  QVERIFY(!h.button("cmdCopy")->isEnabled());  // selecting from code is no click; a user's is
  h.clickNumber(0);
  QVERIFY(h.button("cmdCopy")->isEnabled());
}

void NumberListTest::doubleClickDecodes_data() {
  QTest::addColumn<int>("letterValue");
  QTest::addColumn<int>("sex");
  QTest::addColumn<QString>("place");
  QTest::addColumn<bool>("byEnter");  // selected, then Enter instead of the double click
  QTest::newRow("A, a man") << 10 << 1 << "台北市" << false;
  QTest::newRow("Y, a woman, by Enter") << 31 << 2 << "陽明山" << true;
}

void NumberListTest::doubleClickDecodes() {
  QFETCH(int, letterValue);
  QFETCH(int, sex);
  QFETCH(QString, place);
  QFETCH(bool, byEnter);
  WindowHarness h;
  h.runtime.draws = drawsFor(letterValue, sex, "1234567");
  h.click("cmdProduce");
  const QString number = h.numbers().first();
  h.clickNumber(0, {}, !byEnter);
  if (byEnter) QTest::keyClick(h.list("lstNo"), Qt::Key_Return);

  QCOMPARE(h.txtNo()->text(), number);
  QCOMPARE(h.lblTel()->text(),
           QStringLiteral("這是一位戶籍地在\r\n「%1」的「%2」")
               .arg(place, sex == 1 ? QStringLiteral("先生") : QStringLiteral("小姐")));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignHCenter);
  QCOMPARE(h.tag("lblTel"), QString());
  QCOMPARE(h.tag("lstNo"), QString());
  QCOMPARE(h.focus(), h.button("cmdClear"));
  // 剪下號碼 moves the number, and its message is left-aligned again.
  QTest::keyClick(h.focus(), Qt::Key_Space);
  QCOMPARE(h.runtime.clipboard, QStringList{number});
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
}

void NumberListTest::doubleClickDoesNothingWithoutARandomNumber() {
  WindowHarness h;
  h.click("cmdProduce");
  // Beside the items there is no number to decode.
  QListWidget* list = h.list("lstNo");
  const QString caption = h.lblTel()->text();
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, QPoint(5, list->height() - 10));
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.lblTel()->text(), caption);
  // Nor is there with the number unselected, when Enter is pressed.
  h.clickNumber(0);
  h.clickNumber(0, Qt::ControlModifier);
  QTest::keyClick(h.list("lstNo"), Qt::Key_Return);
  QCOMPARE(h.txtNo()->text(), QString());
  // A batch for a particular place turns decoding off.
  h.pick("cboPlace", 1);
  h.click("cmdProduce");
  h.clickNumber(0, {}, true);
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.lblTel()->text().left(3), QStringLiteral("產生了"));
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
}

QTEST_MAIN(NumberListTest)
#include "test_number_list.moc"
