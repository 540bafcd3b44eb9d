#pragma once

#include "datafolder.h"
#include "fsrs.h"
#include "selection.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class Drill;
class Platform;
struct Session;
struct WordTable;

// "Ripasso": each word is asked again on the day its memory is about to fade.
// Pipeline: ripasso.tsv -> ReviewStore -> due words of the chosen lessons ->
// ReviewRound (a word selection for a drill window) -> the drill's answer ->
// grade -> memory model -> ReviewStore -> ripasso.tsv, after every answer.
namespace Review {

inline const QString FileName = DataFolder::name(DataFolder::ReviewFile);
inline const QString Title = QStringLiteral("Ripasso di oggi");

// What the drill measured of one answer.
struct AnswerFacts
{
    int elapsedSeconds = 0; // ticks of the question timer
    int freeTime = 10; // seconds the answer may take without a penalty
    bool helpShown = false;
    bool givenUp = false; // the window closed while the word was asked
};
// Again after help or a word given up; Hard after "Sei lento!" or once the
// free time is over; Easy in under a third of the free time; Good otherwise.
Fsrs::Grade gradeOf(const AnswerFacts &facts);

// A word's memory as the file keeps it, keyed by its English and Italian texts.
struct Card
{
    QString english;
    QString italian;
    Fsrs::Memory memory;
    QDate lastReview;
    QDate due;
    int reviews = 0;
    int lapses = 0;
};

struct Limits
{
    int daily = 50; // words a day, the new ones included
    int newWords = 10; // words never asked before, a day
};

// The file ripasso.tsv: UTF-8, a header line naming the columns, the limits,
// then one word a line. Damaged lines are kept as they are and counted.
class Store
{
public:
    enum class Status { Missing, Read, OtherVersion, Unreadable };

    Status read(const QString &path);
    // Atomic: on failure the old file stays whole and `error` says why. A file
    // of another version is never overwritten.
    bool write(const QString &path, QString *error = nullptr) const;
    Status status() const { return m_status; }
    int damagedLines() const { return int(m_damaged.size()); }

    Limits limits;

    const Card *find(QStringView english, QStringView italian) const;
    const QList<Card> &cards() const { return m_cards; }
    // The word answered today with `grade`: its memory moves on, its next due date is set.
    const Card &answer(QStringView english, QStringView italian, Fsrs::Grade grade, const QDate &today,
        const Fsrs::Model &model = Fsrs::Model());

private:
    static QString key(QStringView english, QStringView italian);

    QList<Card> m_cards;
    QHash<QString, int> m_index;
    QStringList m_damaged;
    Status m_status = Status::Missing;
};

// The words to review today among the chosen lessons: the due ones, most
// overdue first, then new words in table order, within today's limits (what
// was answered earlier today counts). A word written twice in the table is asked once.
QList<int> dueWords(
    const WordTable &words, const SelectionOptions &options, const Store &store, const QDate &today);
// The first day after today with a word to review in the chosen lessons; null when none.
QDate nextDueDay(
    const WordTable &words, const SelectionOptions &options, const Store &store, const QDate &today);

// The line of "Risultati": words due today, learned (stability over 21 days),
// the expected share recalled now, over the words of the table.
QString summaryLine(const WordTable &words, const Store &store, const QDate &today);

// "Nothing to review today" and when the next word is due.
QString nothingDueText(const QDate &next);

// One review in a drill window: its own word selection over today's words,
// the grade of each answer written to ripasso.tsv at once.
class Round
{
public:
    Round(Session &session, Platform &platform);

    // How many words a review started now would ask.
    static int countToday(const Session &session, const QDate &today);

    // Reads the file and picks today's words; false, after saying so, when none is due.
    bool open();
    WordSelection &selection() { return m_selection; }
    int count() const { return m_selection.selectionCount; }
    // Before "Via!": false, after saying so, when every word of the round is answered.
    bool mayAsk();
    void asked() { m_waiting = true; }
    // The drill completed the answer of the word it asked.
    void answered(const Drill &drill);
    // The window closes: a word still asked counts as given up.
    void leave(const Drill &drill);
    QString progressText() const;

private:
    void grade(int row, Fsrs::Grade grade);

    Session &m_session;
    Platform &m_platform;
    QString m_path;
    Store m_store;
    WordSelection m_selection;
    int m_answered = 0;
    bool m_waiting = false;
    bool m_saveFailed = false;
};

} // namespace Review
