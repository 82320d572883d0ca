// The About window.
#include "about_window/frm_about.h"

#include "runtime/runtime.h"

frmAbout::frmAbout(Runtime& runtime, QWidget* parent) : QDialog(parent), m_runtime(runtime) {
  setObjectName(QStringLiteral("frmAbout"));
  setWindowTitle(QStringLiteral("關於作者"));
}
