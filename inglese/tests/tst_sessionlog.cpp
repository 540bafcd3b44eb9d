#include "sessionlog.h"

#include <QTemporaryDir>
#include <QTest>

// The exit log read back for the results window: every line the program
// writes (or older runs wrote in other date formats) becomes a session, and
// nothing else does.
class TestSessionLog : public QObject
{
    Q_OBJECT

private slots:
    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected"); // date start end seconds words/points/critical lessons, or ""
        const QString tail = QStringLiteral("    12/987/3        1 4 7");
        QTest::newRow("written") << "05/12/2026 09:10:02 09:31:45" + tail
                                 << "2026-12-05 09:10:02 09:31:45 1303 12/987/3 1 4 7";
        QTest::newRow("all lessons") << "05/12/2026 09:10:02 09:31:45    0/1000/0        TUTTE"
                                     << "2026-12-05 09:10:02 09:31:45 1303 0/1000/0 TUTTE";
        QTest::newRow("past midnight") << "06/12/2026 23:50:00 00:10:30    5/-40/1        20"
                                       << "2026-12-06 23:50:00 00:10:30 1230 5/-40/1 20";
        QTest::newRow("short year") << "5/12/26 9:10 9:31" + tail
                                    << "2026-12-05 09:10:00 09:31:00 1260 12/987/3 1 4 7";
        QTest::newRow("dots") << "05.12.2026 09.10.02 09.31.45" + tail
                              << "2026-12-05 09:10:02 09:31:45 1303 12/987/3 1 4 7";
        QTest::newRow("iso, 12 hours") << "2026-12-05 12:10:02 AM 1:31:45 pm" + tail
                                       << "2026-12-05 00:10:02 13:31:45 48103 12/987/3 1 4 7";
        const QString start = QStringLiteral("05/12/2026 09:10:02 09:31:45    ");
        const QStringList bad { QStringLiteral("12/987/3"), QStringLiteral("12/987/3 1 4 x"),
            QStringLiteral("12/98"), QStringLiteral("12/987/3/1 TUTTE"), QStringLiteral("x/987/3 TUTTE"),
            QStringLiteral("-1/987/3 TUTTE"), QStringLiteral("12/987/3 21"), QStringLiteral("12/987/3 0"),
            QStringLiteral("12/987/3 4 4"), QStringLiteral("12/987/3 7 4"),
            QStringLiteral("12/987/3 TUTTE 3"), QStringLiteral("12/987/3 tutte"),
            QStringLiteral("99999999999/0/0 TUTTE") };
        for (const QString &counts : bad)
            QTest::newRow(qPrintable(counts)) << start + counts << QString();
        for (const char *head :
            { "31/02/2026 09:10:02 09:31:45", "12/05 09:10:02 09:31:45", "05/12-2026 09:10:02 09:31:45",
                "dicembre 09:10:02 09:31:45", "05/12/2026 25:00:00 09:31:45", "05/12/2026 09:1:02 09:31:45",
                "05/12/2026 13:10:02 PM 09:31:45", "05/12/2026 09:10:02", "" })
            QTest::newRow(head) << head + tail << QString();
    }
    void parseLine()
    {
        QFETCH(QString, line);
        const std::optional<LoggedSession> s = SessionLog::parseLine(line);
        QString got;
        if (s) {
            QStringList lessons;
            for (int k : s->lessons)
                lessons << QString::number(k);
            got = QStringLiteral("%1 %2 %3 %4 %5/%6/%7 %8")
                      .arg(s->date.toString(Qt::ISODate), s->start.toString(), s->end.toString())
                      .arg(s->seconds())
                      .arg(s->words)
                      .arg(s->points)
                      .arg(s->critical)
                      .arg(lessons.isEmpty() ? QStringLiteral("TUTTE") : lessons.join(u' '));
        }
        QTEST(got, "expected");
    }

    void file_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QStringList>("expected"); // 7 days, 30 days, all time, lessons, unreadable
        const QByteArray line = " 09:00:00 09:30:00    10/1000/2        ";
        QTest::newRow("missing") << QByteArray()
                                 << QStringList { "nessuna sessione", "nessuna sessione", "nessuna sessione",
                                        "", "0 righe illeggibili ignorate" };
        QTest::newRow("empty") << QByteArray("")
                               << QStringList { "nessuna sessione", "nessuna sessione", "nessuna sessione",
                                      "", "0 righe illeggibili ignorate" };
        QTest::newRow("mixed") << "05/12/2026" + line
                + "1 4\r\n\r\n20/11/2026 23:30:00 00:45:00    1/970/0        TUTTE\r\n"
                  "05/12/2026 09:00\r\n01/01/2020"
                + line + "4\r\n"
                               << QStringList {
                                      "1 sessione, 30 min di esercizio, 10 parole, media 1000 punti",
                                      "2 sessioni, 1 h 45 min di esercizio, 11 parole, media 985 punti",
                                      "3 sessioni, 2 h 15 min di esercizio, 21 parole, media 990 punti",
                                      "0:1 1:1 4:2", "1 riga illeggibile ignorata"
                                  };
        QByteArray years;
        for (int day = 0; day < 7305; ++day)
            years += QDate(2026, 12, 7).addDays(-day).toString(u"dd/MM/yyyy").toLatin1() + line
                + QByteArray::number(day % 3 + 1) + "\r\n";
        QTest::newRow("20 years")
            << years + "garbage\r\n" + "\x93\x94\r\nx"
            << QStringList { "7 sessioni, 3 h 30 min di esercizio, 70 parole, media 1000 punti",
                   "30 sessioni, 15 h 00 min di esercizio, 300 parole, media 1000 punti",
                   "7305 sessioni, 3652 h 30 min di esercizio, 73050 parole, media 1000 punti",
                   "1:2435 2:2435 3:2435", "3 righe illeggibili ignorate" };
    }
    void file()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("inglelog"));
        if (!bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        const SessionLog log = SessionLog::read(path);
        const QDate today(2026, 12, 7);
        QStringList got;
        for (const int days : { 7, 30 })
            got << SessionText::totalsLine(QString(), log.totals(today.addDays(1 - days), today)).mid(2);
        got << SessionText::totalsLine(QString(), log.totals({}, {})).mid(2);
        QStringList lessons;
        const std::array<int, 21> counts = log.lessonCounts();
        for (int k = 0; k <= 20; ++k)
            if (counts[std::size_t(k)])
                lessons << QStringLiteral("%1:%2").arg(k).arg(counts[std::size_t(k)]);
        got << lessons.join(u' ') << SessionText::unreadableNote(log.unreadableLines());
        QTEST(got, "expected");
    }
};

QTEST_GUILESS_MAIN(TestSessionLog)
#include "tst_sessionlog.moc"
