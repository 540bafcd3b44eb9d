#include "review.h"

#include "drill.h"
#include "platform.h"
#include "session.h"
#include "vocabularyfile.h"
#include "wordtable.h"

#include <QSet>

#include <algorithm>

namespace Review {
namespace {
    // "Sei lento!" comes after this many seconds, whatever the free time.
    constexpr int SlowAfter = 10;
    using Vocabulary::CrLf;

    QString lines(int n)
    {
        return n == 1 ? QStringLiteral("1 riga") : QStringLiteral("%1 righe").arg(n);
    }

    QString words(int n)
    {
        return n == 1 ? QStringLiteral("1 parola") : QStringLiteral("%1 parole").arg(n);
    }

    bool asked(const WordTable &table, int row)
    {
        return !table.english(row).trimmed().isEmpty() && !table.italian(row).trimmed().isEmpty();
    }

    // Of one direction: answers given on `day`, and how many of them were a word's first.
    std::pair<int, int> answeredOn(const Store &store, const QDate &day, Direction direction)
    {
        int all = 0, first = 0;
        for (const Card &c : store.cards()) {
            if (c.direction == direction && c.lastReview == day) {
                ++all;
                first += c.firstReview == day;
            }
        }
        return { all, first };
    }
} // namespace

QDate reviewDay(const QDate &date, const QTime &time)
{
    return time < DayStart ? date.addDays(-1) : date;
}

Fsrs::Grade gradeOf(const AnswerFacts &f)
{
    if (f.givenUp || f.helpShown || f.wentWrong)
        return Fsrs::Grade::Again;
    if (f.elapsedSeconds > SlowAfter || f.elapsedSeconds >= f.freeTime)
        return Fsrs::Grade::Hard;
    if (3 * f.elapsedSeconds < f.freeTime)
        return Fsrs::Grade::Easy;
    return Fsrs::Grade::Good;
}

Plan plan(const WordTable &words, const SelectionOptions &options, const Store &store, const QDate &day,
    Direction direction)
{
    Plan result;
    const auto [answeredToday, newToday] = answeredOn(store, day, direction);
    result.answered = answeredToday;
    int room = std::max(0, store.limits().daily - answeredToday);
    const int newRoom = std::max(0, store.limits().newWords - newToday);
    QList<std::pair<QDate, int>> due;
    QList<int> fresh;
    QSet<const Card *> seen;
    QSet<QByteArray> seenNew;
    for (int row = 0; row < words.count(); ++row) {
        if (!options.chooses(words.lessonOf(row)) || !asked(words, row))
            continue;
        if (const Card *card = store.find(words.english(row), words.italian(row), direction)) {
            if (card->due <= day && card->lastReview < day && !seen.contains(card)) {
                seen.insert(card);
                due.append({ card->due, row });
            }
        } else if (fresh.size() < newRoom) {
            const QByteArray k = wordKey(words.english(row), words.italian(row));
            if (!seenNew.contains(k)) {
                seenNew.insert(k);
                fresh.append(row);
            }
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (const auto &[date, row] : std::as_const(due))
        if (result.rows.size() < room)
            result.rows.append(row);
    result.waiting = int(due.size() - result.rows.size());
    room -= int(result.rows.size());
    result.rows.append(fresh.mid(0, std::min<qsizetype>(room, fresh.size())));
    return result;
}

QDate nextDueDay(const WordTable &words, const SelectionOptions &options, const Store &store,
    const QDate &day, Direction direction)
{
    const QDate tomorrow = day.addDays(1);
    QDate next;
    for (int row = 0; row < words.count(); ++row) {
        if (!options.chooses(words.lessonOf(row)) || !asked(words, row))
            continue;
        const Card *card = store.find(words.english(row), words.italian(row), direction);
        // A new word waits for tomorrow's share, if the limits bring new words in at all.
        if (!card && store.limits().newWords == 0)
            continue;
        const QDate when = card ? std::max(card->due, tomorrow) : tomorrow;
        if (!next.isValid() || when < next)
            next = when;
    }
    return next;
}

QString menuCount(const Plan &plan)
{
    if (!plan.rows.isEmpty())
        return QStringLiteral(" (") + words(int(plan.rows.size())) + u')';
    return plan.waiting > 0 ? QStringLiteral(" (limite di oggi raggiunto)")
                            : QStringLiteral(" (nessuna parola)");
}

QString nothingDueText(const Plan &plan, const QDate &next)
{
    QString text;
    if (plan.waiting > 0)
        text = QStringLiteral("Oggi hai già ripassato %1, il limite del giorno; ne restano da ripassare "
                              "ancora %2.")
                   .arg(words(plan.answered), QString::number(plan.waiting))
            + CrLf + QStringLiteral("Il limite si cambia in \"") + LimitsPlace + QStringLiteral("\".");
    else
        text = QStringLiteral("Oggi non c'è nessuna parola da ripassare nelle Lezioni scelte.");
    if (next.isValid() && plan.waiting == 0)
        text += CrLf + QStringLiteral("La prossima è da ripassare il ") + Vocabulary::dateText(next) + u'.';
    return text;
}

QString summaryLine(const WordTable &table, const Store &store, const QDate &day, const Retention &log)
{
    const Fsrs::Model model;
    int due = 0, learned = 0, reviewed = 0, before = 0;
    double recall = 0;
    QSet<const Card *> seen;
    for (int row = 0; row < table.count(); ++row) {
        for (const Direction direction : { Direction::EnglishToItalian, Direction::ItalianToEnglish }) {
            const Card *card = store.find(table.english(row), table.italian(row), direction);
            if (!card || seen.contains(card))
                continue;
            seen.insert(card);
            ++reviewed;
            due += card->due <= day;
            learned += card->memory.stability >= LearnedStability;
            // Words answered today are left out: their chance is that of a moment ago.
            if (card->lastReview < day) {
                ++before;
                recall += model.recall(double(card->lastReview.daysTo(day)), card->memory.stability);
            }
        }
    }
    QString line = reviewed == 0
        ? QStringLiteral("Ripasso: nessuna parola ancora ripassata")
        : QStringLiteral("Ripasso: da ripassare oggi %1, imparate %2").arg(due).arg(learned);
    if (before > 0)
        line += QStringLiteral(", ricordo atteso ora %1%").arg(qRound(100 * recall / before));
    if (store.damagedLines() > 0)
        line += QStringLiteral(" (%1 di %2 %3)")
                    .arg(lines(store.damagedLines()), FileName,
                        store.damagedLines() == 1 ? QStringLiteral("illeggibile")
                                                  : QStringLiteral("illeggibili"));
    if (reviewed > 0 || log.due > 0 || !log.problem.isEmpty())
        line += u'\n' + retentionLine(log);
    return line;
}

Round::Round(Session &session, Platform &platform, Direction direction)
    : m_session(session)
    , m_platform(platform)
    , m_direction(direction)
    , m_path(session.dataFolder.path(DataFolder::ReviewFile))
{
}

Plan Round::today(Session &session, Platform &platform, Direction direction)
{
    session.review.refresh(session.dataFolder.path(DataFolder::ReviewFile), &session.words);
    return plan(session.words, session.selection.options, session.review,
        reviewDay(platform.currentDate(), platform.currentTime()), direction);
}

bool Round::open()
{
    m_day = reviewDay(m_platform.currentDate(), m_platform.currentTime());
    Store &store = m_session.review;
    store.refresh(m_path, &m_session.words);
    if (!store.writable()) {
        m_platform.message(Title,
            QStringLiteral("Il file %1 è di un'altra versione del programma o non si legge: lo lascio com'è, "
                           "e le risposte di questo ripasso non vengono salvate.")
                .arg(FileName),
            Platform::Buttons::Ok, Platform::Icon::Information);
    } else if (store.leftOut() > 0) {
        m_platform.message(Title,
            QStringLiteral(
                "Il file %1 ha %2 in più di quante ne tiene (di parole che non sono più nel vocabolario "
                "o illeggibili): alla prossima risposta le tolgo, dopo aver copiato il file com'è "
                "ora in %3.")
                .arg(FileName, lines(store.leftOut()), CopyName),
            Platform::Buttons::Ok, Platform::Icon::Information);
    }
    const Plan today = plan(m_session.words, m_session.selection.options, store, m_day, m_direction);
    if (today.rows.isEmpty()) {
        m_platform.message(Title,
            nothingDueText(
                today, nextDueDay(m_session.words, m_session.selection.options, store, m_day, m_direction)));
        return false;
    }
    // The words in the order of the round, each asked once.
    m_selection.options = m_session.selection.options;
    m_selection.orderMode = m_selection.builtMode = Forward;
    m_selection.rebuildNeeded = false;
    m_selection.wordCount = m_session.words.count();
    m_selection.selection = QList<int> { 0 } + today.rows + QList<int> { 0 };
    m_selection.selectionCount = int(today.rows.size());
    m_selection.selectionPos = 0;
    return true;
}

void Round::dropAnsweredElsewhere()
{
    // Another copy of the program may have answered some of the words since the round began.
    Store &store = m_session.review;
    store.refresh(m_path, &m_session.words);
    const WordTable &words = m_session.words;
    QList<int> &list = m_selection.selection;
    for (int i = m_selection.selectionCount; i > m_selection.selectionPos; --i) {
        const int row = list[i];
        const Card *card
            = row < words.count() ? store.find(words.english(row), words.italian(row), m_direction) : nullptr;
        if (card && card->lastReview == m_day
            && !m_mine.contains(wordKey(words.english(row), words.italian(row)))) {
            list.removeAt(i);
            --m_selection.selectionCount;
        }
    }
}

bool Round::mayAsk()
{
    if (m_waiting)
        return true;
    dropAnsweredElsewhere();
    if (m_selection.selectionPos < m_selection.selectionCount)
        return true;
    if (!m_again.isEmpty()) {
        // The words failed or new in this round, once more, by the same-day rule.
        QList<int> &list = m_selection.selection;
        list.resize(m_selection.selectionCount + 1);
        list += m_again;
        list += 0;
        m_selection.selectionCount += int(m_again.size());
        m_again.clear();
        m_repeating = true;
        return true;
    }
    const QDate next
        = nextDueDay(m_session.words, m_session.selection.options, m_session.review, m_day, m_direction);
    QString text = QStringLiteral("Ripasso di oggi finito, parole ripassate: %1.").arg(m_mine.size());
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
            .helpShown = s.helpShown,
            .wentWrong = s.wentWrong }));
}

