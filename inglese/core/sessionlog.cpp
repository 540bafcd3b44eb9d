#include "sessionlog.h"

#include "userfile.h"

#include <QLocale>

#include <algorithm>
#include <array>

namespace {

constexpr int SecondsPerDay = 24 * 60 * 60;

// Up to N pieces of a line, kept without allocating: a log may hold millions of lines.
template<std::size_t N> struct Pieces
{
    std::array<QStringView, N> part;
    qsizetype size = 0; // N + 1 when there were more than N
    QStringView operator[](qsizetype i) const { return part[std::size_t(i)]; }
    void add(QStringView piece)
    {
        if (size < qsizetype(N))
            part.at(std::size_t(size)) = piece; // checked: a piece past the end is a fault, not a write
        size = std::min(size + 1, qsizetype(N) + 1);
    }
};

template<std::size_t N> Pieces<N> split(QStringView text, QChar separator)
{
    Pieces<N> pieces;
    qsizetype from = 0;
    for (qsizetype at; (at = text.indexOf(separator, from)) >= 0; from = at + 1)
        pieces.add(text.sliced(from, at - from));
    pieces.add(text.sliced(from));
    return pieces;
}

// Splits on the first of `separators` found in the text; every part must then use that one. A text
// without any is no date or time: no pieces.
Pieces<4> splitOnAny(QStringView text, QStringView separators)
{
    for (const QChar separator : separators) {
        if (text.contains(separator))
            return split<4>(text, separator);
    }
    return {};
}

// 05/12/2026 as written; also 5/12/26, 05.12.2026, 05-12-2026 and 2026-12-05.
QDate parseDate(QStringView text)
{
    const Pieces<4> parts = splitOnAny(text, u"/.-");
    if (parts.size != 3)
        return {};
    if (parts[0].size() == 4)
        return QDate(decimalDigits(parts[0], 4), decimalDigits(parts[1], 2), decimalDigits(parts[2], 2));
    int year = -1;
    if (parts[2].size() == 2)
        year = 2000 + decimalDigits(parts[2], 2);
    else if (parts[2].size() == 4)
        year = decimalDigits(parts[2], 4);
    if (year < 0)
        return {};
    return QDate(year, decimalDigits(parts[1], 2), decimalDigits(parts[0], 2));
}

// 09:10:02 as written; also 9:10, 9.10.02, and a 12-hour time followed by AM or PM.
QTime parseTime(QStringView text, QStringView amPm)
{
    const Pieces<4> parts = splitOnAny(text, u":.");
    if (parts.size < 2 || parts.size > 3 || parts[1].size() != 2 || (parts.size == 3 && parts[2].size() != 2))
        return {};
    int hour = decimalDigits(parts[0], 2);
    const int minute = decimalDigits(parts[1], 2);
    const int second = parts.size == 3 ? decimalDigits(parts[2], 2) : 0;
    if (!amPm.isEmpty()) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (amPm.compare(u"PM", Qt::CaseInsensitive) == 0 ? 12 : 0);
    }
    return QTime(hour, minute, second);
}

bool isAmPm(QStringView token)
{
    return token.compare(u"AM", Qt::CaseInsensitive) == 0 || token.compare(u"PM", Qt::CaseInsensitive) == 0;
}

// "12/987/3": words, points (may be below zero), critical words.
bool parseCounts(QStringView text, LoggedSession &session)
{
    const Pieces<4> parts = split<4>(text, u'/');
    if (parts.size != 3)
        return false;
    const bool negative = parts[1].startsWith(u'-');
    const int points = decimalDigits(negative ? parts[1].mid(1) : parts[1], 9);
    session.words = decimalDigits(parts[0], 9);
    session.critical = decimalDigits(parts[2], 9);
    session.points = negative ? -points : points;
    return session.words >= 0 && points >= 0 && session.critical >= 0;
}

} // namespace

namespace {
constexpr qint64 MsecsPerDay = qint64(SecondsPerDay) * 1000;
constexpr qint64 MsecsPerHour = qint64(60 * 60) * 1000;
// No zone is more than 14 hours from UTC.
constexpr qint64 FarthestOffset = 14 * MsecsPerHour;

// A local date and time counted as if it were UTC.
qint64 localMsecs(const QDate &day, const QTime &time)
{
    return (day.toJulianDay() - QDate(1970, 1, 1).toJulianDay()) * MsecsPerDay + time.msecsSinceStartOfDay();
}
} // namespace

