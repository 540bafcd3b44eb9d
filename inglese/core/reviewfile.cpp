#include "reviewfile.h"

#include "userfile.h"
#include "wordtable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStringDecoder>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace Review {
namespace {
    const QByteArray Columns = "inglese\titaliano\tdirezione\tstabilita\tdifficolta\tprimo_ripasso\t"
                               "ultimo_ripasso\tscadenza\tripassi\tdimenticanze";
    // The version before: one line a word, for both directions.
    const QByteArray ColumnsBefore
        = "inglese\titaliano\tstabilita\tdifficolta\tultimo_ripasso\tscadenza\tripassi\tdimenticanze";
    const QByteArray LimitsTag = "#limiti";
    const QByteArray Directions[2] = { "ing->ita", "ita->ing" };
    const QDate FirstDate(1, 1, 1), LastDate(9999, 12, 31); // what four digits of a year hold

    // The text of a field; false for a broken escape or bytes that are not UTF-8.
    bool unescapedText(QByteArrayView field, QString &text)
    {
        QByteArray bytes;
        if (field.contains('\\')) {
            bytes.reserve(field.size());
            for (qsizetype i = 0; i < field.size(); ++i) {
                char c = field[i];
                if (c == '\\') {
                    const char n = ++i < field.size() ? field[i] : '\0';
                    c = n == 't' ? '\t' : n == 'n' ? '\n' : n == 'r' ? '\r' : n == '\\' ? '\\' : '\0';
                    if (c == '\0')
                        return false;
                }
                bytes.append(c);
            }
            field = bytes;
        }
        if (std::all_of(field.begin(), field.end(), [](char c) { return uchar(c) < 0x80; })) {
            text = QString::fromLatin1(field).trimmed();
            return true;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = QString(decoder.decode(field)).trimmed();
        return !decoder.hasError();
    }

    // A line's fields, split at its tabs; `count` stops one past the most a line has.
    struct Fields
    {
        std::array<QByteArrayView, 11> at;
        qsizetype count = 0;
        QByteArrayView operator[](qsizetype i) const { return at[std::size_t(i)]; }
    };
    Fields split(QByteArrayView line)
    {
        Fields f;
        for (qsizetype start = 0; f.count < qsizetype(f.at.size()); ++f.count) {
            const qsizetype tab = line.indexOf('\t', start);
            f.at[std::size_t(f.count)] = line.sliced(start, (tab < 0 ? line.size() : tab) - start);
            if (tab < 0)
                return ++f.count, f;
            start = tab + 1;
        }
        return f;
    }

    template<typename T> bool number(QByteArrayView field, T &value)
    {
        const char *end = field.data() + field.size();
        const auto [stop, error] = std::from_chars(field.data(), end, value);
        return error == std::errc() && stop == end;
    }

    bool date(QByteArrayView field, QDate &value)
    {
        int y = 0, m = 0, d = 0;
        value = field.size() == 10 && field[4] == '-' && field[7] == '-' && number(field.first(4), y)
                && number(field.sliced(5, 2), m) && number(field.sliced(8, 2), d)
            ? QDate(y, m, d)
            : QDate();
        return value.isValid() && value >= FirstDate;
    }

    QDate bounded(const QDate &day)
    {
        return std::clamp(day, FirstDate, LastDate);
    }

    QByteArray dateText(const QDate &day)
    {
        return day.isValid() ? bounded(day).toString(u"yyyy-MM-dd").toLatin1() : QByteArray();
    }

    double boundedStability(double s)
    {
        return std::clamp(s, Fsrs::MinStability, Fsrs::MaxStability);
    }

    // The texts and direction of a card from the fields of a line of this version, or of the version
    // before (`before`), which has no direction.
    bool parseTexts(const Fields &f, bool before, Card &card)
    {
        if (f.count != (before ? 8 : 10) || !unescapedText(f[0], card.english)
            || !unescapedText(f[1], card.italian) || card.english.isEmpty() || card.italian.isEmpty())
            return false;
        if (before)
            return true;
        card.direction = f[2] == Directions[1] ? Direction::ItalianToEnglish : Direction::EnglishToItalian;
        return f[2] == Directions[0] || f[2] == Directions[1];
    }

    // Its numbers and dates, kept within their ranges.
    bool parseNumbers(const Fields &f, bool before, Card &card)
    {
        const qsizetype at = before ? 2 : 3; // where the numbers start
        long long reviews = 0, lapses = 0;
        double s = 0, d = 0;
        if (!number(f[at], s) || !number(f[at + 1], d) || !std::isfinite(s) || !std::isfinite(d) || s <= 0
            || !number(f[f.count - 2], reviews) || !number(f[f.count - 1], lapses) || reviews < 1
            || lapses < 0)
            return false;
        card.memory = { boundedStability(s), std::clamp(d, 1.0, 10.0) };
        card.reviews = int(std::min<long long>(reviews, Store::MaxCount));
        card.lapses = int(std::min<long long>(lapses, card.reviews));
        const qsizetype days = f.count - 4; // last review, due
        if (!date(f[days], card.lastReview) || !date(f[days + 1], card.due))
            return false;
        if (before) // only a word answered once tells its first day
            card.firstReview = card.reviews == 1 ? card.lastReview : QDate();
        else if (!f[at + 2].isEmpty() && !date(f[at + 2], card.firstReview))
            return false;
        return true;
    }

    // A text field that is its own text: ASCII letters, no escape, no blank at either end.
    bool plain(QByteArrayView field)
    {
        return !field.isEmpty() && uchar(field.front()) > ' ' && uchar(field.back()) > ' '
            && std::all_of(field.begin(), field.end(), [](char c) { return uchar(c) < 0x80 && c != '\\'; });
    }

    char directionMark(Direction direction)
    {
        return direction == Direction::EnglishToItalian ? '>' : '<';
    }

    QByteArray cardLine(const Card &c)
    {
        QByteArray line = escapedText(c.english);
        line += '\t' + escapedText(c.italian) + '\t' + Directions[int(c.direction)] + '\t';
        line += QByteArray::number(boundedStability(c.memory.stability), 'f', 4) + '\t';
        line += QByteArray::number(std::clamp(c.memory.difficulty, 1.0, 10.0), 'f', 4) + '\t';
        line += dateText(c.firstReview) + '\t' + dateText(c.lastReview) + '\t' + dateText(c.due) + '\t';
        const int reviews = std::clamp(c.reviews, 1, Store::MaxCount);
        line += QByteArray::number(reviews) + '\t' + QByteArray::number(std::clamp(c.lapses, 0, reviews));
        return line;
    }

    QByteArray cardKey(QStringView english, QStringView italian, Direction direction)
    {
        return wordKey(english, italian) + directionMark(direction);
    }

    Store::Stamp stampOf(const QString &path)
    {
        struct stat info
        {
        };
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return {};
        return { true, qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec), qint64(info.st_mtim.tv_nsec) };
    }

