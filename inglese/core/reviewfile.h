#pragma once

#include "answers.h"
#include "datafolder.h"
#include "fsrs.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <unordered_set>

struct WordTable;

// The review's file, ripasso.tsv: the memory of each word in each direction.
namespace Review {

inline const QString FileName = DataFolder::name(DataFolder::ReviewFile);
// The file as it was before lines past the bounds below were left out of it.
inline const QString CopyName = DataFolder::name(DataFolder::ReviewCopyFile);

// A word's memory in one direction, keyed by its English and Italian texts.
struct Card
{
    QString english;
    QString italian;
    Direction direction = Direction::EnglishToItalian;
    Fsrs::Memory memory;
    QDate firstReview; // null when it came before what the file recorded
    QDate lastReview;
    QDate due;
    int reviews = 0;
    int lapses = 0;
};

struct Limits
{
    static constexpr int Most = 999;
    int daily = 50; // words a day, the new ones included
    int newWords = 10; // words never asked before, a day; never more than `daily`
};

// A text in a field of the review's files: backslashes, tabs and line ends escaped.
QByteArray escapedText(const QString &text);

// A word's key: its texts without the blanks around them, escaped as in the file and joined by a tab.
QByteArray wordKey(QStringView english, QStringView italian);
// The keys of every word of the table.
QSet<QByteArray> wordKeys(const WordTable &words);

// The file: UTF-8, a header line naming the columns, the limits, then one
// word and direction a line. A file of the version before (one line a word
// for both directions) is read as both directions and written anew. Damaged
// lines are kept byte for byte; a file of another version is never written.
//
// Every value written is one the reader takes back: numbers and dates are
// kept within their ranges on reading and on writing.
//
// Two copies of the program may answer at once: a write first reads the
// file again when someone else wrote it since, and answers the words of
// this copy again on what it found, so that no answer is lost.
class Store
{
public:
    enum class Status { Missing, Read, OtherVersion, Unreadable };
    static constexpr int MaxCount = 1'000'000'000; // reviews and lapses
    // Far more than the longest vocabulary needs (32,767 words of about 150 bytes).
    static constexpr qint64 MaxFileBytes = 64 << 20;
    // Lines kept of words that are not in the vocabulary, and damaged lines;
    // those past these bounds are left out at the next write, after a copy of
    // the file as it was.
    static constexpr int KeptOrphans = 10000;
    static constexpr int KeptDamaged = 1000;

    // `words`: the vocabulary; lines of other words are then orphans.
    Status read(const QString &path, const WordTable *words = nullptr);
    // Reads the file again only when it is not the one this store read or wrote last; what was
    // answered here and not yet written is then answered again on what it holds.
    Status refresh(const QString &path, const WordTable *words = nullptr);
    // Atomic: on failure the old file stays whole and `error` says why.
    bool write(const QString &path, QString *error = nullptr);
    Status status() const { return m_status; }
    bool writable() const { return m_status == Status::Missing || m_status == Status::Read; }
    int damagedLines() const { return int(m_damaged.size()); }
    int leftOut() const { return m_leftOut; } // lines past the bounds

    Limits limits() const { return m_limits; }
    void setLimits(const Limits &limits);
    // Writes the limits; on failure they stay as they were.
    bool writeLimits(const QString &path, const Limits &limits, QString *error = nullptr);

    const Card *find(QStringView english, QStringView italian, Direction direction) const;
    const QList<Card> &cards() const { return m_cards; }
    // The word answered on `day` with `grade`: its memory moves on, its next due date is set.
    // Nothing is kept of a word with an empty text (null is returned).
    const Card *answer(QStringView english, QStringView italian, Direction direction, Fsrs::Grade grade,
        const QDate &day, const Fsrs::Model &model = Fsrs::Model());
    // The file's bytes as write() would write them.
    QByteArray text() const;

    // How the file looked when this store read or wrote it last.
    struct Stamp
    {
        bool exists = false;
        qint64 device = 0, inode = 0, size = 0, seconds = 0, nanoseconds = 0;
        bool operator==(const Stamp &) const = default;
    };

private:
    struct Answer
    {
        QString english, italian;
        Direction direction;
        Fsrs::Grade grade;
        QDate day;
    };
    void clear();
    void setVocabulary(const WordTable *words);
    Status load(const QString &path);
    Status merge(const QString &path);
    void take(QByteArrayView line, QByteArrayView raw);
    void damaged(QByteArrayView line);
    Card &cardFor(QStringView english, QStringView italian, Direction direction);

    QList<Card> m_cards;
    QHash<QByteArray, int> m_index;
    QList<QByteArray> m_damaged;
    Limits m_limits;
    Status m_status = Status::Missing;
    int m_format = 0; // of the header read: 1 the version before, 2 this one
    int m_orphans = 0;
    int m_leftOut = 0;
    // A hash of keys that a line's bytes look up without a copy.
    struct KeyHash
    {
        using is_transparent = void;
        std::size_t operator()(QByteArrayView key) const noexcept;
    };
    struct KeyEqual
    {
        using is_transparent = void;
        bool operator()(QByteArrayView a, QByteArrayView b) const noexcept { return a == b; }
    };
    bool m_filtered = false; // lines of words not in m_known are orphans
    std::unordered_set<QByteArray, KeyHash, KeyEqual> m_known; // the vocabulary's keys
    Stamp m_stamp;
    // What was answered or changed since the file was last read or written here.
    QList<Answer> m_answers;
    bool m_limitsChanged = false;
};

} // namespace Review