ZoneClock::ZoneClock(const QTimeZone &zone)
{
    if (!zone.isValid() || !zone.hasTransitions())
        return;
    // The years a log's runs can have taken place in; outside them the clock
    // counts as never changed.
    const QDateTime from = QDate(1900, 1, 1).startOfDay(Qt::UTC), to = QDate(2200, 1, 1).startOfDay(Qt::UTC);
    int offset = zone.offsetFromUtc(from);
    for (const QTimeZone::OffsetData &change : zone.transitions(from, to)) {
        if (change.offsetFromUtc != offset)
            m_changes.append({ change.atUtc.toMSecsSinceEpoch(), offset, change.offsetFromUtc });
        offset = change.offsetFromUtc;
    }
}

int ZoneClock::offsetAt(qint64 utc) const
{
    const auto after = std::upper_bound(m_changes.cbegin(), m_changes.cend(), utc,
        [](qint64 t, const Change &change) { return t < change.at; });
    return after == m_changes.cbegin() ? after->before : std::prev(after)->after;
}

QList<qint64> ZoneClock::instants(qint64 local) const
{
    QList<qint64> found;
    const int early = offsetAt(local - FarthestOffset), late = offsetAt(local + FarthestOffset);
    for (const int offset : { early, late }) {
        const qint64 utc = local - qint64(offset) * 1000;
        if (offsetAt(utc) == offset && !found.contains(utc))
            found.append(utc);
    }
    if (found.isEmpty()) // an hour the clock skipped: as if it had not been put forward
        found.append(local - qint64(early) * 1000);
    return found;
}

qint64 ZoneClock::secondsBetween(const QDate &day, const QTime &start, const QTime &end) const
{
    const qint64 simple = start.secsTo(end);
    const qint64 plain = simple < 0 ? simple + SecondsPerDay : simple;
    const qint64 endLocal = localMsecs(day, end), startLocal = localMsecs(day, start);
    const qint64 dayBefore = startLocal - MsecsPerDay;
    const auto near = std::lower_bound(m_changes.cbegin(), m_changes.cend(), dayBefore - FarthestOffset,
        [](const Change &change, qint64 t) { return change.at < t; });
    if (near == m_changes.cend() || near->at > endLocal + FarthestOffset)
        return plain;
    qint64 shortest = -1;
    const QList<qint64> starts = instants(startLocal) + instants(dayBefore);
    for (const qint64 e : instants(endLocal))
        for (const qint64 s : starts)
            if (e >= s && (shortest < 0 || e - s < shortest))
                shortest = e - s;
    return shortest < 0 ? plain : shortest / 1000;
}

int SessionTotals::averagePoints() const
{
    return sessions > 0 ? int(qRound64(double(points) / sessions)) : 0;
}

void SessionTotals::add(const LoggedSession &run, qint64 runSeconds)
{
    ++sessions;
    seconds += runSeconds;
    words += run.words;
    points += run.points;
}

namespace {
void addTotals(SessionTotals &to, const SessionTotals &from)
{
    to.sessions += from.sessions;
    to.seconds += from.seconds;
    to.words += from.words;
    to.points += from.points;
}

// The periods of `length` that hold the days (or months) of `sums`, in order.
QList<PeriodTotals> periodsOf(const QMap<QDate, SessionTotals> &sums, PeriodTotals::Length length)
{
    const auto startOf = [length](const QDate &d) {
        switch (length) {
        case PeriodTotals::Day:
            return d;
        case PeriodTotals::Week:
            return d.addDays(1 - d.dayOfWeek());
        case PeriodTotals::Month:
            return QDate(d.year(), d.month(), 1);
        case PeriodTotals::Year:
            break;
        }
        return QDate(d.year(), 1, 1);
    };
    QList<PeriodTotals> periods;
    for (auto sum = sums.cbegin(); sum != sums.cend(); ++sum) {
        const QDate first = startOf(sum.key());
        if (periods.isEmpty() || periods.last().first != first) {
            const QDate next = length == PeriodTotals::Day ? first.addDays(1)
                : length == PeriodTotals::Week             ? first.addDays(7)
                : length == PeriodTotals::Month            ? first.addMonths(1)
                                                           : first.addYears(1);
            periods.append({ first, next, {} });
        }
        addTotals(periods.last().totals, sum.value());
    }
    return periods;
}
} // namespace

LogSums::LogSums(const QDate &today, int maxPeriods, int maxRuns, const QTimeZone &zone)
    : m_today(today)
    , m_maxPeriods(maxPeriods)
    , m_maxRuns(maxRuns)
    , m_clock(zone)
{
}

