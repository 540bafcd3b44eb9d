#pragma once

#include "fsrs.h"
#include "reviewfile.h"
#include "reviewlog.h"
#include "selection.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>
#include <QTime>

class Drill;
class Platform;
struct Session;
struct WordTable;

// "Ripasso": each word is asked again, in each direction, on the day its memory is about to fade.
// Pipeline: ripasso.tsv -> Store (kept in the session) -> due words of the chosen lessons ->
// Round (a word selection for a drill window) -> the drill's answer -> grade -> memory model ->
// Store -> ripasso.tsv and a line of ripassolog, after every answer.
namespace Review {

inline const QString Title = QStringLiteral("Ripasso di oggi");
inline const QString LimitsPlace = QStringLiteral("Opzioni / Limiti del Ripasso...");

// The review's day starts at 4:00 in the morning, so that an evening's study is one day.
inline const QTime DayStart { 4, 0 };
QDate reviewDay(const QDate &date, const QTime &time);

// A word is learned once its chance of recall stays at 90% or more for three weeks.
inline constexpr double LearnedStability = 21;

// What the drill measured of one answer.
struct AnswerFacts
{
    int elapsedSeconds = 0; // ticks of the question timer
    int freeTime = 10; // seconds the answer may take without a penalty
    bool helpShown = false;
    bool wentWrong = false; // the typing turned red at some point
    bool givenUp = false; // the window closed while the word was asked
};
// Again after help, a typing that went wrong or a word given up; Hard after "Sei lento!" or once
// the free time is over; Easy in under a third of the free time; Good otherwise.
Fsrs::Grade gradeOf(const AnswerFacts &facts);

// Today's words in one direction among the chosen lessons: the due ones,
// most overdue first, then new words in table order, within today's limits
// (what was answered earlier today counts). A word written twice in the table is asked once.
struct Plan
{
    QList<int> rows;
    int waiting = 0; // due words past today's limit
    int answered = 0; // answered today
};
Plan plan(const WordTable &words, const SelectionOptions &options, const Store &store, const QDate &day,
    Direction direction);
// The first day after `day` with a word to review in the chosen lessons; null when none.
QDate nextDueDay(const WordTable &words, const SelectionOptions &options, const Store &store,
    const QDate &day, Direction direction);

// " (3 parole)", " (nessuna parola)" or that today's limit is reached: for the menu.
QString menuCount(const Plan &plan);
// "Nothing to review today", or today's limit reached, and when the next word is due.
QString nothingDueText(const Plan &plan, const QDate &next);
// The lines of "Risultati": memories due today, learned, and the expected share recalled now of
// those not answered today, over the words of the table; once the review is used, what its log tells.
QString summaryLine(const WordTable &words, const Store &store, const QDate &day, const Retention &log = {});

// One review in a drill window: its own word selection over today's words,
// each answer graded and written at once. A word failed or new is asked once
// more at the end of the round.
class Round
{
public:
    Round(Session &session, Platform &platform, Direction direction);

    // Today's words of a review started now in `direction`.
    static Plan today(Session &session, Platform &platform, Direction direction);

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
    void dropAnsweredElsewhere();
    void say(bool &once, const QString &text);

    Session &m_session;
    Platform &m_platform;
    Direction m_direction;
    QString m_path;
    QDate m_day; // fixed when the round starts
    WordSelection m_selection;
    QList<int> m_again; // to ask once more at the end
    bool m_repeating = false;
    QSet<QByteArray> m_mine; // the words this round answered
    bool m_waiting = false;
    bool m_saveFailed = false;
    bool m_logFailed = false;
};

} // namespace Review
