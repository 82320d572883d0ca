// Which drawing of the compiled-in pictures a screen of each density shows.
#include <QtTest>

#include "about_window/frm_about.h"
#include "resources/pictures.h"
#include "window_harness.h"

namespace {

QImage picture(const QString& name) {
  const pictures::Picture& picture =
      name.startsWith(QStringLiteral("post")) ? pictures::kPostEmblem : pictures::kAboutPicture;
  QImage image(name.endsWith(QStringLiteral("@2x")) ? picture.dense : picture.normal);
  image.setDevicePixelRatio(name.endsWith(QStringLiteral("@2x")) ? 2 : 1);
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class ResourcesTest : public QObject {
  Q_OBJECT

 private slots:
  void picturesAreDrawnForTheScreensDensity_data();
  void picturesAreDrawnForTheScreensDensity();
};

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
