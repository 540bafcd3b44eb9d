#include "review.h"

#include "drill.h"
#include "platform.h"
#include "session.h"
#include "userfile.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <array>
#include <functional>

namespace Review {
namespace {
    // "Sei lento!" comes after this many seconds, whatever the free time.
    constexpr int SlowAfter = 10;
    // A word is learned when its chance of recall stays at 90% or more for three weeks.
    constexpr double LearnedStability = 21;
    // Far more than the longest vocabulary needs (32,767 words of about 150 bytes).
    constexpr qint64 MaxFileBytes = 64 << 20;

    const QStringList Columns { QStringLiteral("inglese"), QStringLiteral("italiano"),
        QStringLiteral("stabilita"), QStringLiteral("difficolta"), QStringLiteral("ultimo_ripasso"),
        QStringLiteral("scadenza"), QStringLiteral("ripassi"), QStringLiteral("dimenticanze") };
    const QString LimitsTag = QStringLiteral("#limiti");
    const QString DateFormat = QStringLiteral("yyyy-MM-dd");
    using Vocabulary::CrLf;

    // Tabs and line ends inside a text would break the line apart.
    QString escaped(QStringView text)
    {
        QString out;
        for (const QChar c : text) {
            if (c == u'\\')
                out += QStringLiteral("\\\\");
            else if (c == u'\t')
                out += QStringLiteral("\\t");
            else if (c == u'\n')
                out += QStringLiteral("\\n");
            else if (c == u'\r')
                out += QStringLiteral("\\r");
            else
                out += c;
        }
        return out;
    }

    QString unescaped(QStringView text)
    {
        QString out;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const QChar c = text[i];
            if (c != u'\\' || i + 1 == text.size()) {
                out += c;
                continue;
            }
            const QChar n = text[++i];
            out += n == u't' ? QChar(u'\t') : n == u'n' ? QChar(u'\n') : n == u'r' ? QChar(u'\r') : n;
        }
        return out;
    }

    bool parseCard(const QString &line, Card &card)
    {
        const QStringList f = line.split(u'\t');
        if (f.size() != Columns.size() || f[0].isEmpty() || f[1].isEmpty())
            return false;
        std::array<bool, 4> ok {}; // each number column read
        card.english = unescaped(f[0]);
        card.italian = unescaped(f[1]);
        card.memory.stability = f[2].toDouble(&ok[0]);
        card.memory.difficulty = f[3].toDouble(&ok[1]);
        card.lastReview = QDate::fromString(f[4], DateFormat);
        card.due = QDate::fromString(f[5], DateFormat);
        card.reviews = f[6].toInt(&ok[2]);
        card.lapses = f[7].toInt(&ok[3]);
        return std::ranges::all_of(ok, std::identity()) && card.lastReview.isValid() && card.due.isValid()
            && card.memory.stability > 0 && card.memory.stability <= Fsrs::MaximumInterval
            && card.memory.difficulty >= 1 && card.memory.difficulty <= 10 && card.reviews > 0
            && card.lapses >= 0 && card.lapses <= card.reviews;
    }

    QString cardLine(const Card &c)
    {
        return escaped(c.english) + u'\t' + escaped(c.italian) + u'\t'
            + QString::number(c.memory.stability, 'f', 4) + u'\t'
            + QString::number(c.memory.difficulty, 'f', 4) + u'\t' + c.lastReview.toString(DateFormat) + u'\t'
            + c.due.toString(DateFormat) + u'\t' + QString::number(c.reviews) + u'\t'
            + QString::number(c.lapses);
    }

    QString trimmed(QStringView text)
    {
        return text.trimmed().toString();
    }

    // Answers given on `today`, and how many of them were a word's first.
    std::pair<int, int> answeredOn(const Store &store, const QDate &today)
    {
        int all = 0, first = 0;
        for (const Card &c : store.cards()) {
            if (c.lastReview == today) {
                ++all;
                first += c.reviews == 1;
            }
        }
        return { all, first };
    }
} // namespace

Fsrs::Grade gradeOf(const AnswerFacts &f)
{
    if (f.givenUp || f.helpShown)
        return Fsrs::Grade::Again;
    if (f.elapsedSeconds > SlowAfter || f.elapsedSeconds >= f.freeTime)
        return Fsrs::Grade::Hard;
    if (3 * f.elapsedSeconds < f.freeTime)
        return Fsrs::Grade::Easy;
    return Fsrs::Grade::Good;
}

QString Store::key(QStringView english, QStringView italian)
{
    return trimmed(english) + u'\t' + trimmed(italian);
}

