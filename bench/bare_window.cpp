// The baseline for the start-up and memory figures: an empty Qt Widgets window of the main window's
// size. With --text it shows one line of Traditional Chinese, which prices the font stack alone.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("bare window"));
  window.setFixedSize(219, 275);  // the main window's 3285 by 4125 twips
  if (QApplication::arguments().contains(QStringLiteral("--text"))) {
    auto* label = new QLabel(QStringLiteral("身分證字號產生器"), &window);
    label->move(5, 5);
  }
  window.show();
  return QApplication::exec();
}
