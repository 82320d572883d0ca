// Producing batches, selecting and copying numbers, and decoding a double-clicked number.
#include <QtTest>
#include <array>
#include <cmath>

#include "rules/id_number.h"
#include "rules/place_table.h"
#include "window_harness.h"

namespace {

// The draw that makes floor(n × r) come out as `k`.
double drawFor(int k, int n) { return (k + 0.5) / n; }

// Scripts one number of a random-place batch: letter value, sex digit, seven serial digits.
void scriptNumber(FakeRuntime& runtime, int letterValue, int sex,
                  const std::array<int, 7>& serial) {
  runtime.scriptDraws({drawFor(letterValue - 10, 26), drawFor(sex - 1, 2)});
  for (const int digit : serial) runtime.scriptDraws({drawFor(digit, 10)});
}

QStringList items(const QListWidget* list) {
  QStringList texts;
  for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
  return texts;
}

bool isValid(const QString& number) { return verdictOf(number).isValid(); }

// The real generator, with the clock frozen: the harshest case, since the handler re-seeds with
// the same value before every serial digit.
class FrozenClockRuntime : public FakeRuntime {
 public:
  void randomize(float seed) override { QtRuntime::randomize(seed); }
  double rnd() override { return QtRuntime::rnd(); }
};

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
  void randomBatchOfOneNamesItsPlace();
  void randomBatchOfSeveral();
  void everyPlaceAndSex();
  void aNewBatchReplacesTheOld();
  void realGeneratorIsUniformAndValid();
  void copySelectedInListOrder();
  void keyboardSelectionEnablesCopy();
  void ctrlCInTheListCopiesLikeTheButton();
  void copyAll();
  void copyWithNothingSelectedKeepsTheClipboard();
  void doubleClickDecodes_data();
  void doubleClickDecodes();
  void doubleClickIgnoresParticularPlaceBatches();
  void doubleClickBesideTheItemsDoesNothing();
  void typingAfterDecodingEndsCutMode();
};

void NumberListTest::scriptedDrawsGiveExactNumbers_data() {
  QTest::addColumn<int>("letterValue");
  QTest::addColumn<int>("sex");
  QTest::addColumn<QList<int>>("serial");
  QTest::addColumn<QString>("number");
  QTest::newRow("A123456789") << 10 << 1 << QList<int>{2, 3, 4, 5, 6, 7, 8} << "A123456789";
  QTest::newRow("sum multiple of ten ends in 0")
      << 10 << 1 << QList<int>{0, 0, 0, 0, 0, 0, 1} << "A100000010";
  QTest::newRow("female B") << 11 << 2 << QList<int>{0, 0, 0, 0, 0, 0, 0} << "B200000004";
  QTest::newRow("letter O") << 35 << 2 << QList<int>{0, 0, 0, 0, 0, 0, 0} << "O200000006";
}

void NumberListTest::scriptedDrawsGiveExactNumbers() {
  QFETCH(int, letterValue);
  QFETCH(int, sex);
  QFETCH(QList<int>, serial);
  QFETCH(QString, number);
  WindowHarness h;
  std::array<int, 7> digits{};
  std::copy(serial.begin(), serial.end(), digits.begin());
  scriptNumber(h.runtime, letterValue, sex, digits);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  QCOMPARE(items(h.list("lstNo")), QStringList{number});
  // Randomize before the place draws and before every serial digit, never restarting.
  QCOMPARE(h.runtime.seeds.size(), 8);
  QCOMPARE(h.runtime.draws, 9);
}

void NumberListTest::randomBatchOfOneNamesItsPlace() {
  WindowHarness h;
  scriptNumber(h.runtime, 34, 2, {1, 2, 3, 4, 5, 6, 7});
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  QCOMPARE(h.list("lstNo")->item(0)->text().left(2), QStringLiteral("I2"));
  QCOMPARE(h.lblTel()->text(), QStringLiteral("產生了1組戶籍地在\r\n嘉義市的女性身分證字號!!"));
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
  scriptNumber(h.runtime, 10, 1, {0, 0, 0, 0, 0, 0, 0});
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  const QStringList numbers = items(h.list("lstNo"));
  QCOMPARE(numbers.size(), 5);
  QVERIFY(numbers[0].startsWith(QStringLiteral("A1")));
  for (const QString& number : numbers) QVERIFY2(isValid(number), qPrintable(number));
  QCOMPARE(h.lblTel()->text(), QStringLiteral("產生了5組戶籍地在\r\nＸＸＸ的Ｘ性身分證字號!!"));
}