Store::Status Store::read(const QString &path)
{
    m_cards.clear();
    m_index.clear();
    m_damaged.clear();
    limits = {};
    // A link to nowhere is no missing file: a new one would replace the link.
    const UserFile::Bytes file = UserFile::read(path, MaxFileBytes);
    if (file.problem == UserFile::Problem::Missing && !QFileInfo(path).isSymLink())
        return m_status = Status::Missing;
    if (!file)
        return m_status = Status::Unreadable;
    QString text = QString::fromUtf8(file.bytes); // without an editor's byte order mark
    text.replace(CrLf, QStringLiteral("\n"));
    const QStringList lines = text.split(u'\n');
    if (text.isEmpty())
        return m_status = Status::Read;
    if (lines.first() != Columns.join(u'\t'))
        return m_status = Status::OtherVersion;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.isEmpty())
            continue;
        const QStringList f = line.split(u'\t');
        if (f.first() == LimitsTag && f.size() == 3) {
            bool ok[2] {};
            const Limits read { f[1].toInt(&ok[0]), f[2].toInt(&ok[1]) };
            if (ok[0] && ok[1] && read.daily > 0 && read.newWords >= 0) {
                limits = read;
                continue;
            }
        }
        Card card;
        const QString k = parseCard(line, card) ? key(card.english, card.italian) : QString();
        if (k.isEmpty() || m_index.contains(k)) {
            m_damaged.append(line);
            continue;
        }
        m_index.insert(k, int(m_cards.size()));
        m_cards.append(card);
    }
    return m_status = Status::Read;
}

bool Store::write(const QString &path, QString *error) const
{
    if (m_status == Status::OtherVersion || m_status == Status::Unreadable) {
        if (error)
            *error = QStringLiteral("il file è di un'altra versione o illeggibile");
        return false;
    }
    QString text = Columns.join(u'\t') + u'\n' + LimitsTag + u'\t' + QString::number(limits.daily) + u'\t'
        + QString::number(limits.newWords) + u'\n';
    for (const Card &c : m_cards)
        text += cardLine(c) + u'\n';
    for (const QString &line : m_damaged)
        text += line + u'\n';
    const UserFile::Written written = UserFile::write(path, text.toUtf8());
    if (!written && error)
        *error = UserFile::reasonText(written);
    return bool(written);
}

const Card *Store::find(QStringView english, QStringView italian) const
{
    const auto it = m_index.constFind(key(english, italian));
    return it == m_index.cend() ? nullptr : &m_cards.at(*it);
}

const Card &Store::answer(
    QStringView english, QStringView italian, Fsrs::Grade grade, const QDate &today, const Fsrs::Model &model)
{
    const QString k = key(english, italian);
    auto it = m_index.constFind(k);
    if (it == m_index.cend()) {
        Card fresh;
        fresh.english = trimmed(english);
        fresh.italian = trimmed(italian);
        it = m_index.insert(k, int(m_cards.size()));
        m_cards.append(fresh);
    }
    Card &card = m_cards[*it];
    const double elapsed = card.lastReview.isValid() ? double(card.lastReview.daysTo(today)) : 0;
    card.memory = model.next(card.memory, elapsed, grade);
    card.lastReview = today;
    card.due = today.addDays(Fsrs::Model::interval(card.memory.stability));
    ++card.reviews;
    card.lapses += grade == Fsrs::Grade::Again && card.reviews > 1;
    return card;
}

