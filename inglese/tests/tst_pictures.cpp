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
    void picturesRender_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("flag");
        // The title pictures are laid out by pixel size on the start-up window.
        QTest::newRow("title picture") << "titolo.svg" << QSize(525, 402) << false;
        QTest::newRow("title banner") << "titolo2.svg" << QSize(322, 54) << false;
        QTest::newRow("window icon") << "icona.svg" << QSize(64, 64) << false;
        // The drill's faces and button pictures are 32 x 32 icons.
        for (const char *name : { "faccia0", "faccia1", "faccia2", "faccia3", "croce", "freccia" })
            QTest::newRow(name) << QString::fromLatin1(name) + ".svg" << QSize(32, 32) << false;
        // The flags are stretched over the whole drill window, behind black text.
        QTest::newRow("Italian flag") << "bandiera_italia.svg" << QSize(900, 600) << true;
        QTest::newRow("British flag") << "bandiera_gb.svg" << QSize(900, 600) << true;
    }
    void picturesRender()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QFETCH(bool, flag);
        QSvgRenderer renderer(QStringLiteral(":/inglese/") + name);
        QVERIFY(renderer.isValid());
        QCOMPARE(renderer.defaultSize(), size);

        // Something is drawn; a flag covers the whole window (stretched like
        // it) without see-through gaps and stays light enough for the labels.
        const QSize canvas = flag ? QSize(600, 400) : size;
        QImage image(canvas, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), canvas));
        painter.end();
        int painted = 0;
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QRgb pixel = image.pixel(x, y);
                painted += qAlpha(pixel) > 0;
                if (flag) {
                    QCOMPARE(qAlpha(pixel), 255);
                    darkest = qMin(darkest, qGray(pixel));
                }
            }
        }
        QVERIFY(painted > image.width() * image.height() / 5);
        QVERIFY2(darkest >= 190, qPrintable(QStringLiteral("darkest grey %1").arg(darkest)));
    }
};

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
