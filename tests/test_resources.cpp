// The compiled-in pictures and cursors, and the PNG and ICO files made from them for desktops.
#include <QBitmap>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

#include "about_window/frm_about.h"
#include "window_harness.h"

namespace {

QImage picture(const QString& name) {
  return QImage(QStringLiteral(":/taloma/%1.xpm").arg(name)).convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class ResourcesTest : public QObject {
  Q_OBJECT

 private slots:
  void picturesHaveTheirSizes_data();
  void picturesHaveTheirSizes();
  void convertedFilesKeepEveryPixel_data();
  void convertedFilesKeepEveryPixel();
  void picturesAreDrawnForTheScreensDensity_data();
  void picturesAreDrawnForTheScreensDensity();
};

void ResourcesTest::picturesHaveTheirSizes_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QSize>("size");
  QTest::addColumn<bool>("transparentCorners");
  QTest::newRow("window icon") << "taloma_icon" << QSize(32, 32) << true;
  QTest::newRow("postal emblem") << "post_emblem" << QSize(20, 20) << true;
  QTest::newRow("pointer picture") << "pointer" << QSize(32, 32) << false;
  QTest::newRow("hand cursor") << "hand_cursor" << QSize(32, 32) << true;
  QTest::newRow("About picture") << "about_picture" << QSize(80, 81) << false;
  QTest::newRow("window icon, 2x") << "taloma_icon@2x" << QSize(64, 64) << true;
  QTest::newRow("postal emblem, 2x") << "post_emblem@2x" << QSize(40, 40) << true;
  QTest::newRow("About picture, 2x") << "about_picture@2x" << QSize(160, 162) << false;
}

void ResourcesTest::picturesHaveTheirSizes() {
  QFETCH(QString, name);
  QFETCH(QSize, size);
  QFETCH(bool, transparentCorners);
  const QImage image = picture(name);
  QVERIFY2(!image.isNull(), qPrintable(name));
  QCOMPARE(image.size(), size);
  if (transparentCorners) {
    const int right = size.width() - 1;
    const int bottom = size.height() - 1;
    for (const QPoint corner : {QPoint(0, 0), QPoint(right, 0), QPoint(0, bottom)}) {
      QCOMPARE(qAlpha(image.pixel(corner)), 0);
    }
  }
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) colours.insert(image.pixel(x, y));
  }
  QVERIFY2(colours.size() >= 3, "a drawing, not a blot of one colour");
}

void ResourcesTest::convertedFilesKeepEveryPixel_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("format");
  for (const char* name : {"taloma_icon", "post_emblem", "about_picture", "hand_cursor"}) {
    for (const char* format : {"png", "ico"}) {
      QTest::addRow("%s as %s", name, format) << name << format;
    }
  }
}

void ResourcesTest::convertedFilesKeepEveryPixel() {
  QFETCH(QString, name);
  QFETCH(QString, format);
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  const QString source = QStringLiteral(TALOMA_RESOURCES_DIR "/%1.xpm").arg(name);
  const QString target = dir.filePath(name + QLatin1Char('.') + format);
  QProcess convert;
  convert.start(QStringLiteral(TALOMA_XPM_CONVERT), {source, target});
  QVERIFY(convert.waitForFinished(30000));
  QCOMPARE(convert.exitCode(), 0);

  const QImage original = QImage(source).convertToFormat(QImage::Format_ARGB32);
  const QImage converted =
      QImage(target, qPrintable(format)).convertToFormat(QImage::Format_ARGB32);
  QVERIFY2(!converted.isNull(), qPrintable(target));
  QCOMPARE(converted.size(), original.size());
  for (int y = 0; y < original.height(); ++y) {
    for (int x = 0; x < original.width(); ++x) {
      const QRgb want = original.pixel(x, y);
      const QRgb got = converted.pixel(x, y);
      // Fully transparent pixels may carry any colour.
      if (qAlpha(want) == 0 && qAlpha(got) == 0) continue;
      QVERIFY2(want == got, qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
    }
  }
}

void ResourcesTest::picturesAreDrawnForTheScreensDensity_data() {
  QTest::addColumn<QString>("control");
  QTest::addColumn<qreal>("density");
  QTest::addColumn<QString>("drawing");
  QTest::newRow("postal emblem") << "imgPost" << 1.0 << "post_emblem";
  QTest::newRow("postal emblem at 2x") << "imgPost" << 2.0 << "post_emblem@2x";
  QTest::newRow("About picture") << "imgPic" << 1.0 << "about_picture";
  QTest::newRow("About picture at 2x") << "imgPic" << 2.0 << "about_picture@2x";
}

void ResourcesTest::picturesAreDrawnForTheScreensDensity() {
  QFETCH(QString, control);
  QFETCH(qreal, density);
  QFETCH(QString, drawing);
  WindowHarness h(false);
  frmAbout about(h.runtime);
  QWidget* shown = h.window->findChild<QWidget*>(control);
  if (!shown) shown = about.findChild<QWidget*>(control);
  QVERIFY(shown);

  // What a screen of that density shows, pixel for pixel.
  QImage screen(shown->size() * density, QImage::Format_ARGB32);
  screen.setDevicePixelRatio(density);
  screen.fill(Qt::transparent);
  shown->render(&screen, {}, {}, QWidget::DrawChildren);
  QCOMPARE(screen, picture(drawing));
}

QTEST_MAIN(ResourcesTest)
#include "test_resources.moc"