QList<int> dueWords(
    const WordTable &words, const SelectionOptions &options, const Store &store, const QDate &today)
{
    const auto [answeredToday, newToday] = answeredOn(store, today);
    int room = std::max(0, store.limits.daily - answeredToday);
    int newRoom = std::max(0, store.limits.newWords - newToday);
    QList<std::pair<QDate, int>> due;
    QList<int> fresh;
    QSet<const Card *> seen;
    QSet<QString> seenNew;
    for (int row = 0; row < words.count(); ++row) {
        if (!options.chooses(words.lessonOf(row)))
            continue;
        if (const Card *card = store.find(words.english(row), words.italian(row))) {
            if (card->due <= today && card->lastReview < today && !seen.contains(card)) {
                seen.insert(card);
                due.append({ card->due, row });
            }
        } else if (fresh.size() < newRoom) {
            const QString k = trimmed(words.english(row)) + u'\t' + trimmed(words.italian(row));
            if (!seenNew.contains(k)) {
                seenNew.insert(k);
                fresh.append(row);
            }
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    QList<int> rows;
    for (const auto &[date, row] : std::as_const(due))
        if (rows.size() < room)
            rows.append(row);
    room -= int(rows.size());
    rows.append(fresh.mid(0, std::min<qsizetype>(room, fresh.size())));
    return rows;
}

QDate nextDueDay(
    const WordTable &words, const SelectionOptions &options, const Store &store, const QDate &today)
{
    QDate next;
    for (int row = 0; row < words.count(); ++row) {
        if (!options.chooses(words.lessonOf(row)))
            continue;
        const Card *card = store.find(words.english(row), words.italian(row));
        // A new word waits for tomorrow's share; a word answered today for its due date.
        const QDate day = card ? std::max(card->due, today.addDays(1)) : today.addDays(1);
        if (!next.isValid() || day < next)
            next = day;
    }
    return next;
}

QString summaryLine(const WordTable &words, const Store &store, const QDate &today)
{
    int due = 0, learned = 0, reviewed = 0;
    double recall = 0;
    QSet<const Card *> seen;
    for (int row = 0; row < words.count(); ++row) {
        const Card *card = store.find(words.english(row), words.italian(row));
        if (!card || seen.contains(card))
            continue;
        seen.insert(card);
        ++reviewed;
        due += card->due <= today;
        learned += card->memory.stability >= LearnedStability;
        recall += Fsrs::recall(card->lastReview.daysTo(today), card->memory.stability);
    }
    QString line = reviewed == 0
        ? QStringLiteral("Ripasso: nessuna parola ancora ripassata")
        : QStringLiteral("Ripasso: da ripassare oggi %1, imparate %2, ricordo atteso ora %3%")
              .arg(due)
              .arg(learned)
              .arg(qRound(100 * recall / reviewed));
    if (store.damagedLines() > 0)
        line += QStringLiteral(" (%1 righe di %2 illeggibili)").arg(store.damagedLines()).arg(FileName);
    return line;
}

QString nothingDueText(const QDate &next)
{
    QString text = QStringLiteral("Oggi non c'è nessuna parola da ripassare nelle Lezioni scelte.");
    if (next.isValid())
        text += CrLf + QStringLiteral("La prossima è da ripassare il ") + Vocabulary::dateText(next) + u'.';
    return text;
}

Round::Round(Session &session, Platform &platform)
    : m_session(session)
    , m_platform(platform)
    , m_path(session.dataFolder.path(DataFolder::ReviewFile))
{
}

int Round::countToday(const Session &session, const QDate &today)
{
    Store store;
    store.read(session.dataFolder.path(DataFolder::ReviewFile));
    return int(dueWords(session.words, session.selection.options, store, today).size());
}

bool Round::open()
{
    const Store::Status status = m_store.read(m_path);
    if (status == Store::Status::OtherVersion || status == Store::Status::Unreadable) {
        m_platform.message(Title,
            QStringLiteral("Il file %1 è di un'altra versione del programma o non si legge: lo lascio com'è, "
                           "e le risposte di questo ripasso non vengono salvate.")
                .arg(FileName),
            Platform::Buttons::Ok, Platform::Icon::Information);
    }
    const QDate today = m_platform.currentDate();
    const QList<int> rows = dueWords(m_session.words, m_session.selection.options, m_store, today);
    if (rows.isEmpty()) {
        m_platform.message(
            Title, nothingDueText(nextDueDay(m_session.words, m_session.selection.options, m_store, today)));
        return false;
    }
    // The words in the order of the round, each asked once.
    m_selection.options = m_session.selection.options;
    m_selection.orderMode = m_selection.builtMode = Forward;
    m_selection.rebuildNeeded = false;
    m_selection.wordCount = m_session.words.count();
    m_selection.selection = QList<int> { 0 } + rows + QList<int> { 0 };
    m_selection.selectionCount = int(rows.size());
    m_selection.selectionPos = 0;
    return true;
}

bool Round::mayAsk()
{
    if (m_waiting || m_selection.selectionPos < m_selection.selectionCount)
        return true;
    const QDate next
        = nextDueDay(m_session.words, m_session.selection.options, m_store, m_platform.currentDate());
    QString text = QStringLiteral("Ripasso di oggi finito, parole ripassate: %1.").arg(m_answered);
    if (next.isValid())
        text += CrLf + QStringLiteral("La prossima è da ripassare il ") + Vocabulary::dateText(next) + u'.';
    m_platform.message(Title, text, Platform::Buttons::Ok);
    return false;
}

void Round::answered(const Drill &drill)
{
    const DrillState &s = drill.state();
    grade(drill.askedWord(),
        gradeOf({ .elapsedSeconds = s.elapsedSeconds,
            .freeTime = Drill::freeTimeFor(drill.answer()),
            .helpShown = s.helpShown }));
}

void Round::leave(const Drill &drill)
{
    if (m_waiting && drill.state().questionRunning)
        grade(drill.askedWord(), Fsrs::Grade::Again);
}

void Round::grade(int row, Fsrs::Grade grade)
{
    m_waiting = false;
    if (row < 0 || row >= m_session.words.count())
        return;
    ++m_answered;
    m_store.answer(
        m_session.words.english(row), m_session.words.italian(row), grade, m_platform.currentDate());
    QString error;
    if (m_store.write(m_path, &error) || m_saveFailed || m_store.status() == Store::Status::OtherVersion
        || m_store.status() == Store::Status::Unreadable)
        return;
    m_saveFailed = true; // said once a round
    m_platform.message(Title,
        QStringLiteral("Non riesco a scrivere il file %1:").arg(m_path) + CrLf + error + CrLf
            + QStringLiteral("Il ripasso continua, ma le risposte non vengono salvate."),
        Platform::Buttons::Ok, Platform::Icon::Stop);
}

QString Round::progressText() const
{
    return QStringLiteral("Ripasso di oggi: parola %1 di %2")
        .arg(std::max(1, m_selection.selectionPos))
        .arg(m_selection.selectionCount);
}

} // namespace Review