void LogSums::add(const LoggedSession &run)
{
    const qint64 seconds = run.seconds(m_clock);
    LogSummary &s = m_summary;
    const QDate &day = run.date;
    if (day <= m_today && day >= m_today.addDays(-29)) {
        s.lastMonth.add(run, seconds);
        if (day >= m_today.addDays(-6))
            s.lastWeek.add(run, seconds);
    }
    s.ever.add(run, seconds);
    if (run.lessons.isEmpty())
        ++s.lessonCounts[0];
    for (const int lesson : run.lessons)
        ++s.lessonCounts[std::size_t(lesson)];
    if (++s.sessions <= m_maxRuns)
        s.runs.append(run);
    else if (!s.runs.isEmpty())
        s.runs = {};
    m_first = m_first.isValid() ? std::min(m_first, day) : day;
    m_last = m_last.isValid() ? std::max(m_last, day) : day;
    // More days than bars a day or a week could show: from now on the bars are months or years.
    if (!m_tooManyDays) {
        m_days[day].add(run, seconds);
        if (m_days.size() > 7 * (qsizetype(m_maxPeriods) + 1)) {
            m_tooManyDays = true;
            m_days = {};
        }
    }
    m_months[QDate(day.year(), day.month(), 1)].add(run, seconds);
}

void LogSums::clear()
{
    m_summary = {};
    m_first = m_last = QDate();
    m_days = {};
    m_tooManyDays = false;
    m_months = {};
}

LogSummary LogSums::summary() const
{
    LogSummary s = m_summary;
    if (s.sessions == 0)
        return s;
    const QDate &first = m_first, &last = m_last;
    const auto monday = [](const QDate &d) { return d.addDays(1 - d.dayOfWeek()); };
    if (first.daysTo(last) + 1 <= m_maxPeriods)
        s.length = PeriodTotals::Day;
    else if (monday(first).daysTo(monday(last)) / 7 + 1 <= m_maxPeriods)
        s.length = PeriodTotals::Week;
    else if ((last.year() - first.year()) * 12 + last.month() - first.month() + 1 <= m_maxPeriods)
        s.length = PeriodTotals::Month;
    else
        s.length = PeriodTotals::Year;
    Q_ASSERT(s.length >= PeriodTotals::Month || !m_tooManyDays);
    s.periods = periodsOf(s.length >= PeriodTotals::Month ? m_months : m_days, s.length);
    return s;
}

namespace {
// A line is at most three dates and times, two AM or PM, the counts and twenty lessons, with blanks.
constexpr qsizetype LongestLine = 1024;

bool blank(QByteArrayView bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return QChar::isSpace(uchar(c)); });
}

// Cuts the log into lines as its pieces come, holding at most one line.
class LineCutter
{
public:
    explicit LineCutter(LogSums &sums)
        : m_sums(sums)
    {
    }

    void take(QByteArrayView piece)
    {
        for (qsizetype from = 0; from < piece.size();) {
            const qsizetype at = piece.indexOf('\n', from);
            const QByteArrayView part = piece.sliced(from, (at < 0 ? piece.size() : at) - from);
            from = at < 0 ? piece.size() : at + 1;
            if (at >= 0 && m_line.isEmpty() && !m_tooLong && part.size() <= LongestLine) {
                read(part); // whole in this piece, as nearly every line
                continue;
            }
            if (!m_tooLong && m_line.size() + part.size() > LongestLine) {
                m_tooLong = true;
                m_blank = blank(m_line);
                m_line.clear();
            }
            if (m_tooLong)
                m_blank = m_blank && blank(part);
            else
                m_line += part;
            if (at >= 0)
                endLine();
        }
    }

    void finish()
    {
        if (!m_line.isEmpty() || m_tooLong)
            endLine();
    }

private:
    void endLine()
    {
        if (m_tooLong && !m_blank)
            m_sums.addUnreadable();
        else if (!m_tooLong)
            read(m_line);
        m_tooLong = false;
        m_line.clear();
    }

    void read(QByteArrayView bytes)
    {
        // Lines the program wrote are ASCII; any other byte makes the line unreadable whatever its code.
        m_text.resize(bytes.size());
        std::transform(bytes.begin(), bytes.end(), m_text.begin(), [](char c) { return QChar(uchar(c)); });
        if (QStringView(m_text).trimmed().isEmpty())
            return;
        if (const std::optional<LoggedSession> run = SessionLog::parseLine(m_text))
            m_sums.add(*run);
        else
            m_sums.addUnreadable();
    }

    LogSums &m_sums;
    QByteArray m_line; // the start of a line that the next piece goes on with
    bool m_tooLong = false; // then its bytes are not kept, only whether they are all blanks
    bool m_blank = true;
    QString m_text; // one buffer serves every line
};
} // namespace

