#include "sessionlog.h"

#include "userfile.h"

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

int LoggedSession::seconds() const
{
    const int s = start.secsTo(end);
    return s < 0 ? s + SecondsPerDay : s;
}

int SessionTotals::averagePoints() const
{
    return sessions > 0 ? int(qRound64(double(points) / sessions)) : 0;
}

SessionLog SessionLog::read(const QString &path, QString *error)
{
    const UserFile::Bytes file = UserFile::read(path, MaxFileBytes);
    if (!file) {
        if (error && file.problem != UserFile::Problem::Missing)
            *error = UserFile::problemText(path, file.problem, MaxFileBytes, file.reason);
        return {};
    }
    return parse(file.bytes);
}

SessionLog SessionLog::parse(QByteArrayView bytes)
{
    SessionLog log;
    QString line;
    for (qsizetype pos = 0; pos < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', pos);
        if (end < 0)
            end = bytes.size();
        // Lines the program wrote are ASCII; any other byte makes the line unreadable whatever its
        // code. One buffer serves every line.
        line.resize(end - pos);
        std::transform(
            bytes.begin() + pos, bytes.begin() + end, line.begin(), [](char c) { return QChar(uchar(c)); });
        pos = end + 1;
        if (QStringView(line).trimmed().isEmpty())
            continue;
        if (const std::optional<LoggedSession> session = parseLine(line))
            log.m_sessions.append(*session);
        else
            ++log.m_unreadable;
    }
    return log;
}

std::optional<LoggedSession> SessionLog::parseLine(QStringView line)
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

void SessionLog::add(const LoggedSession &session)
{
    m_sessions.append(session);
}

SessionTotals SessionLog::totals(const QDate &first, const QDate &last) const
{
    SessionTotals totals;
    for (const LoggedSession &s : m_sessions) {
        if ((first.isValid() && s.date < first) || (last.isValid() && s.date > last))
            continue;
        ++totals.sessions;
        totals.seconds += s.seconds();
        totals.words += s.words;
        totals.points += s.points;
    }
    return totals;
}

PerLesson<int> SessionLog::lessonCounts() const
{
    PerLesson<int> counts {};
    for (const LoggedSession &s : m_sessions) {
        if (s.lessons.isEmpty())
            ++counts[0];
        for (const int lesson : s.lessons)
            ++counts[std::size_t(lesson)];
    }
    return counts;
}

QList<PeriodTotals> SessionLog::periods(int maxPeriods, PeriodTotals::Length *length) const
{
    if (m_sessions.isEmpty())
        return {};
    const auto [earliest, latest] = std::minmax_element(m_sessions.cbegin(), m_sessions.cend(),
        [](const LoggedSession &a, const LoggedSession &b) { return a.date < b.date; });
    const QDate first = earliest->date;
    const QDate last = latest->date;
    const qint64 days = first.daysTo(last) + 1;
    PeriodTotals::Length unit = PeriodTotals::Year;
    if (days <= maxPeriods)
        unit = PeriodTotals::Day;
    else if (first.addDays(1 - first.dayOfWeek()).daysTo(last.addDays(1 - last.dayOfWeek())) / 7 + 1
        <= maxPeriods)
        unit = PeriodTotals::Week;
    else if ((last.year() - first.year()) * 12 + last.month() - first.month() + 1 <= maxPeriods)
        unit = PeriodTotals::Month;
    if (length)
        *length = unit;
    const auto startOf = [unit](const QDate &d) {
        switch (unit) {
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
    QMap<QDate, SessionTotals> byStart;
    for (const LoggedSession &s : m_sessions) {
        SessionTotals &t = byStart[startOf(s.date)];
        ++t.sessions;
        t.seconds += s.seconds();
        t.words += s.words;
        t.points += s.points;
    }
    QList<PeriodTotals> result;
    result.reserve(byStart.size());
    for (auto p = byStart.cbegin(); p != byStart.cend(); ++p) {
        const QDate start = p.key();
        const QDate next = unit == PeriodTotals::Day ? start.addDays(1)
            : unit == PeriodTotals::Week             ? start.addDays(7)
            : unit == PeriodTotals::Month            ? start.addMonths(1)
                                                     : start.addYears(1);
        result.append({ start, next, p.value() });
    }
    return result;
}

LogSummary SessionLog::summary(const QDate &today, int maxPeriods, int maxRuns) const
{
    LogSummary s;
    s.lastWeek = totals(today.addDays(-6), today);
    s.lastMonth = totals(today.addDays(-29), today);
    s.ever = totals({}, {});
    s.lessonCounts = lessonCounts();
    s.periods = periods(maxPeriods, &s.length);
    if (m_sessions.size() <= maxRuns)
        s.runs = m_sessions;
    s.sessions = m_sessions.size();
    s.unreadable = m_unreadable;
    return s;
}

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

} // namespace SessionText