void NumberListTest::everyPlaceAndSex() {
  WindowHarness h;
  h.pick("cboHowmuch", 2);
  for (int index = 1; index < rules::kPlaceCount; ++index) {
    const rules::Place* place = rules::PlaceByIndex(index);
    h.pick("cboPlace", index);
    for (const bool boy : {true, false}) {
      h.control<QRadioButton>(boy ? "optBoy" : "optGirl")->click();
      QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
      const QString prefix = QString(QChar(place->letter)) + (boy ? "1" : "2");
      const QStringList numbers = items(h.list("lstNo"));
      QCOMPARE(numbers.size(), 10);
      for (const QString& number : numbers) {
        QVERIFY2(number.startsWith(prefix) && isValid(number), qPrintable(number));
      }
      QCOMPARE(h.lblTel()->text(), QStringLiteral("產生了10組戶籍地在\r\n") +
                                       h.combo("cboPlace")->itemText(index) + QStringLiteral("的") +
                                       (boy ? QStringLiteral("男性") : QStringLiteral("女性")) +
                                       QStringLiteral("身分證字號!!"));
      QCOMPARE(h.tag("cmdProduce"), QStringLiteral("UnRando"));
      QCOMPARE(h.list("lstNo")->toolTip(), QString());
    }
  }
}

void NumberListTest::aNewBatchReplacesTheOld() {
  WindowHarness h;
  h.pick("cboHowmuch", 5);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  QCOMPARE(h.list("lstNo")->count(), 100);
  h.pick("cboHowmuch", 0);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  QCOMPARE(h.list("lstNo")->count(), 1);
  QVERIFY(h.list("lstNo")->selectedItems().isEmpty());
}

void NumberListTest::realGeneratorIsUniformAndValid() {
  FrozenClockRuntime runtime;
  frmTwno window(runtime);
  window.findChild<QComboBox*>("cboHowmuch")->setCurrentIndex(5);
  auto* produce = window.findChild<QPushButton*>("cmdProduce");
  auto* list = window.findChild<QListWidget*>("lstNo");

  QList<int> letters(26, 0);
  QList<int> sexes(2, 0);
  QList<int> digits(10, 0);
  int sevenAlike = 0;
  for (int batch = 0; batch < 100; ++batch) {
    produce->click();
    for (const QString& number : items(list)) {
      QVERIFY2(isValid(number), qPrintable(number));
      ++letters[number.at(0).unicode() - u'A'];
      ++sexes[number.at(1).unicode() - u'1'];
      for (int i = 2; i < 9; ++i) ++digits[number.at(i).unicode() - u'0'];
      if (number.mid(2, 7) == QString(7, number.at(2))) ++sevenAlike;
    }
  }
  // Bounds far out in the tails (p < 1e-9 for a sound generator), yet a stuck or repeating
  // generator lands hundreds of times past them.
  QVERIFY2(chiSquare(letters) < 100, qPrintable(QString::number(chiSquare(letters))));
  QVERIFY2(chiSquare(sexes) < 40, qPrintable(QString::number(chiSquare(sexes))));
  QVERIFY2(chiSquare(digits) < 60, qPrintable(QString::number(chiSquare(digits))));
  QVERIFY2(sevenAlike <= 3, qPrintable(QString::number(sevenAlike)));
}