namespace SessionLog {

bool read(const QString &path, LogSums &sums, QString *error, const std::atomic<bool> *stop)
{
    LineCutter lines(sums);
    const UserFile::Pieces file = UserFile::readPieces(path, MaxFileBytes, [&](const QByteArray &piece) {
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
        lines.take(piece);
        return true;
    });
    if (file.stopped) {
        sums.clear();
        return false;
    }
    if (!file) {
        sums.clear();
        if (file.problem == UserFile::Problem::Missing)
            return true;
        if (error)
            *error = UserFile::problemText(path, file.problem, MaxFileBytes, file.reason);
        return false;
    }
    lines.finish();
    return true;
}

void parse(QByteArrayView bytes, LogSums &sums)
{
    LineCutter lines(sums);
    lines.take(bytes);
    lines.finish();
}

std::optional<LoggedSession> parseLine(QStringView line)
{
    // Three dates and times, two AM or PM, the counts and at most twenty lessons.
    Pieces<26> tokens;
    for (qsizetype from = 0; from < line.size();) {
        qsizetype at = line.indexOf(u' ', from);
        if (at < 0)
            at = line.size();
        if (const QStringView token = line.sliced(from, at - from).trimmed(); !token.isEmpty())
            tokens.add(token);
        from = at + 1;
    }
    if (tokens.size > 26)
        return std::nullopt;
    LoggedSession session;
    qsizetype i = 0;
    const auto next = [&] { return i < tokens.size ? tokens[i++] : QStringView(); };
    const auto time = [&] {
        const QStringView text = next();
        const QStringView amPm = i < tokens.size && isAmPm(tokens[i]) ? tokens[i++] : QStringView();
        return parseTime(text, amPm);
    };
    session.date = parseDate(next());
    session.start = time();
    session.end = time();
    if (!session.date.isValid() || !session.start.isValid() || !session.end.isValid()
        || !parseCounts(next(), session) || i == tokens.size)
        return std::nullopt;
    if (tokens.size - i == 1 && tokens[i] == u"TUTTE")
        return session;
    for (; i < tokens.size; ++i) {
        const int lesson = parseLesson(tokens[i]);
        // The program writes each chosen lesson once, in ascending order.
        if (lesson < 1 || (!session.lessons.isEmpty() && lesson <= session.lessons.last()))
            return std::nullopt;
        session.lessons.append(lesson);
    }
    return session;
}

} // namespace SessionLog

namespace SessionText {

QString totalsLine(const QString &label, const SessionTotals &totals)
{
    if (totals.sessions == 0)
        return label + QStringLiteral(": nessuna sessione");
    const qint64 minutes = totals.seconds / 60;
    const QString time = minutes >= 60
        ? QStringLiteral("%1 h %2 min").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'))
        : QStringLiteral("%1 min").arg(minutes);
    return QStringLiteral("%1: %2 %3, %4 di esercizio, %5 %6, media %7 punti")
        .arg(label)
        .arg(totals.sessions)
        .arg(totals.sessions == 1 ? QStringLiteral("sessione") : QStringLiteral("sessioni"), time)
        .arg(totals.words)
        .arg(totals.words == 1 ? QStringLiteral("parola") : QStringLiteral("parole"))
        .arg(totals.averagePoints());
}

QString unreadableNote(int lines)
{
    return lines == 1 ? QStringLiteral("1 riga illeggibile ignorata")
                      : QStringLiteral("%1 righe illeggibili ignorate").arg(lines);
}

AxisTicks countTicks(qint64 lowest, qint64 highest, int spaces)
{
    lowest = std::min<qint64>(lowest, 0);
    highest = std::max(highest, lowest + 1);
    // The multiple of `step` at or below `n`, and at or above it.
    const auto down
        = [](qint64 n, qint64 step) { return n >= 0 ? n / step * step : -((step - 1 - n) / step * step); };
    const auto up = [&down](qint64 n, qint64 step) { return -down(-n, step); };
    qint64 step = 1; // then 2, 5, 10, 20, 50, ...
    for (int i = 0; (up(highest, step) - down(lowest, step)) / step > spaces; ++i)
        step = i % 3 == 1 ? step / 2 * 5 : step * 2;
    AxisTicks ticks;
    const QLocale italian(QLocale::Italian);
    for (qint64 value = down(lowest, step); value <= up(highest, step); value += step) {
        ticks.values.append(value);
        ticks.labels.append(italian.toString(value));
    }
    return ticks;
}

} // namespace SessionText
