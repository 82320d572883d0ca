// The baselines for the start-up and memory figures: a Qt Widgets window of the main window's size,
// empty, or with --text showing one line of Traditional Chinese in the face Taloma uses (the floor
// any Chinese Qt program pays for its font stack).
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("bare window"));
  window.setFixedSize(219, 275);  // the main window's 3285 by 4125 twips
  if (QApplication::arguments().contains(QStringLiteral("--text"))) {
    window.setFont(QFont(QStringLiteral("AR PL UMing TW"), 9));
    auto* label = new QLabel(QStringLiteral("身分證字號產生器"), &window);
    label->move(5, 5);
  }
  window.show();
  return QApplication::exec();
}