void NumberListTest::copySelectedInListOrder() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  const QStringList numbers = items(h.list("lstNo"));
  h.clickNumber(2);
  h.clickNumber(0, Qt::ControlModifier);
  h.clickNumber(1, Qt::ControlModifier);
  QVERIFY(h.button("cmdCopy")->isEnabled());
  QTest::mouseClick(h.button("cmdCopy"), Qt::LeftButton);
  QCOMPARE(h.runtime.clipboard, numbers[0] + "\r\n" + numbers[1] + "\r\n" + numbers[2] + "\r\n");
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已成功的將所選取的身分證字號複製到剪貼簿中!!"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);

  h.clickNumber(1);
  h.clickNumber(3, Qt::ShiftModifier);  // a run from the last click
  QTest::mouseClick(h.button("cmdCopy"), Qt::LeftButton);
  QCOMPARE(h.runtime.clipboard, QStringList(numbers.mid(1, 3)).join("\r\n") + "\r\n");
}

void NumberListTest::keyboardSelectionEnablesCopy() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  QVERIFY(!h.button("cmdCopy")->isEnabled());
  // Tabbing in gives the list a current row, which is no selection and no click.
  h.combo("cboHowmuch")->setFocus();
  QTest::keyClick(h.focus(), Qt::Key_Tab);
  QCOMPARE(h.focus(), h.list("lstNo"));
  QVERIFY(!h.button("cmdCopy")->isEnabled());
  QTest::keyClick(h.list("lstNo"), Qt::Key_Down);
  QVERIFY(h.button("cmdCopy")->isEnabled());
  QTest::keyClick(h.button("cmdCopy"), Qt::Key_Space);
  QCOMPARE(h.runtime.clipboardSets.size(), 1);
  QVERIFY(h.runtime.clipboard.endsWith("\r\n"));
}

void NumberListTest::ctrlCInTheListCopiesLikeTheButton() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  const QStringList numbers = items(h.list("lstNo"));
  h.clickNumber(3);
  h.clickNumber(1, Qt::ControlModifier);
  QTest::keyClick(h.list("lstNo"), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(h.runtime.clipboardSets, QStringList{numbers[1] + "\r\n" + numbers[3] + "\r\n"});
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已成功的將所選取的身分證字號複製到剪貼簿中!!"));

  h.clickNumber(1, Qt::ControlModifier);
  h.clickNumber(3, Qt::ControlModifier);
  QTest::keyClick(h.list("lstNo"), Qt::Key_C, Qt::ControlModifier);
  QCOMPARE(h.runtime.clipboardSets.size(), 1);
  QCOMPARE(h.lblTel()->text(), QStringLiteral("請先選取要複製的身分證字號"));
}

void NumberListTest::copyAll() {
  WindowHarness h;
  h.pick("cboHowmuch", 1);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  const QStringList numbers = items(h.list("lstNo"));
  QTest::mouseClick(h.button("cmdSelectall"), Qt::LeftButton);
  QCOMPARE(h.runtime.clipboard, numbers.join("\r\n") + "\r\n");
  QCOMPARE(h.list("lstNo")->selectedItems().size(), 5);
  QCOMPARE(h.lblTel()->text(), QStringLiteral("已成功的將全部的身分證字號複製到剪貼簿中!!"));
  QVERIFY(!h.button("cmdCopy")->isEnabled());

  // Once enabled, copying the selection gives the same text, since everything is selected.
  h.clickNumber(0, Qt::ControlModifier);
  h.clickNumber(0, Qt::ControlModifier);
  QTest::mouseClick(h.button("cmdCopy"), Qt::LeftButton);
  QCOMPARE(h.runtime.clipboard, numbers.join("\r\n") + "\r\n");
}

void NumberListTest::copyWithNothingSelectedKeepsTheClipboard() {
  WindowHarness h;
  h.runtime.clipboard = QStringLiteral("earlier text");
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  h.clickNumber(0);
  h.clickNumber(0, Qt::ControlModifier);  // deselects the only selected item
  QVERIFY(h.list("lstNo")->selectedItems().isEmpty());
  QTest::mouseClick(h.button("cmdCopy"), Qt::LeftButton);
  QVERIFY(h.runtime.clipboardSets.isEmpty());
  QCOMPARE(h.runtime.clipboard, QStringLiteral("earlier text"));
  QCOMPARE(h.lblTel()->text(), QStringLiteral("請先選取要複製的身分證字號"));
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
  QCOMPARE(h.runtime.beeps, 0);
  QVERIFY(h.runtime.messageBoxes.isEmpty());
}

