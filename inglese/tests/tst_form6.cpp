#include "Form6.h"
#include "fakeplatform.h"
#include "session.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The results window: what it shows for a log and the run under way, saving
// the picture, closing, and its look against tests/looks/<row>.png
// (UPDATE_LOOKS=1 writes the references).
class TestForm6 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    const QByteArray m_log = "20/11/2026 23:30:00 00:45:00    14/970/2        TUTTE\r\ncut 09:00\r\n\x93\r\n"
                             "28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n"
                             "04/12/2026 17:10:02 17:31:45    22/1010/0        3\r\n";

    Session session(const QByteArray &log, int doneCount)
    {
        QFile file(m_folder.filePath(QStringLiteral("inglelog")));
        file.remove();
        if (!log.isNull() && (!file.open(QIODevice::WriteOnly) || file.write(log) != log.size()))
            qFatal("cannot write the log");
        Session s;
        s.dataFolder = m_folder.path() + u'/';
        s.startTime = QTime(8, 50, 2);
        s.doneCount = doneCount;
        s.points = 1020;
        return s;
    }

private slots:
    void initTestCase() { QApplication::setFont(QFont(QStringLiteral("Liberation Sans"), 8)); }

    void shows_data()
    {
        QTest::addColumn<QByteArray>("log"); // null: no file
        QTest::addColumn<int>("doneCount");
        QTest::addColumn<QString>("action"); // Escape, Chiudi, or a file name to save to (* cancels)
        QTest::addColumn<QString>("expected");
        QTest::newRow("no log") << QByteArray() << 0 << ""
                                << "nessuna sessione|Nessuna sessione registrata ancora||aperta";
        QTest::newRow("current run")
            << QByteArray() << 5 << ""
            << "1 sessione, 20 min di esercizio, 5 parole, media 1020 punti|grafico||aperta";
        QTest::newRow("log and run")
            << m_log << 5 << "Escape"
            << "4 sessioni, 2 h 26 min di esercizio, 71 parole, media 1010 punti|grafico|"
               "2 righe illeggibili ignorate|chiusa";
        QTest::newRow("Chiudi") << m_log << 0 << "Chiudi"
                                << "3 sessioni, 2 h 06 min di esercizio, 66 parole, media 1007 punti|grafico|"
                                   "2 righe illeggibili ignorate|chiusa";
        QTest::newRow("save") << m_log << 0 << "grafico"
                              << "grafico.png";
        QTest::newRow("save cancelled") << m_log << 0 << "*"
                                        << "";
        QTest::newRow("save fails") << m_log << 0 << "manca/grafico.png"
                                    << "Salva immagine: Non riesco a salvare l'immagine in\r\n"
                + m_folder.filePath("manca/grafico.png")
                + "\r\n\r\nUn file con questo nome, se c'era, resta com'era.";
    }
    void shows()
    {
        QFETCH(QByteArray, log);
        QFETCH(QString, action);
        QFETCH(int, doneCount);
        Session s = session(log, doneCount);
        FakePlatform platform;
        Form6 window(s, platform);
        window.show();
        const auto text = [&](const char *name) { return window.findChild<QLabel *>(name)->text(); };
        QString got;
        if (action == u"Escape")
            QTest::keyClick(&window, Qt::Key_Escape);
        else if (action == u"Chiudi")
            QTest::mouseClick(window.findChild<QPushButton *>("Command2"), Qt::LeftButton);
        if (action.isEmpty() || action == u"Escape" || action == u"Chiudi") {
            const bool chart = window.findChild<QLabel *>("Label4")->isHidden();
            got = QStringList { text("Label3").mid(11), chart ? "grafico" : text("Label4"), text("Label5"),
                window.isVisible() ? "aperta" : "chiusa" }
                      .join(u'|');
        } else {
            window.askImageFile
                = [&](const QString &) { return action == u"*" ? QString() : m_folder.filePath(action); };
            window.findChild<QPushButton *>("Command1")->click();
            for (const FakePlatform::Shown &shown : platform.shown)
                got += shown.title + ": " + shown.text;
            if (QImage(m_folder.filePath(action + ".png")).size()
                == window.findChild<QWidget *>("Chart1")->size())
                got += action + ".png";
        }
        QTEST(got, "expected");
        QCOMPARE(QFile(m_folder.filePath("inglelog")).size(), log.size()); // never written
    }

    void looks_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::newRow("form6") << m_log;
        QTest::newRow("form6_empty") << QByteArray();
    }
    void looks()
    {
        QFETCH(QByteArray, log);
        Session s = session(log, 0);
        FakePlatform platform;
        Form6 window(s, platform);
        window.resize(700, 480);
        const QImage actual = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const QString reference = QStringLiteral(INGLESE_LOOKS_DIR "/") + name + ".png";
        if (qEnvironmentVariableIntValue("UPDATE_LOOKS"))
            QVERIFY(actual.save(reference));
        const QImage expected = QImage(reference).convertToFormat(QImage::Format_RGB32);
        QImage diff(actual.size(), QImage::Format_RGB32);
        bool same = expected.size() == actual.size();
        for (int i = 0; expected.size() == actual.size() && i < actual.width() * actual.height(); ++i) {
            const int x = i % actual.width(), y = i / actual.width();
            const QRgb a = actual.pixel(x, y), e = expected.pixel(x, y);
            const bool near = std::max({ qAbs(qRed(a) - qRed(e)), qAbs(qGreen(a) - qGreen(e)),
                                  qAbs(qBlue(a) - qBlue(e)) })
                <= 16;
            diff.setPixel(x, y, near ? qRgb(255, 255, 255) : qRgb(255, 0, 0));
            same = same && near;
        }
        if (!same && actual.save(name + ".actual.png") && diff.save(name + ".diff.png"))
            QFAIL(qPrintable(name + ".actual.png and " + name + ".diff.png differ from " + reference));
        QVERIFY(same);
    }
};

QTEST_MAIN(TestForm6)
#include "tst_form6.moc"