    // Seeds the spread of a due date: the word, its direction, the day and how often it was answered.
    std::uint64_t seedOf(const QByteArray &key, const QDate &day, int reviews)
    {
        std::uint64_t h = 14695981039346656037ULL; // FNV-1a
        for (const char c : key)
            h = (h ^ uchar(c)) * 1099511628211ULL;
        return h ^ (std::uint64_t(day.toJulianDay()) << 20) ^ std::uint64_t(reviews);
    }
} // namespace

// Tabs and line ends inside a text would break the line apart.
QByteArray escapedText(const QString &text)
{
    QByteArray out;
    for (const char c : text.toUtf8()) {
        const char *named = c == '\\' ? "\\\\"
            : c == '\t'               ? "\\t"
            : c == '\n'               ? "\\n"
            : c == '\r'               ? "\\r"
                                      : nullptr;
        named ? out.append(named) : out.append(c);
    }
    return out;
}

QByteArray wordKey(QStringView english, QStringView italian)
{
    return escapedText(english.trimmed().toString()) + '\t' + escapedText(italian.trimmed().toString());
}

QSet<QByteArray> wordKeys(const WordTable &words)
{
    QSet<QByteArray> keys;
    keys.reserve(words.count());
    for (int row = 0; row < words.count(); ++row)
        keys.insert(wordKey(words.english(row), words.italian(row)));
    return keys;
}

std::size_t Store::KeyHash::operator()(QByteArrayView key) const noexcept
{
    std::uint64_t h = 14695981039346656037ULL; // FNV-1a
    for (const char c : key)
        h = (h ^ uchar(c)) * 1099511628211ULL;
    return std::size_t(h);
}

void Store::setVocabulary(const WordTable *words)
{
    m_filtered = words != nullptr;
    m_known.clear();
    if (words)
        for (const QByteArray &key : wordKeys(*words))
            m_known.insert(key);
}

