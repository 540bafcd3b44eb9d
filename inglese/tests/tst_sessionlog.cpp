#include "sessionlog.h"

#include "fixture.h"

#include <QTemporaryDir>

// The exit log read back for the results window: every line the program writes (or older runs wrote in other
// date formats) becomes a run, and nothing else does.
class TestSessionLog : public QObject
{
    Q_OBJECT

private slots:
    void parseLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>(
            "expected"); // date start end seconds words/points/critical lessons (none: all); "" unreadable
        const QString tail = QStringLiteral("    12/987/3        1 4 7"),
                      read = QStringLiteral(" 1303 12/987/3 1 4 7");
        row("written", "05/12/2026 09:10:02 09:31:45" + tail, "2026-12-05 09:10:02 09:31:45" + read);
        row("all lessons", "05/12/2026 09:10:02 09:31:45    0/1000/0        TUTTE",
            "2026-12-05 09:10:02 09:31:45 1303 0/1000/0");
        row("past midnight", "06/12/2026 23:50:00 00:10:30    5/-40/1        20",
            "2026-12-06 23:50:00 00:10:30 1230 5/-40/1 20");
        row("short", "5/12/26 9:10 9:31" + tail, "2026-12-05 09:10:00 09:31:00 1260 12/987/3 1 4 7");
        row("dots", "05.12.2026 09.10.02 09.31.45" + tail, "2026-12-05 09:10:02 09:31:45" + read);
        row("iso, 12 h", "2026-12-05 12:10:02 AM 1:31:45 pm" + tail,
            "2026-12-05 00:10:02 13:31:45 48103" + read.mid(5));
        const QString head = QStringLiteral("05/12/2026 09:10:02 09:31:45    ");
        for (const QString &bad : { head + "12/987/3", head + "12/987/3 1 4 x", head + "12/98",
                 head + "1/2/3/4 TUTTE", head + "12/987/x TUTTE", head + "-1/987/3 TUTTE",
                 head + "12/987/3 21", head + "12/987/3 0", head + "12/987/3 4 4", head + "12/987/3 7 4",
                 head + "12/987/3 TUTTE 3", head + "12/987/3 tutte", head + "99999999999/0/0 TUTTE",
                 "31/02/2026 09:10:02 09:31:45" + tail, "12/05 09:10 09:31" + tail,
                 "05/12-2026 09:10 09:31" + tail, "dicembre 09:10 09:31" + tail,
                 "05/12/2026 25:00 09:31" + tail, "05/12/2026 09:1:02 09:31" + tail,
                 "05/12/2026 13:10 PM 09:31" + tail, "05/12/2026 09:31" + tail })
            QTest::newRow(qPrintable(bad)) << bad << QString();
    }
    void parseLine()
    {
        QFETCH(QString, line);
        QString got;
        if (const std::optional<LoggedSession> s = SessionLog::parseLine(line)) {
            got = QString::asprintf("%s %s %s %d %d/%d/%d", qPrintable(s->date.toString(Qt::ISODate)),
                qPrintable(s->start.toString()), qPrintable(s->end.toString()), int(s->seconds()), s->words,
                s->points, s->critical);
            for (int k : s->lessons)
                got += u' ' + QString::number(k);
        }
        QTEST(got, "expected");
    }

    void file_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        // runs/minutes/words/mean points for 7 days, 30 days, all time; lessons; bars; unreadable lines
        QTest::addColumn<QString>("expected");
        const QByteArray line = " 09:00:00 09:30:00    10/1000/2        ";
        row("missing", QByteArray(), "0/0/0/0 0/0/0/0 0/0/0/0 | | 0");
        row("empty", QByteArray(""), "0/0/0/0 0/0/0/0 0/0/0/0 | | 0");
        row("mixed",
            "05/12/2026" + line
                + "1 4\r\n\r\n20/11/2026 23:30:00 00:45:00    1/970/0        TUTTE\r\n"
                  "05/12/2026 09:00\r\n01/01/2026"
                + line + "4\r\n",
            "1/30/10/1000 2/105/11/985 3/135/21/990 | 0:1 1:1 4:2 | 1 2025-12-29 3 | 1");
        QByteArray years;
        for (int day = 0; day < 7305; ++day)
            years += QDate(2026, 12, 7).addDays(-day).toString(u"dd/MM/yyyy").toLatin1() + line
                + QByteArray::number(day % 3 + 1) + "\r\n";
        row("20 years", years + "garbage\r\n\x93\x94\r\nx",
            "7/210/70/1000 30/900/300/1000 7305/219150/73050/1000 | 1:2435 2:2435 3:2435 | "
            "3 2006-01-01 21 | 3");
    }
    void file()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        QVERIFY(bytes.isNull() || writeBytes(folder.filePath("inglelog"), bytes));
        const SessionLog log = SessionLog::read(folder.filePath("inglelog"));
        const QDate today(2026, 12, 7);
        QString got;
        for (const QDate &first : { today.addDays(-6), today.addDays(-29), QDate() }) {
            const SessionTotals t = log.totals(first, first.isValid() ? today : QDate());
            got += QString::asprintf(
                "%d/%lld/%lld/%d ", t.sessions, t.seconds / 60, t.words, t.averagePoints());
        }
        got += u'|';
        for (std::size_t k = 0; k <= 20; ++k)
            if (log.lessonCounts()[k])
                got += QString::asprintf(" %d:%d", int(k), log.lessonCounts()[k]);
        PeriodTotals::Length length {};
        const QList<PeriodTotals> bars = log.periods(120, &length);
        if (!bars.isEmpty())
            got += QString::asprintf(" | %d %s %d", int(length),
                qPrintable(bars[0].first.toString(Qt::ISODate)), int(bars.size()));
        QTEST(got + QString::asprintf(" | %d", log.unreadableLines()), "expected");
    }
};

QTEST_GUILESS_MAIN(TestSessionLog)
#include "tst_sessionlog.moc"
