#pragma once

#include "lessons.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QTime>

#include <optional>

// One run of the trainer as the exit log keeps it: the day it ended, its start
// and end times, the words answered, the points and critical words at the end
// and the lessons chosen (none: all lessons, written " TUTTE").
struct LoggedSession
{
    QDate date;
    QTime start;
    QTime end;
    int words = 0;
    int points = 0;
    int critical = 0;
    QList<int> lessons;

    // Seconds from start to end; a run that went past midnight started the day before.
    int seconds() const;
    QDateTime endDateTime() const { return QDateTime(date, end); }
};

// Sums over a stretch of days.
struct SessionTotals
{
    int sessions = 0;
    qint64 seconds = 0;
    qint64 words = 0;
    qint64 points = 0;
    int averagePoints() const;
};

// The runs of one day, week, month or year, for one bar of the chart.
struct PeriodTotals
{
    enum Length { Day, Week, Month, Year };
    QDate first; // first day of the period
    QDate next; // first day of the next period
    SessionTotals totals;
};

// What the results window shows of a log, worked out where it cannot hold up
// the windows: the totals of the last 7 and 30 days (up to `today`) and of all
// time, the lessons chosen, the bars of the chart, and the runs themselves
// only when there are few enough to draw one by one.
struct LogSummary
{
    SessionTotals lastWeek;
    SessionTotals lastMonth;
    SessionTotals ever;
    PerLesson<int> lessonCounts {};
    PeriodTotals::Length length = PeriodTotals::Day;
    QList<PeriodTotals> periods;
    QList<LoggedSession> runs; // empty when there are more than maxRuns
    qsizetype sessions = 0;
    int unreadable = 0;
};

// The exit log read into sessions, for the results window. Reads the format
// the program writes («05/12/2026 09:10:02 09:31:45    12/987/3        1 4 7»)
// and the dates and times that other system formats gave older lines
// (5/12/26, 05.12.2026, 2026-12-05, 9:10, 9.10.02, 9:10:02 AM). Lines that
// still cannot be read are counted, never guessed at; blank lines are skipped.
class SessionLog
{
public:
    // Twenty million runs at about fifty bytes a line.
    static constexpr qint64 MaxFileBytes = qint64(1) << 30;

    // A missing file gives an empty log. One that cannot be read (not a
    // regular file, over MaxFileBytes, a failed read) gives an empty log too,
    // and the reason in `error`.
    static SessionLog read(const QString &path, QString *error = nullptr);
    // Lines are read one by one, so the size of the text has no limit of its own.
    static SessionLog parse(QByteArrayView bytes);
    static std::optional<LoggedSession> parseLine(QStringView line);

    // Adds a run that is not in the file yet (the one under way).
    void add(const LoggedSession &session);

    // Runs that ended from `first` to `last`, both included; an invalid
    // `first` counts from the beginning.
    SessionTotals totals(const QDate &first, const QDate &last) const;
    // Per numbered lesson, in how many runs it was chosen; entry 0 counts the runs with all lessons.
    PerLesson<int> lessonCounts() const;
    // The runs grouped by the shortest period (day, week from Monday, month,
    // year) that needs no more than `maxPeriods` periods from the first run to
    // the last; periods without runs are left out. Empty when there are no runs.
    QList<PeriodTotals> periods(int maxPeriods, PeriodTotals::Length *length = nullptr) const;
    LogSummary summary(const QDate &today, int maxPeriods, int maxRuns) const;

private:
    QList<LoggedSession> m_sessions;
    int m_unreadable = 0;
};

namespace SessionText {
// "Ultimi 7 giorni: 3 sessioni, 1 h 05 min, 40 parole, media 990 punti"
QString totalsLine(const QString &label, const SessionTotals &totals);
// "3 righe illeggibili ignorate"
QString unreadableNote(int lines);
inline const QString NoSessions = QStringLiteral("Nessuna sessione registrata ancora");
} // namespace SessionText
