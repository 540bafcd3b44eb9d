#pragma once

#include <QList>
#include <QString>

#include <array>

class CriticalList;
class Platform;
struct WordTable;

// The order of the draw. The numbers are the ones the options keep and the
// selection compares.
enum OrderMode : int { NotBuilt = 0, Random = 1, Forward = 2, Backward = 3, CriticalOnly = 4 };

// What the options window shows and edits: the order buttons and the lesson
// boxes. The selection build reads it; nothing needs a window for that.
struct SelectionOptions
{
    int order = Forward; // an OrderMode
    std::array<bool, 21> Ckles {}; // [0] "Tutte", [1..20] one per lesson
    SelectionOptions() { Ckles[0] = true; }
    bool chooses(int lesson) const; // lesson -1 (not a valid number) is never chosen
};

// Which words a drill asks and in which order.
class WordSelection
{
public:
    SelectionOptions options;

    // builtMode holds the order mode the selection was built for; any other
    // value (RebuildNeeded, or CriticalOnly + 1 when the critical words are
    // over) makes the next build run.
    static constexpr int RebuildNeeded = 9;

    int orderMode = NotBuilt;
    int builtMode = RebuildNeeded;
    int wordCount = 0;
    QList<int> selection; // 1-based as in the drills' arithmetic: entry 0 is unused
    int selectionCount = 0;
    int selectionPos = 0;
    int currentWord = 0;
    int lastWord = 0;
    int pendingWord = 0;
    QString criticalKey;

    void buildSelection(const WordTable &words, const CriticalList &memoc);

    enum class Draw { Drawn, Repeated, Cancelled, CriticalDone, Empty };
    Draw drawWord(Platform &platform);

    // After the word table shrank to `rowCount` rows: a waiting word and
    // critical entries from that row on are dropped.
    void forgetRowsFrom(int rowCount, CriticalList &memoc);

    void addCritical(CriticalList &memoc);
    void removeCritical(CriticalList &memoc);

    // True when `word` is among entries 1..selectionCount (constant time).
    bool isSelected(int word) const;

private:
    QList<bool> m_member; // indexed by word, rebuilt with the selection
};
