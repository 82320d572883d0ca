// The About window: name, purpose and date of the program, and the author's mail link.
#pragma once

#include <QDialog>

class Runtime;

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  explicit frmAbout(Runtime& runtime, QWidget* parent = nullptr);

  // True once the title-bar close has unloaded the window; the next opening builds it anew.
  bool isUnloaded() const { return m_unloaded; }

 private:
  Runtime& m_runtime;
  bool m_unloaded = false;
};
