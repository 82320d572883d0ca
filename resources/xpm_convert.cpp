// Build-time helper: writes one of our XPM pictures as PNG for the icon themes, with Qt's own
// image reader and writer.
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 3 || !arguments[2].endsWith(QStringLiteral(".png"))) {
    std::fprintf(stderr, "usage: taloma_xpm_convert <picture.xpm> <output.png>\n");
    return 2;
  }
  const QImage image(arguments[1], "XPM");
  if (image.isNull()) {
    std::fprintf(stderr, "taloma_xpm_convert: cannot read %s\n", qPrintable(arguments[1]));
    return 1;
  }
  QImageWriter writer(arguments[2]);
  if (!writer.write(image.convertToFormat(QImage::Format_ARGB32))) {
    std::fprintf(stderr, "taloma_xpm_convert: cannot write %s: %s\n", qPrintable(arguments[2]),
                 qPrintable(writer.errorString()));
    return 1;
  }
  return 0;
}
