// Taloma's entry point: the main window is the start-up object.
#include <QApplication>

#include "main_window/frm_twno.h"
#include "resources/version.h"
#include "runtime/form_support.h"
#include "runtime/qt_runtime.h"
#include "runtime/start_up.h"

int main(int argc, char* argv[]) {
  start_up::beginQuietly();
  QApplication app(argc, argv);
  start_up::started();
  QApplication::setApplicationName(QString::fromLatin1(version::kProductName));
  QApplication::setApplicationVersion(QString::fromLatin1(version::kVersion));
  QApplication::setDesktopFileName(QStringLiteral("taloma"));
  QApplication::setWindowIcon(form::programIcon());
  form::speakChinese();

  QtRuntime runtime;
  // A second copy ends here, silently, before it builds a window.
  if (runtime.previousInstance()) return 0;
  frmTwno window(runtime);
  window.showCentred();
  return QApplication::exec();
}