void NumberListTest::doubleClickDecodes_data() {
  QTest::addColumn<int>("letterValue");
  QTest::addColumn<int>("sex");
  QTest::addColumn<QString>("caption");
  const auto row = [](const char* name, int value, int sex, const char* place) {
    QTest::newRow(name) << value << sex
                        << QStringLiteral("這是一位戶籍地在\r\n「") + QString::fromUtf8(place) +
                               QStringLiteral("」") +
                               (sex == 1 ? QStringLiteral("的「先生」")
                                         : QStringLiteral("的「小姐」"));
  };
  row("A1", 10, 1, "台北市");
  row("I", 34, 1, "嘉義市");
  row("O", 35, 1, "新竹市");
  row("W", 32, 1, "金門縣");
  row("Z", 33, 1, "連江縣");
  row("Y", 31, 1, "陽明山");
  row("second digit 2", 10, 2, "台北市");
}

void NumberListTest::doubleClickDecodes() {
  QFETCH(int, letterValue);
  QFETCH(int, sex);
  QFETCH(QString, caption);
  WindowHarness h;
  scriptNumber(h.runtime, letterValue, sex, {1, 2, 3, 4, 5, 6, 7});
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  const QString number = h.list("lstNo")->item(0)->text();
  h.doubleClickNumber(0);

  QCOMPARE(h.txtNo()->text(), number);
  QCOMPARE(h.lblTel()->text(), caption);
  QVERIFY(h.lblTel()->alignment() & Qt::AlignHCenter);
  QCOMPARE(h.tag("lblTel"), QString());
  QCOMPARE(h.tag("lstNo"), QString());
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("剪下號碼"));
  QCOMPARE(h.button("cmdClear")->toolTip(), QStringLiteral("剪下身分證字號至剪貼簿"));
  QVERIFY(h.button("cmdClear")->isEnabled());
  QVERIFY(h.button("cmdCheck")->isEnabled());
  QCOMPARE(h.focus(), h.button("cmdClear"));

  // The next message of any other handler is left-aligned again.
  QTest::keyClick(h.focus(), Qt::Key_Space);
  QCOMPARE(h.runtime.clipboard, number);
  QVERIFY(h.lblTel()->alignment() & Qt::AlignLeft);
}

void NumberListTest::doubleClickIgnoresParticularPlaceBatches() {
  WindowHarness h;
  h.pick("cboPlace", 1);
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  const QString caption = h.lblTel()->text();
  h.doubleClickNumber(0);
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.lblTel()->text(), caption);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
}

void NumberListTest::doubleClickBesideTheItemsDoesNothing() {
  WindowHarness h;
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  QListWidget* list = h.list("lstNo");
  const QString caption = h.lblTel()->text();
  const QPoint below(5, list->viewport()->height() - 5);
  QVERIFY(!list->itemAt(below));
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, below);
  QCOMPARE(h.txtNo()->text(), QString());
  QCOMPARE(h.lblTel()->text(), caption);
}

void NumberListTest::typingAfterDecodingEndsCutMode() {
  WindowHarness h;
  QTest::mouseClick(h.button("cmdProduce"), Qt::LeftButton);
  h.doubleClickNumber(0);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("剪下號碼"));
  h.txtNo()->setFocus();
  QTest::keyClick(h.txtNo(), Qt::Key_Backspace);
  QCOMPARE(h.button("cmdClear")->text(), QStringLiteral("清除號碼"));
  QTest::mouseClick(h.button("cmdClear"), Qt::LeftButton);
  QVERIFY(h.runtime.clipboardSets.isEmpty());
  QCOMPARE(h.txtNo()->text(), QString());
}

QTEST_MAIN(NumberListTest)
#include "test_number_list.moc"
