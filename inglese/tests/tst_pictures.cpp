#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

// The pictures compiled into the windows under ":/inglese/". A picture that is
// missing from the resources or that the SVG renderer refuses shows nothing at
// all, so every name the windows use is checked here.
class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    void picturesRender_data();
    void picturesRender();
    void flagsStayPaleBehindText_data();
    void flagsStayPaleBehindText();
};

void TestPictures::picturesRender_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");

    // The title pictures are laid out by pixel size on the start-up window.
    QTest::newRow("title picture") << "titolo.svg" << QSize(525, 402);
    QTest::newRow("title banner") << "titolo2.svg" << QSize(322, 54);
    QTest::newRow("window icon") << "icona.svg" << QSize(64, 64);
    // The drill's faces and button pictures are 32 x 32 icons.
    QTest::newRow("neutral face") << "faccia0.svg" << QSize(32, 32);
    QTest::newRow("smiling face") << "faccia1.svg" << QSize(32, 32);
    QTest::newRow("laughing face") << "faccia2.svg" << QSize(32, 32);
    QTest::newRow("sad face") << "faccia3.svg" << QSize(32, 32);
    QTest::newRow("help cross") << "croce.svg" << QSize(32, 32);
    QTest::newRow("return arrow") << "freccia.svg" << QSize(32, 32);
    // The flags are stretched over the whole drill window: any 3:2 size.
    QTest::newRow("Italian flag") << "bandiera_italia.svg" << QSize(900, 600);
    QTest::newRow("British flag") << "bandiera_gb.svg" << QSize(900, 600);
}

void TestPictures::picturesRender()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);

    QSvgRenderer renderer(QStringLiteral(":/inglese/") + name);
    QVERIFY2(renderer.isValid(), qPrintable(name));
    QCOMPARE(renderer.defaultSize(), size);

    // Something is actually drawn: the picture is not blank.
    QImage image(size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ++painted;
    QVERIFY2(painted > image.width() * image.height() / 5, qPrintable(name));
}

void TestPictures::flagsStayPaleBehindText_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("Italian flag") << "bandiera_italia.svg";
    QTest::newRow("British flag") << "bandiera_gb.svg";
}

// Labels with black text stand on the flag: every part of it must stay light,
// and the flag must cover the whole window without see-through gaps.
void TestPictures::flagsStayPaleBehindText()
{
    QFETCH(QString, name);

    QSvgRenderer renderer(QStringLiteral(":/inglese/") + name);
    QVERIFY(renderer.isValid());
    QImage image(QSize(600, 400), QImage::Format_ARGB32); // stretched like the window
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter, QRectF(0, 0, 600, 400));
    painter.end();

    int darkest = 255;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            QCOMPARE(qAlpha(pixel), 255);
            darkest = qMin(darkest, qGray(pixel));
        }
    }
    QVERIFY2(darkest >= 190, qPrintable(QStringLiteral("%1: darkest grey %2").arg(name).arg(darkest)));
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
