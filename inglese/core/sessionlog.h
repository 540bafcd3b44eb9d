#pragma once

#include "lessons.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimeZone>

#include <atomic>

#include <optional>

// The clock of a time zone, with the moments it was put forward or back
// (listed once, for the years a log can hold).
class ZoneClock
{
public:
    explicit ZoneClock(const QTimeZone &zone = QTimeZone::systemTimeZone());
    // Seconds from `start` to `end` as this clock showed them, `end` on `day`
    // and `start` on that day or the day before: the shortest span the two
    // times can mean, so that a run across a change of the clock counts its
    // real length. Where the clock was not changed, simply end - start (plus
    // a day when the run went past midnight).
    qint64 secondsBetween(const QDate &day, const QTime &start, const QTime &end) const;

    struct Change
    {
        qint64 at; // msecs since the epoch, UTC
        int before; // offset from UTC in seconds, before and after
        int after;
    };

private:
    int offsetAt(qint64 utc) const;
    // The moments whose local time was `local` (msecs of the local date and time counted as UTC):
    // two in an hour that came twice, one otherwise.
    QList<qint64> instants(qint64 local) const;

    QList<Change> m_changes; // in time order
};

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

    qint64 seconds(const ZoneClock &clock) const { return clock.secondsBetween(date, start, end); }
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
    void add(const LoggedSession &run, qint64 runSeconds);
};

// The runs of one day, week, month or year, for one bar of the chart.
struct PeriodTotals
{
    enum Length { Day, Week, Month, Year };
    QDate first; // first day of the period
    QDate next; // first day of the next period
    SessionTotals totals;
};

// What the results window shows of a log: the totals of the last 7 and 30
// days (up to today) and of all time, the lessons chosen, the bars of the
// chart, and the runs themselves only when there are few enough to draw one by one.
struct LogSummary
{
    SessionTotals lastWeek;
    SessionTotals lastMonth;
    SessionTotals ever;
    PerLesson<int> lessonCounts {}; // entry 0: the runs with all lessons
    PeriodTotals::Length length = PeriodTotals::Day;
    QList<PeriodTotals> periods;
    QList<LoggedSession> runs; // empty when there are more than maxRuns
    qsizetype sessions = 0;
    int unreadable = 0;
};

// The sums of a log's runs, taken one run at a time: what the results window
// shows, in a memory that does not grow with the log (a few thousand days at
// most, then months; a month a bar for ten thousand years is 120,000 entries).
class LogSums
{
public:
    // The bars are the shortest periods (day, week from Monday, month, year)
    // of which no more than `maxPeriods` reach from the first run to the last;
    // periods without runs are left out.
    LogSums(
        const QDate &today, int maxPeriods, int maxRuns, const QTimeZone &zone = QTimeZone::systemTimeZone());

    void add(const LoggedSession &run);
    void addUnreadable() { ++m_summary.unreadable; }
    // Back to no runs at all.
    void clear();
    LogSummary summary() const;

private:
    QDate m_today;
    int m_maxPeriods;
    int m_maxRuns;
    ZoneClock m_clock;
    LogSummary m_summary; // all but the periods
    QDate m_first;
    QDate m_last;
    // Per day while a bar a day or a week can still be drawn; per month always.
    QMap<QDate, SessionTotals> m_days;
    bool m_tooManyDays = false;
    QMap<QDate, SessionTotals> m_months;
};

// The exit log read for the results window. Reads the format the program
// writes («05/12/2026 09:10:02 09:31:45    12/987/3        1 4 7») and the
// dates and times that other system formats gave older lines (5/12/26,
// 05.12.2026, 2026-12-05, 9:10, 9.10.02, 9:10:02 AM). Lines that still cannot
// be read are counted, never guessed at; blank lines are skipped. All times
// are those of the system's clock.
namespace SessionLog {
// Twenty million runs at about fifty bytes a line.
inline constexpr qint64 MaxFileBytes = qint64(1) << 30;

// Reads the file a few megabytes at a time into `sums`. A missing file adds
// nothing. One that cannot be read (not a regular file, over MaxFileBytes, a
// failed read) leaves `sums` empty and gives the reason in `error`. Set from
// another thread, `stop` ends the reading at the next piece: false then.
bool read(
    const QString &path, LogSums &sums, QString *error = nullptr, const std::atomic<bool> *stop = nullptr);
// Lines are taken one by one; a line too long to be a run is one unreadable line.
void parse(QByteArrayView bytes, LogSums &sums);
std::optional<LoggedSession> parseLine(QStringView line);
} // namespace SessionLog

namespace SessionText {
// "Ultimi 7 giorni: 3 sessioni, 1 h 05 min, 40 parole, media 990 punti"
QString totalsLine(const QString &label, const SessionTotals &totals);
// "3 righe illeggibili ignorate"
QString unreadableNote(int lines);
inline const QString NoSessions = QStringLiteral("Nessuna sessione registrata ancora");
// The ticks of a count axis of the chart: whole numbers only, at most `spaces`
// equal steps of 1, 2 or 5 times a power of ten, from 0 (or below, to take
// `lowest`) up past `highest`; labels grouped the Italian way ("12.345").
struct AxisTicks
{
    QList<qint64> values;
    QStringList labels;
};
AxisTicks countTicks(qint64 lowest, qint64 highest, int spaces = 5);
} // namespace SessionText