void Store::clear()
{
    m_cards.clear();
    m_index.clear();
    m_damaged.clear();
    m_limits = {};
    m_format = 0;
    m_orphans = 0;
    m_leftOut = 0;
}

Store::Status Store::read(const QString &path, const WordTable *words)
{
    setVocabulary(words);
    m_answers.clear();
    m_limitsChanged = false;
    return load(path);
}

Store::Status Store::load(const QString &path)
{
    clear();
    m_stamp = stampOf(path);
    QByteArray rest; // a line the last piece began
    bool first = true, other = false;
    const auto lines = [&](QByteArrayView piece, bool last) {
        qsizetype start = 0;
        for (qsizetype end; (end = piece.indexOf('\n', start)) >= 0 || (last && start < piece.size());
             start = end + 1) {
            if (end < 0)
                end = piece.size();
            const QByteArrayView raw = piece.sliced(start, end - start);
            QByteArrayView line = raw;
            if (line.endsWith('\r'))
                line.chop(1);
            if (first) {
                first = false;
                if (line.startsWith("\xEF\xBB\xBF")) // an editor's byte order mark
                    line = line.sliced(3);
                m_format = line == Columns ? 2 : line == ColumnsBefore ? 1 : 0;
                other = m_format == 0;
            } else if (!other && !line.isEmpty()) {
                take(line, raw);
            }
        }
        return start;
    };
    const UserFile::Pieces file = UserFile::readPieces(path, MaxFileBytes, [&](const QByteArray &piece) {
        if (rest.isEmpty()) {
            rest = piece.sliced(lines(piece, false));
        } else {
            rest += piece;
            rest = rest.sliced(lines(rest, false));
        }
        return !other; // a file of another version is not read further
    });
    // A link to nowhere is no missing file: a new one would replace the link.
    if (file.problem == UserFile::Problem::Missing && !QFileInfo(path).isSymLink())
        return m_status = Status::Missing;
    if (!file) {
        clear();
        return m_status = Status::Unreadable;
    }
    lines(rest, true);
    if (other) {
        clear();
        return m_status = Status::OtherVersion;
    }
    return m_status = Status::Read;
}

// `raw`: the line with its carriage return, if it had one, so that a damaged line is kept as it was
// whatever the line ends of the file.
void Store::take(QByteArrayView line, QByteArrayView raw)
{
    const Fields f = split(line);
    int daily = 0, fresh = 0;
    if (f.count == 3 && f[0] == LimitsTag && number(f[1], daily) && number(f[2], fresh) && daily > 0
        && fresh >= 0) {
        m_limits.daily = std::min(daily, Limits::Most);
        m_limits.newWords = std::min(fresh, m_limits.daily);
        return;
    }
    // A line of this version's ten fields in a file of the version before is read as it will be read once
    // the file is written anew under this version's columns.
    const bool before = m_format == 1 && f.count != 10;
    if (m_filtered && m_orphans >= KeptOrphans && plain(f[0]) && plain(f[1])
        && f.count == (before ? 8 : 10)) {
        // Past the bound, a word of plain texts is told an orphan without making its strings: its
        // key is the start of its line.
        if (!m_known.contains(line.first(f[0].size() + 1 + f[1].size()))) {
            ++m_leftOut;
            return;
        }
    }
    Card card;
    if (!parseTexts(f, before, card))
        return damaged(raw);
    QByteArray key = escapedText(card.english) + '\t' + escapedText(card.italian);
    const bool orphan = m_filtered && !m_known.contains(key);
    if (orphan && m_orphans >= KeptOrphans) {
        ++m_leftOut;
        return;
    }
    key += directionMark(card.direction);
    if (!parseNumbers(f, before, card) || m_index.contains(key))
        return damaged(raw);
    m_orphans += orphan;
    m_index.insert(key, int(m_cards.size()));
    m_cards.append(card);
    if (before) { // its history, the best guess for both directions
        card.direction = Direction::ItalianToEnglish;
        key.back() = directionMark(card.direction);
        m_index.insert(key, int(m_cards.size()));
        m_cards.append(card);
    }
}

void Store::damaged(QByteArrayView line)
{
    if (m_damaged.size() >= KeptDamaged)
        ++m_leftOut;
    else
        m_damaged.append(line.toByteArray());
}

Store::Status Store::refresh(const QString &path, const WordTable *words)
{
    if (stampOf(path) == m_stamp && m_status != Status::Unreadable)
        return m_status;
    if (words)
        setVocabulary(words);
    return merge(path);
}

