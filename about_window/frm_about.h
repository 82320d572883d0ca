// The About window: name, purpose and date of the program, and the author's mail link.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;
class Runtime;

class frmAbout : public QDialog {
  Q_OBJECT

 public:
  // Builds the window and runs Form_Load; it is shown later by the runtime's modal show.
  explicit frmAbout(Runtime& runtime, QWidget* parent = nullptr);

  // True once the title-bar close has unloaded the window; the next opening builds it anew.
  bool isUnloaded() const { return m_unloaded; }

  // How often Form_Load has run on this window: once, unless something reloads it by mistake.
  int loadCount() const { return m_loadCount; }

  // The address shown in lblMail2 and written to by its mail link, fixed when the program is built.
  static QString contactAddress();

  void setVisible(bool visible) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void createControls();

  // Event handlers, named after their controls and events.
  void Form_Load();
  void Form_Activate();
  void cmdClose_Click();
  void lblMail2_Click();

  Runtime& m_runtime;
  bool m_unloaded = false;
  int m_loadCount = 0;
  bool m_pressedOnAddress = false;

  QLabel* lblInfo = nullptr;
  QPushButton* cmdClose = nullptr;
  QLabel* lblMail = nullptr;
  QLabel* lblMail2 = nullptr;
  QWidget* imgPic = nullptr;
  QWidget* shpFill1 = nullptr;
  QWidget* shpFill2 = nullptr;
};
