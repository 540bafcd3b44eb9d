#pragma once

#include "answers.h"
#include "fsrs.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

// The review's log, ripassolog: one line a review answer, appended, never
// rewritten. UTF-8, tab-separated: date and time, the English and Italian
// texts, the direction, the grade (1 Again .. 4 Easy), the days since the
// word's last review and the chance of recall the model expected (both empty
// for a word never reviewed).
namespace Review {

inline constexpr qint64 MaxLogBytes = 64 << 20;
// The review asks each word when its chance of recall has fallen to this.
inline constexpr int AimedPercent = int(Fsrs::RequestedRetention * 100 + 0.5);

struct LogEntry
{
    QDateTime when;
    QString english, italian;
    Direction direction = Direction::EnglishToItalian;
    Fsrs::Grade grade = Fsrs::Grade::Good;
    int daysSince = -1; // -1: never reviewed
    double expected = -1; // -1: never reviewed
};
QByteArray logLine(const LogEntry &entry);
// Appends the entry as the exit log is appended: to a regular file only, and
// within the size limit. False with the reason.
bool appendLog(const QString &path, const LogEntry &entry, QString *reason = nullptr);

// Of the answers in the 30 days up to `today`: the words met before on
// another day (so due, or overdue, that day), and how many were recalled.
struct Retention
{
    int due = 0;
    int recalled = 0;
    QString problem; // why the log could not be read
};
Retention retention(const QString &path, const QDate &today);
// "Ripasso, ultimi 30 giorni: ricordate 87% delle 120 parole dovute (obiettivo 90%)".
QString retentionLine(const Retention &retention);

} // namespace Review
