// The results window: what it shows for a log and the run under way, saving
// the picture, closing.
#include "Form6.h"
#include "fixture.h"
#include "session.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>

class TestForm6 : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folder;
    const QByteArray m_log = "20/11/2026 23:30:00 00:45:00    14/970/2        TUTTE\r\ncut 09:00\r\n\x93\r\n"
                             "28/11/2026 09:00:00 09:30:00    30/1040/1        1 3\r\n"
                             "04/12/2026 17:10:02 17:31:45    22/1010/0        3\r\n";

private slots:
    void shows_data()
    {
        QTest::addColumn<QByteArray>("log"); // null: no file
        QTest::addColumn<int>("doneCount");
        QTest::addColumn<QString>("action"); // Escape, Chiudi, or a file name to save to (* cancels)
        QTest::addColumn<QString>("expected");
        const QString read
            = "2 h 06 min di esercizio, 66 parole, media 1007 punti|grafico|2 righe illeggibili ignorate";
        row("no log", QByteArray(), 0, "", "nessuna sessione|Nessuna sessione registrata ancora||aperta|");
        row("current run", QByteArray(), 5, "",
            "1 sessione, 20 min di esercizio, 5 parole, media 1020 punti|grafico||aperta|3=1 7=1");
        row("log and run", m_log, 5, "Escape",
            "4 sessioni, 2 h 26 min di esercizio, 71 parole, media 1010 punti|grafico|2 righe illeggibili "
            "ignorate|chiusa|Tutte=1 1=1 3=3 7=1");
        row("Chiudi", m_log, 0, "Chiudi", "3 sessioni, " + read + "|chiusa|Tutte=1 1=1 3=2");
        row("save", m_log, 0, "grafico", "grafico.png");
        row("save cancelled", m_log, 0, "*", "");
        row("save fails", m_log, 0, "manca/grafico.png",
            "Salva immagine: Non riesco a salvare l'immagine in\r\n" + m_folder.filePath("manca/grafico.png")
                + "\r\n\r\nUn file con questo nome, se c'era, resta com'era.");
    }
    void shows()
    {
        QFETCH(QByteArray, log);
        QFETCH(QString, action);
        QFETCH(int, doneCount);
        QFile::remove(m_folder.filePath("inglelog"));
        QVERIFY(log.isNull() || writeBytes(m_folder.filePath("inglelog"), log));
        Session s;
        s.dataFolder = m_folder.path() + u'/';
        s.startTime = QTime(8, 50, 2);
        s.doneCount = doneCount;
        s.points = 1020;
        s.lessonState[3] = s.lessonState[7] = 2; // the lessons chosen for the run under way
        FakePlatform platform;
        Form6 window(s, platform);
        window.show();
        const auto text = [&](const char *name) { return control<QLabel>(&window, name)->text(); };
        QString got;
        if (action == u"Escape")
            QTest::keyClick(&window, Qt::Key_Escape);
        else if (action == u"Chiudi")
            QTest::mouseClick(control(&window, "Command2"), Qt::LeftButton);
        if (action.isEmpty() || action == u"Escape" || action == u"Chiudi") {
            const bool chart = control(&window, "Label4")->isHidden();
            const auto *table = control<QTableWidget>(&window, "Lezioni");
            QStringList lessons;
            for (int row = 0; row < table->rowCount(); ++row)
                lessons << table->item(row, 0)->text() + u'=' + table->item(row, 1)->text();
            got = QStringList { text("Label3").mid(11), chart ? "grafico" : text("Label4"), text("Label5"),
                window.isVisible() ? "aperta" : "chiusa", lessons.join(u' ') }
                      .join(u'|');
        } else {
            window.askImageFile
                = [&](const QString &) { return action == u"*" ? QString() : m_folder.filePath(action); };
            control<QPushButton>(&window, "Command1")->click();
            for (const FakePlatform::Shown &shown : platform.shown)
                got += shown.title + ": " + shown.text;
            if (QImage(m_folder.filePath(action + ".png")).size() == control(&window, "Chart1")->size())
                got += action + ".png";
        }
        QTEST(got, "expected");
        QCOMPARE(QFile(m_folder.filePath("inglelog")).size(), log.size()); // never written
    }
};

QTEST_MAIN(TestForm6)
#include "tst_form6.moc"