Store::Status Store::merge(const QString &path)
{
    // What the file holds now, then what this store changed since it last read or wrote it.
    const QList<Answer> answers = std::exchange(m_answers, {});
    const bool limitsChanged = std::exchange(m_limitsChanged, false);
    const Limits limits = m_limits;
    load(path);
    if (writable()) {
        for (const Answer &a : answers)
            answer(a.english, a.italian, a.direction, a.grade, a.day);
        if (limitsChanged)
            setLimits(limits);
    }
    return m_status;
}

void Store::setLimits(const Limits &limits)
{
    m_limits.daily = std::clamp(limits.daily, 1, Limits::Most);
    m_limits.newWords = std::clamp(limits.newWords, 0, m_limits.daily);
    m_limitsChanged = true;
}

bool Store::writeLimits(const QString &path, const Limits &limits, QString *error)
{
    const Limits before = m_limits;
    const bool changed = m_limitsChanged;
    setLimits(limits);
    if (write(path, error))
        return true;
    m_limits = before;
    m_limitsChanged = changed;
    return false;
}

QByteArray Store::text() const
{
    QByteArray text = Columns + '\n' + LimitsTag + '\t' + QByteArray::number(m_limits.daily) + '\t'
        + QByteArray::number(m_limits.newWords) + '\n';
    for (const Card &c : m_cards)
        text += cardLine(c) + '\n';
    for (const QByteArray &line : m_damaged)
        text += line + '\n';
    return text;
}

bool Store::write(const QString &path, QString *error)
{
    // Two copies writing at once would each miss what the other wrote: one at a time.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(2000); // an unwritable folder fails the write below, with its reason
    if (writable() && stampOf(path) != m_stamp)
        merge(path); // someone else wrote the file since
    if (!writable()) {
        if (error)
            *error = QStringLiteral("il file è di un'altra versione o illeggibile");
        return false;
    }
    if (m_leftOut > 0) {
        // What is left out stays in a copy of the file as it was.
        const QString copy = QFileInfo(path).absoluteDir().filePath(CopyName);
        QFile::remove(copy);
        if (!QFile::copy(path, copy)) {
            if (error)
                *error = QStringLiteral("non riesco a farne prima una copia in ") + copy;
            return false;
        }
    }
    if (const UserFile::Written written = UserFile::write(path, text()); !written) {
        if (error)
            *error = UserFile::reasonText(written);
        return false;
    }
    m_stamp = stampOf(path);
    m_answers.clear();
    m_limitsChanged = false;
    m_leftOut = 0;
    return true;
}

const Card *Store::find(QStringView english, QStringView italian, Direction direction) const
{
    const auto it = m_index.constFind(cardKey(english, italian, direction));
    return it == m_index.cend() ? nullptr : &m_cards.at(*it);
}

Card &Store::cardFor(QStringView english, QStringView italian, Direction direction)
{
    const QByteArray k = cardKey(english, italian, direction);
    auto it = m_index.constFind(k);
    if (it == m_index.cend()) {
        Card fresh;
        fresh.english = english.trimmed().toString();
        fresh.italian = italian.trimmed().toString();
        fresh.direction = direction;
        it = m_index.insert(k, int(m_cards.size()));
        m_cards.append(fresh);
    }
    return m_cards[*it];
}

const Card *Store::answer(QStringView english, QStringView italian, Direction direction, Fsrs::Grade grade,
    const QDate &day, const Fsrs::Model &model)
{
    if (english.trimmed().isEmpty() || italian.trimmed().isEmpty() || !day.isValid())
        return nullptr;
    m_answers.append({ english.toString(), italian.toString(), direction, grade, day });
    Card &card = cardFor(english, italian, direction);
    // A clock put back counts as the same day.
    const double elapsed = card.lastReview.isValid() ? std::max<qint64>(card.lastReview.daysTo(day), 0) : 0;
    if (grade == Fsrs::Grade::Again && card.reviews > 0 && elapsed >= 1)
        card.lapses = std::min(card.lapses + 1, MaxCount);
    if (card.reviews == 0)
        card.firstReview = day;
    card.memory = model.next(card.memory, elapsed, grade);
    card.lastReview = bounded(day);
    card.reviews = std::min(card.reviews + 1, MaxCount);
    const int days = model.interval(card.memory.stability);
    const double draw = Fsrs::drawFrom(seedOf(cardKey(english, italian, direction), day, card.reviews));
    card.due = bounded(day.addDays(Fsrs::spread(days, draw)));
    return &card;
}

} // namespace Review
