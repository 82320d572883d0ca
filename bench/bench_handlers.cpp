// Time of the two heavy handlers of the main window, driven from outside on the offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "main_window/frm_twno.h"
#include "runtime/form_support.h"
#include "runtime/qt_runtime.h"

namespace {

template <typename T>
T* control(QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("no control named %s", name);
  return found;
}

// Choosing 不指定 again after another place refills the postal list with all 369 entries; the
// choice of the other place and the repaint after each fill stay outside the timing.
void fillAllPostalEntries(benchmark::State& state, QWidget& window) {
  auto* place = control<QComboBox>(window, "cboPlace");
  auto* postal = control<QListWidget>(window, "lstZonenum");
  for (auto _ : state) {
    state.PauseTiming();
    QTest::keyClick(place, Qt::Key_Down);  // 台北市
    QCoreApplication::processEvents();
    state.ResumeTiming();
    QTest::keyClick(place, Qt::Key_Home);  // 不指定
  }
  if (place->currentIndex() != 0 || postal->count() != 369) {
    state.SkipWithError("the keys did not bring back the whole postal list");
  }
}

// A batch of 100 numbers with no particular place, as the count list's last item asks for.
void produceBatchOf100(benchmark::State& state, QWidget& window) {
  auto* place = control<QComboBox>(window, "cboPlace");
  auto* howmuch = control<QComboBox>(window, "cboHowmuch");
  auto* produce = control<QPushButton>(window, "cmdProduce");
  auto* numbers = control<QListWidget>(window, "lstNo");
  QTest::keyClick(place, Qt::Key_Home);
  QTest::keyClick(howmuch, Qt::Key_End);
  for (auto _ : state) {
    produce->click();
    state.PauseTiming();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  if (numbers->count() != 100) state.SkipWithError("the batch did not hold 100 numbers");
}

}  // namespace

int main(int argc, char* argv[]) {
  // A runtime folder of its own, so a Taloma the user has open does not hold the single-copy lock.
  QTemporaryDir runtimeFolder;
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeFolder.path()));
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");

  QApplication app(argc, argv);
  QtRuntime runtime;
  frmTwno window(runtime);
  window.showCentred();
  if (!QTest::qWaitForWindowExposed(&window)) qFatal("the main window was never exposed");

  benchmark::RegisterBenchmark(
      "cboPlace_Click/all 369 entries",
      [&window](benchmark::State& state) { fillAllPostalEntries(state, window); })
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  benchmark::RegisterBenchmark(
      "cmdProduce_Click/batch of 100",
      [&window](benchmark::State& state) { produceBatchOf100(state, window); })
      ->Unit(benchmark::kMicrosecond)
      ->UseRealTime();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