void Round::leave(const Drill &drill)
{
    if (m_waiting && drill.state().questionRunning)
        grade(drill.askedWord(), Fsrs::Grade::Again);
}

void Round::say(bool &once, const QString &text)
{
    if (std::exchange(once, true))
        return; // said once a round
    m_platform.message(Title, text, Platform::Buttons::Ok, Platform::Icon::Stop);
}

void Round::grade(int row, Fsrs::Grade grade)
{
    m_waiting = false;
    const WordTable &words = m_session.words;
    if (row < 0 || row >= words.count())
        return;
    Store &store = m_session.review;
    const QStringView english = words.english(row), italian = words.italian(row);
    LogEntry entry { QDateTime(m_platform.currentDate(), m_platform.currentTime()),
        english.trimmed().toString(), italian.trimmed().toString(), m_direction, grade };
    if (const Card *before = store.find(english, italian, m_direction)) {
        entry.daysSince = int(std::max<qint64>(before->lastReview.daysTo(m_day), 0));
        entry.expected = Fsrs::Model().recall(entry.daysSince, before->memory.stability);
    }
    if (!store.answer(english, italian, m_direction, grade, m_day))
        return;
    m_mine.insert(wordKey(english, italian));
    if (!m_repeating && (grade == Fsrs::Grade::Again || entry.daysSince < 0))
        m_again.append(row);
    QString error;
    if (!store.write(m_path, &error) && store.writable())
        say(m_saveFailed,
            QStringLiteral("Non riesco a scrivere il file %1:").arg(m_path) + CrLf + error + CrLf
                + QStringLiteral("Il ripasso continua: riprovo a salvare le risposte alla prossima parola."));
    const QString log = m_session.dataFolder.path(DataFolder::ReviewLogFile);
    if (!appendLog(log, entry, &error))
        say(m_logFailed,
            QStringLiteral("Non riesco a scrivere nel registro del ripasso %1:").arg(log) + CrLf + error
                + CrLf + QStringLiteral("Il ripasso continua, ma le sue righe vanno perse."));
}

QString Round::progressText() const
{
    return QStringLiteral("Ripasso di oggi: parola %1 di %2")
        .arg(std::max(1, m_selection.selectionPos))
        .arg(m_selection.selectionCount);
}

} // namespace Review
