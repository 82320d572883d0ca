// The main window: producing, checking and copying identity numbers, and the postal-code panel.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>

class CaptionLabel;
class NumberBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class Runtime;
class frmAbout;

class frmTwno : public QWidget {
  Q_OBJECT

 public:
  // Builds the window and its controls and runs Form_Load. Whether another copy runs is asked
  // first, before any window is built.
  explicit frmTwno(Runtime& runtime, QWidget* parent = nullptr);
  ~frmTwno() override;

  // Shows the window centred on its screen with the caret in the number box.
  void showCentred();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void createControls();
  void connectEvents();
  void setTabOrder();

  void selectPlace(int index);
  bool placeIsUnspecified() const;
  void setCaption(const QString& text);
  void setClearMode();
  void setCutMode();
  void showFormError(const QString& prompt, int start, int length);
  void setZonenumHeading(const QString& text);
  void setNumberListTip(const QString& text);
  void setAutoSizedText(QLabel* label, const QString& text);

  // Event handlers, named after their controls and events.
  void Form_Load();
  void cmdAbout_Click();
  void cboPlace_Click();
  void lblTel_Change();
  void cmdProduce_Click();
  void cmdCheck_Click();
  void txtNo_KeyPress(char16_t& keyAscii);
  void txtNo_Change();
  void cmdClear_Click();
  void lstNo_Click();
  void cmdCopy_Click();
  void cmdSelectall_Click();
  void lstNo_DblClick();

  Runtime& m_runtime;
  std::unique_ptr<frmAbout> m_about;

  CaptionLabel* lblTel = nullptr;
  QGroupBox* fraOptions = nullptr;
  NumberBox* txtNo = nullptr;
  QPushButton* cmdProduce = nullptr;
  QPushButton* cmdCheck = nullptr;
  QPushButton* cmdClear = nullptr;
  QRadioButton* optBoy = nullptr;
  QRadioButton* optGirl = nullptr;
  QComboBox* cboPlace = nullptr;
  QComboBox* cboHowmuch = nullptr;
  QListWidget* lstNo = nullptr;
  QPushButton* cmdCopy = nullptr;
  QPushButton* cmdSelectall = nullptr;
  QPushButton* cmdAbout = nullptr;
  QLabel* lblZonenum = nullptr;
  QListWidget* lstZonenum = nullptr;
  QLabel* lblAreacode = nullptr;
  QLabel* lblCode = nullptr;
  QWidget* imgPost = nullptr;

  // The size of the last batch, which the copy handlers walk, and the last place the postal
  // panel was filled for.
  std::int16_t Howmuch = 0;
  std::int16_t lastPlaceIndex = 0;

  // Set while a handler itself changes lstNo's items or selection, which is no click.
  bool m_listChangedByCode = false;
};
