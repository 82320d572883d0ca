// Taloma's entry point: the main window is the start-up object.
#include <QApplication>
#include <cstdio>
#include <string>
#include <string_view>

#include "main_window/frm_twno.h"
#include "resources/version.h"
#include "runtime/form_support.h"
#include "runtime/platform.h"
#include "runtime/qt_runtime.h"
#include "runtime/start_up.h"

namespace {

// --help and --version are answered on the terminal, before any window system is asked for.
// Returns the exit status, or -1 when the window is to open.
int answerOnTerminal(int argc, char* argv[]) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    std::string answer;
    if (arg == "--version") {
      answer = std::string("taloma ") + version::kVersion + "\n";
    } else if (arg == "--help" || arg == "-h") {
      answer = std::string("Usage: taloma [--help | --version]\nTaloma v") +
               version::kShortVersion +
               " (身分證字號產生器) produces and checks Taiwanese identity-card numbers in a "
               "window.\nFor the command line, see taloma-id --help.\n";
    } else {
      continue;
    }
    return std::fputs(answer.c_str(), stdout) >= 0 && std::fflush(stdout) == 0 ? 0 : 1;
  }
  return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (const int status = answerOnTerminal(argc, argv); status >= 0) return status;
  start_up::beginQuietly();
  platform::FontsReadAhead fonts;
  QApplication app(argc, argv);
  start_up::started();
  QApplication::setApplicationName(QString::fromLatin1(version::kProductName));
  QApplication::setApplicationVersion(QString::fromLatin1(version::kVersion));
  QApplication::setDesktopFileName(QStringLiteral("taloma"));
  QApplication::setWindowIcon(form::programIcon());
  form::speakChinese();

  // A second copy ends here, silently, before it builds a window.
  if (platform::anotherCopyHoldsLock()) return 0;
  QtRuntime runtime;
  fonts.wait();
  frmTwno window(runtime);
  window.showCentred();
  return QApplication::exec();
}
